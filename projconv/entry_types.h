// The entry types the driver knows: the prefix each one carries, the ids it accepts
// and the realigner that converts it.
#pragma once

#include "container.h"

#include <array>

enum class Prefix : uint8_t { None, Word16, Word32 };

using Realigner = void (*)(CurrentItem& item, DriverState& state);

struct EntryType {
    uint32_t type;
    Realigner realign;
    std::array<uint32_t, 5> ids; // the accepted ids; none listed: any id
    size_t id_count;
};

// The row for a type, or null for a type the converter does not know.
const EntryType* find_entry_type(uint32_t type);

// The prefix is read before the type is looked up, so unknown types have one too.
Prefix prefix_of(uint32_t type);

// Whether the type accepts the entry id; an entry with any other id is reported.
bool accepts_id(const EntryType& e, uint32_t id);
