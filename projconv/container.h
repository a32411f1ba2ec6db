// The project container and the records the conversion driver shares with every
// realigner. Positions are offsets, not addresses: the output window moves when it
// grows, and offsets keep every read checkable against the end of the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct HashTable;
struct FileRecord;

// Four-character codes are compared as big-endian 32-bit numbers.
constexpr uint32_t fourcc(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint32_t(uint8_t(s[3]));
}

inline uint16_t load_be16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}
inline uint32_t load_be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void store_be16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void store_be32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Container layout, the same on both sides.
constexpr size_t kHeaderSize = 12;      // magic + 8 header bytes
constexpr size_t kDirWordOffset = 0x0C; // dir_word, then entry_count
constexpr size_t kDirectoryOffset = 0x14;
constexpr size_t kEntrySize = 32;
constexpr size_t kEntryType = 0x00, kEntryId = 0x04, kEntryOffset = 0x08, kEntryLength = 0x0C;

// The output as the realigners see it: a window of memory over the output bytes
// [start, start + size). Converted data only ever go forward, so a window may hand
// the bytes behind it to its sink (a file) and slide on, and a whole project of any
// size passes through a few megabytes of memory.
struct OutputWindow {
    uint8_t* base = nullptr;
    size_t size = 0;
    size_t start = 0;
    // Makes the window cover output bytes [from, end), from >= start; may hand the
    // bytes before `from` to the sink, move and enlarge the window. False when it
    // cannot.
    bool (*cover)(OutputWindow& w, size_t from, size_t end) = nullptr;
    // Ends the output at `end`, with `head` (header and directory) at offset 0.
    bool (*finish)(OutputWindow& w, size_t end, const uint8_t* head, size_t head_len) = nullptr;
};

// The first fault found in the input; the conversion stops there.
struct InputFault {
    bool set = false;
    size_t offset = 0; // input offset where reading stopped
    std::string what;
};

struct DriverState {
    const uint8_t* in_base = nullptr;
    size_t in_size = 0;
    size_t in_pos = 0; // offset of the entry being converted, past its prefix
    OutputWindow* out = nullptr;
    size_t out_pos = 0;        // output offset where the next converted byte goes
    std::vector<uint8_t> head; // the output's header and directory, written last
    HashTable* file_table = nullptr;
    std::vector<int16_t> file_ids;
    int16_t file_count = 0;
    // The record file_table holds for each 16-bit file id, indexed by the id's bit
    // pattern: ids chosen to share slots in the table would make every lookup walk a
    // long run of slots, so lookups come here instead.
    std::vector<FileRecord*> file_index;

    FILE* diag = stderr;           // where the entry messages go
    const char* prog = "projconv"; // prefix of the bad-input line
    int32_t entry_index = -1;      // the entry being converted, for the bad-input line
    uint32_t entry_type = 0, entry_id = 0;
    InputFault fault;
};

struct DirectoryState {
    uint32_t dir_word = 0;
    int32_t entry_count = 0;
    size_t entries = 0; // offset of the directory copy in state.head
    size_t dir_bytes = 0;
};

struct CurrentItem {
    uint32_t id = 0;
    int16_t prefix16 = 0;
    int32_t prefix32 = 0;
    size_t data = 0; // input offset of the entry's first item
};

// Set by -c: second names that are not effect names become SGI file names.
extern int convert_mac_filenames;

// The text of a four-character code as messages show it: up to the first zero byte.
std::string code_text(uint32_t code);

// Records the first input fault at `offset` and makes every later read fail.
void fail_input(DriverState& st, size_t offset, std::string what);
inline bool input_ok(const DriverState& st) {
    return !st.fault.set;
}
