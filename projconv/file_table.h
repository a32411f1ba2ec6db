// The file table: every file the project refers to, indexed by file id, built from
// the first 'FILE' entry before any entry is converted. Each file knows its effect
// position: the row of the effect-name tables its second name matches, or -1.
#pragma once

#include "container.h"

struct FileRecord {
    int16_t file_id = 0;
    uint8_t file_info[12] = {};
    uint32_t file_type = 0;
    uint8_t name1_len = 0;
    uint8_t name2_len = 0; // length of the second name as written to the output
    std::string name1;     // as read
    std::string name2;     // as read
    std::string name2_sgi; // as written to the output
    int32_t effect_position = -1;
};

// Fills state.file_table, file_ids and file_count from the first 'FILE' entry
// (an empty table when there is none).
void create_file_table(DirectoryState& dir, DriverState& state);

// The record of a file id, or null when the table has none.
const FileRecord* find_file(const DriverState& state, int16_t file_id);

// 1 to 132 when the second name is an effect name, else -1.
int32_t find_effect_position(const FileRecord& record);

// Releases the table and every record in it.
void free_file_table(DriverState& state);
