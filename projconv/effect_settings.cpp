// Effect settings records: 26 fixed layouts keyed by effect position, the variable
// record of position 69, and a raw copy for everything else.

#include "effect_settings.h"

#include "effect_names.h"
#include "file_table.h"

#include <array>
#include <cstring>

namespace {

using K = Kind;

// Positions 8 and 92.
// clang-format off
constexpr Row kPlain26Rows[] = {
    {0x00, 0x00, 10 * 2, K::Field16},
    {0x14, 0x14, 6,      K::Bytes},
};
// clang-format on
constexpr Layout kPlain26{26, 26, kPlain26Rows};

// clang-format off
constexpr Row k14Rows[] = {
    {0x000, 0x000, 2,   K::Field16},
    {kNone, 0x002, 2,   K::Zero},
    {0x002, 0x004, 4,   K::Field32},
    {0x006, 0x008, 268, K::Bytes},
    {0x112, 0x114, 2,   K::Field16},
    {0x114, 0x116, 3,   K::Bytes},
    {kNone, 0x119, 3,   K::Zero},
    {0x117, kNone, 1,   K::Skipped},
};
// clang-format on
constexpr Layout k14{280, 284, k14Rows};

// clang-format off
constexpr Row k15Rows[] = {
    {0x000, 0x000, 2,   K::Field16},
    {0x002, 0x002, 1,   K::Bytes},
    {kNone, 0x003, 1,   K::Zero},
    {0x003, kNone, 1,   K::Skipped},
    {0x004, 0x004, 2,   K::Field16},
    {0x006, 0x006, 17,  K::Bytes},
    {0x017, kNone, 1,   K::Skipped},
    {0x018, 0x017, 256, K::Bytes},
    {kNone, 0x117, 1,   K::Zero},
    {0x118, 0x118, 2,   K::Field16},
    {0x11A, 0x11A, 1,   K::Bytes},
    {kNone, 0x11B, 1,   K::Zero},
    {0x11B, kNone, 1,   K::Skipped},
    {0x11C, 0x11C, 2,   K::Field16},
    {0x11E, 0x11E, 520, K::Bytes},
    {0x326, 0x326, 2,   K::Field16},
};
// clang-format on
constexpr Layout k15{808, 808, k15Rows};

// clang-format off
constexpr Row k22Rows[] = {
    {0x0, 0x0, 8, K::Bytes},
    {0x8, 0x8, 2, K::Field16},
    {0xA, 0xA, 6, K::Bytes},
};
// clang-format on
constexpr Layout k22{16, 16, k22Rows};

// clang-format off
constexpr Row k26Rows[] = {
    {0x0,   0x0,   4, K::Field32},
    {0x4,   0x4,   7, K::Bytes},
    {kNone, 0xB,   1, K::Zero},
    {0xB,   kNone, 1, K::Skipped},
};
// clang-format on
constexpr Layout k26{12, 12, k26Rows};

// clang-format off
constexpr Row k27Rows[] = {
    {0x0,   0x0,   2,  K::Field16},
    {0x2,   0x2,   13, K::Bytes},
    {kNone, 0xF,   1,  K::Zero},
    {0xF,   kNone, 1,  K::Skipped},
};
// clang-format on
constexpr Layout k27{16, 16, k27Rows};

// clang-format off
constexpr Row k28Rows[] = {
    {0x00, 0x00, 11 * 2, K::Widened16},
};
// clang-format on
constexpr Layout k28{22, 44, k28Rows};

// clang-format off
constexpr Row k29Rows[] = {
    {0x0, 0x0, 8, K::Bytes},
    {0x8, 0x8, 2, K::Field16},
};
// clang-format on
constexpr Layout k29{10, 10, k29Rows};

// clang-format off
constexpr Row k40Rows[] = {
    {0x00,  0x00,  2,     K::Field16},
    {kNone, 0x02,  2,     K::Zero},
    {0x02,  0x04,  4,     K::Field32},
    {0x06,  0x08,  2,     K::Field16},
    {kNone, 0x0A,  2,     K::Zero},
    {0x08,  0x0C,  4,     K::Field32},
    {0x0C,  0x10,  2,     K::Field16},
    {kNone, 0x12,  2,     K::Zero},
    {0x0E,  0x14,  4,     K::Field32},
    {0x12,  0x18,  2 * 2, K::Field16},
    {0x16,  0x1C,  4,     K::Field32},
    {0x1A,  0x20,  71,    K::Bytes},
    {kNone, 0x67,  1,     K::Zero},
    {0x61,  kNone, 1,     K::Skipped},
};
// clang-format on
constexpr Layout k40{98, 104, k40Rows};

// clang-format off
constexpr Row k54Rows[] = {
    {0x00,  0x00, 2,  K::Field16},
    {kNone, 0x02, 2,  K::Zero},
    {0x02,  0x04, 4,  K::Field32},
    {0x06,  0x08, 64, K::Bytes},
    {0x46,  0x48, 2,  K::Field16},
    {kNone, 0x4A, 2,  K::Zero},
};
// clang-format on
constexpr Layout k54{72, 76, k54Rows};

// clang-format off
constexpr Row k57Rows[] = {
    {0x00, 0x00, 18, K::Bytes},
};
// clang-format on
constexpr Layout k57{18, 18, k57Rows};

// clang-format off
constexpr Row k66Rows[] = {
    {0x0, 0x0, 2 * 4, K::Field32},
    {0x8, 0x8, 2 * 2, K::Field16},
};
// clang-format on
constexpr Layout k66{12, 12, k66Rows};

// clang-format off
constexpr Row k67Rows[] = {
    {0x00, 0x00, 95 * 2, K::Field16},
};
// clang-format on
constexpr Layout k67{190, 190, k67Rows};

// clang-format off
constexpr Row k78Rows[] = {
    {0x0, 0x0, 2, K::Field16},
    {0x2, 0x2, 8, K::Bytes},
};
// clang-format on
constexpr Layout k78{10, 10, k78Rows};

// clang-format off
constexpr Row k79Rows[] = {
    {0x0,   0x0, 2, K::Field16},
    {kNone, 0x2, 2, K::Zero},
    {0x2,   0x4, 4, K::Dropped},
};
// clang-format on
constexpr Layout k79{6, 8, k79Rows};

// clang-format off
constexpr Row k86Rows[] = {
    {0x0,   0x0, 2,     K::Field16},
    {kNone, 0x2, 2,     K::Zero},
    {0x2,   0x4, 4,     K::Field32},
    {0x6,   0x8, 3 * 2, K::Field16},
    {kNone, 0xE, 2,     K::Zero},
};
// clang-format on
constexpr Layout k86{12, 16, k86Rows};

// clang-format off
constexpr Row k93Rows[] = {
    {0x0, 0x0,   1, K::Bytes},
    {0x1, kNone, 1, K::Skipped},
};
// clang-format on
constexpr Layout k93{2, 1, k93Rows};

// clang-format off
constexpr Row k98Rows[] = {
    {0x0, 0x0, 4 * 2, K::Field16},
    {0x8, 0x8, 400,   K::Bytes},
};
// clang-format on
constexpr Layout k98{408, 408, k98Rows};

// clang-format off
constexpr Row k104Rows[] = {
    {0x0, 0x0, 2 * 2, K::Field16},
    {0x4, 0x4, 4,     K::Dropped},
};
// clang-format on
constexpr Layout k104{8, 8, k104Rows};

// clang-format off
constexpr Row k120Rows[] = {
    {0x0, 0x0, 3 * 2, K::Widened16},
};
// clang-format on
constexpr Layout k120{6, 12, k120Rows};

// clang-format off
constexpr Row k121Rows[] = {
    {0x0,   0x0, 4, K::Field32},
    {0x4,   0x4, 6, K::Masked16},
    {kNone, 0xA, 2, K::Zero},
};
// clang-format on
constexpr Layout k121{10, 12, k121Rows};

// clang-format off
constexpr Row k122Rows[] = {
    {0x0,   0x0, 2, K::Field16},
    {kNone, 0x2, 2, K::Zero},
    {0x2,   0x4, 4, K::Dropped},
    {0x6,   0x8, 4, K::Dropped},
};
// clang-format on
constexpr Layout k122{10, 12, k122Rows};

// clang-format off
constexpr Row k126Rows[] = {
    {0x00, 0x00, 8 * 2, K::Field16},
    {0x10, 0x10, 4,     K::Dropped},
    {0x14, 0x14, 4,     K::Dropped},
    {0x18, 0x18, 2 * 2, K::Field16},
    {0x1C, 0x1C, 5 * 4, K::Field32},
    {0x30, 0x30, 2 * 2, K::Field16},
    {0x34, 0x34, 4,     K::Field32},
};
// clang-format on
constexpr Layout k126{56, 56, k126Rows};

// clang-format off
constexpr Row k128Rows[] = {
    {0x0, 0x0, 6 * 2, K::Widened16},
};
// clang-format on
constexpr Layout k128{12, 24, k128Rows};

// clang-format off
constexpr Row k131Rows[] = {
    {0x00,  0x00, 3 * 2, K::Field16},
    {kNone, 0x06, 2,     K::Zero},
    {0x06,  0x08, 4,     K::Dropped},
    {0x0A,  0x0C, 4,     K::Dropped},
    {0x0E,  0x10, 4,     K::Dropped},
    {0x12,  0x14, 5 * 2, K::Field16},
    {kNone, 0x1E, 2,     K::Zero},
    {0x1C,  0x20, 5 * 4, K::Field32},
};
// clang-format on
constexpr Layout k131{48, 52, k131Rows};

struct PositionLayout {
    int32_t position;
    const Layout* layout;
};

constexpr PositionLayout kConverting[] = {
    {8, &kPlain26}, {14, &k14},   {15, &k15},   {22, &k22},   {26, &k26},      {27, &k27},
    {28, &k28},     {29, &k29},   {40, &k40},   {54, &k54},   {57, &k57},      {66, &k66},
    {67, &k67},     {78, &k78},   {79, &k79},   {86, &k86},   {92, &kPlain26}, {93, &k93},
    {98, &k98},     {104, &k104}, {120, &k120}, {121, &k121}, {122, &k122},    {126, &k126},
    {128, &k128},   {131, &k131},
};

constexpr bool all_sound() {
    for (const PositionLayout& p : kConverting)
        if (!layout_is_sound(*p.layout)) return false;
    return true;
}
static_assert(all_sound(), "every effect layout tiles its Mac record and fits its SGI record");
static_assert(std::size(kConverting) == 26);

// Position -> layout, for a lookup per settings record without a search.
constexpr std::array<const Layout*, kLastEffectRow + 1> kByPosition = [] {
    std::array<const Layout*, kLastEffectRow + 1> a{};
    for (const PositionLayout& p : kConverting) a[size_t(p.position)] = p.layout;
    return a;
}();

// Room for `length` more bytes at `offset`, zero-filled; null (and a fault) when the
// settings area would outgrow the 32-bit offsets that describe it.
uint8_t* settings_room(std::vector<uint8_t>& buffer, int32_t offset, int64_t length,
                       RecordReader& rd) {
    const int64_t end = int64_t(offset) + length;
    if (end > INT32_MAX) {
        fail_input(*rd.st, reader_offset(rd), "an effect list's settings outgrow 32-bit offsets");
        return nullptr;
    }
    if (buffer.size() < size_t(end)) buffer.resize(size_t(end));
    return buffer.data() + offset;
}

// Appends the size word and zero padding around `length` record bytes; the caller
// fills the record. Null when there is no room.
uint8_t* settings_record(std::vector<uint8_t>& buffer, int32_t& size, int32_t& offset,
                         int64_t length, RecordReader& rd) {
    const int64_t word = settings_size_word(length);
    if (word > INT32_MAX) {
        fail_input(*rd.st, reader_offset(rd), "an effect's settings outgrow 32-bit sizes");
        return nullptr;
    }
    uint8_t* at = settings_room(buffer, offset, 4 + word, rd);
    if (!at) return nullptr;
    // The buffer may have held an earlier list's bytes here.
    std::memset(at + 4 + length, 0, size_t(word - length));
    store_be32(at, uint32_t(word));
    size = int32_t(word);
    offset += int32_t(4 + word);
    return at + 4;
}

void convert_fixed(const Layout& layout, int32_t& size, std::vector<uint8_t>& buffer,
                   int32_t& offset, RecordReader& rd) {
    const uint8_t* check = reader_peek(rd, layout.mac_size);
    if (!check) return;
    if (uint8_t* record = settings_record(buffer, size, offset, layout.sgi_size, rd))
        convert_record(rd, layout, record);
}

// Header (a, b, c), then 16 * a * b data bytes. The product is taken in 64 bits, and a
// product of 0 or less means no data, so the size word always describes what is
// written.
void convert_variable(int32_t& size, std::vector<uint8_t>& buffer, int32_t& offset,
                      RecordReader& rd) {
    constexpr size_t kHeader = 6;
    const uint8_t* header = reader_peek(rd, kHeader);
    if (!header) return;
    const int64_t a = int16_t(load_be16(header)), b = int16_t(load_be16(header + 2));
    const int64_t product = 16 * a * b;
    const size_t data = product > 0 ? size_t(product) : 0;
    const uint8_t* mac = reader_take(rd, kHeader + data);
    if (!mac) return;
    if (uint8_t* record = settings_record(buffer, size, offset, int64_t(kHeader + data), rd))
        std::memcpy(record, mac, kHeader + data);
}

void convert_raw(int32_t& size, std::vector<uint8_t>& buffer, int32_t& offset, RecordReader& rd) {
    const size_t length = size_t(size);
    const uint8_t* mac = reader_take(rd, length);
    if (!mac) return;
    if (uint8_t* record = settings_record(buffer, size, offset, int64_t(length), rd))
        std::memcpy(record, mac, length);
}

} // namespace

const Layout* effect_layout(int32_t position) {
    if (position < 0 || position >= int32_t(kByPosition.size())) return nullptr;
    return kByPosition[size_t(position)];
}

void realign_effect_settings(int16_t file_id, int32_t& size, std::vector<uint8_t>& buffer,
                             int32_t& offset, RecordReader& rd, DriverState& state) {
    // A file id the table does not know is copied like an effect that was not found.
    const FileRecord* file = find_file(state, file_id);
    const int32_t position = file ? file->effect_position : -1;
    if (const Layout* layout = effect_layout(position))
        convert_fixed(*layout, size, buffer, offset, rd);
    else if (position == kVariableEffectPosition)
        convert_variable(size, buffer, offset, rd);
    else if (size > 0)
        convert_raw(size, buffer, offset, rd);
}
