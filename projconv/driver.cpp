#include "driver.h"

#include "entry_types.h"
#include "file_table.h"
#include "hash_table.h"
#include "output.h"
#include "record_reader.h"

#include <cstring>

int convert_mac_filenames = 0;

std::string code_text(uint32_t code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char(code >> shift);
        if (c == 0) break;
        s += c;
    }
    return s;
}

void fail_input(DriverState& st, size_t offset, std::string what) {
    if (st.fault.set) return;
    st.fault.set = true;
    st.fault.offset = offset;
    st.fault.what = std::move(what);
}

// A code as the bad-input line shows it: one clean line even for binary garbage.
static std::string printable_code(uint32_t code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = uint8_t(code >> shift);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            s += char(c);
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            s += buf;
        }
    }
    return s;
}

static void report_fault(const DriverState& st) {
    if (st.entry_index >= 0)
        std::fprintf(st.diag, "%s: entry %d (type '%s', id '%s'), input offset %zu: %s\n", st.prog,
                     st.entry_index, printable_code(st.entry_type).c_str(),
                     printable_code(st.entry_id).c_str(), st.fault.offset, st.fault.what.c_str());
    else
        std::fprintf(st.diag, "%s: header or directory, input offset %zu: %s\n", st.prog,
                     st.fault.offset, st.fault.what.c_str());
    std::fflush(st.diag);
}

void realign_header(DriverState& state) {
    if (state.in_size < kHeaderSize) {
        fail_input(state, 0, "the input is too short for a project header");
        return;
    }
    uint8_t header[kHeaderSize];
    std::memcpy(header, state.in_base, kHeaderSize);
    std::memcpy(header, "UxVd", 4);
    state.in_pos = kHeaderSize;
    state.head.assign(header, header + kHeaderSize);
    state.out_pos = kHeaderSize;
}

void realign_dir_entries(DirectoryState& dir, DriverState& state) {
    if (state.in_size < kDirectoryOffset) {
        fail_input(state, state.in_pos, "the input ends before the entry count");
        return;
    }
    const uint8_t* p = state.in_base + state.in_pos;
    dir.dir_word = load_be32(p);
    dir.entry_count = int32_t(load_be32(p + 4));
    state.head.insert(state.head.end(), p, p + 8);
    state.out_pos += 8;
    state.in_pos += 8;
    if (dir.entry_count < 0) {
        fail_input(state, kDirWordOffset + 4,
                   "the entry count " + std::to_string(dir.entry_count) + " is negative");
        return;
    }
    dir.dir_bytes = kEntrySize * size_t(dir.entry_count);
    if (dir.dir_bytes > state.in_size - state.in_pos) {
        fail_input(state, state.in_pos,
                   "a directory of " + std::to_string(dir.entry_count) +
                       " entries runs past the end of the input");
        return;
    }
    // The directory is edited in this copy as the entries are converted, and goes to
    // the output last.
    dir.entries = state.head.size();
    state.head.insert(state.head.end(), state.in_base + state.in_pos,
                      state.in_base + state.in_pos + dir.dir_bytes);
    state.out_pos += dir.dir_bytes;
    state.in_pos += dir.dir_bytes;
}

static uint8_t* entry_at(DriverState& st, const DirectoryState& dir, int32_t i) {
    return st.head.data() + dir.entries + kEntrySize * size_t(i);
}

// Every entry's data must lie behind the directory and start inside the input, or
// converted data would overwrite the directory or be read from nowhere.
static bool check_entry_offsets(DriverState& st, const DirectoryState& dir) {
    const size_t data_start = kDirectoryOffset + dir.dir_bytes;
    for (int32_t i = 0; i < dir.entry_count; ++i) {
        const uint8_t* e = entry_at(st, dir, i);
        uint32_t offset = load_be32(e + kEntryOffset);
        st.entry_index = i;
        st.entry_type = load_be32(e + kEntryType);
        st.entry_id = load_be32(e + kEntryId);
        const size_t at = kDirectoryOffset + kEntrySize * size_t(i) + kEntryOffset;
        if (offset < data_start) {
            fail_input(st, at,
                       "its data offset " + std::to_string(offset) +
                           " lies inside the header or directory");
            return false;
        }
        if (offset > st.in_size) {
            fail_input(st, at,
                       "its data offset " + std::to_string(offset) +
                           " lies past the end of the input (" + std::to_string(st.in_size) +
                           " bytes)");
            return false;
        }
    }
    st.entry_index = -1;
    return true;
}

static void read_prefix(DriverState& st, CurrentItem& item, uint32_t type) {
    Prefix prefix = prefix_of(type);
    size_t n = prefix == Prefix::Word32 ? 4 : prefix == Prefix::Word16 ? 2 : 0;
    if (n > st.in_size - st.in_pos) {
        fail_input(st, st.in_pos, "the input ends inside the entry's prefix");
        return;
    }
    const uint8_t* p = st.in_base + st.in_pos;
    if (prefix == Prefix::Word32) item.prefix32 = int32_t(load_be32(p));
    if (prefix == Prefix::Word16) item.prefix16 = int16_t(load_be16(p));
    st.in_pos += n;
}

static void convert_entry(DriverState& st, const DirectoryState& dir, CurrentItem& item,
                          int32_t i) {
    uint8_t* e = entry_at(st, dir, i);
    const uint32_t type = load_be32(e + kEntryType);
    st.entry_index = i;
    st.entry_type = type;
    st.entry_id = load_be32(e + kEntryId);

    st.in_pos = load_be32(e + kEntryOffset);
    read_prefix(st, item, type);
    if (!input_ok(st)) return;
    item.data = st.in_pos;
    const size_t offset = st.out_pos;
    if (offset > UINT32_MAX) {
        fail_input(st, st.in_pos, "the converted project would outgrow 32-bit offsets");
        return;
    }
    store_be32(e + kEntryOffset, uint32_t(offset));
    item.id = st.entry_id;

    if (const EntryType* t = find_entry_type(type)) {
        if (accepts_id(*t, item.id)) {
            t->realign(item, st);
        } else {
            std::fprintf(st.diag, "Unknown entry ID: %s for directory entry type: %s\n",
                         code_text(item.id).c_str(), code_text(type).c_str());
            std::fflush(st.diag);
        }
    } else {
        std::fprintf(st.diag, "Unknown directory entry type: %s\n", code_text(type).c_str());
        std::fflush(st.diag);
    }
    if (!input_ok(st)) return;
    store_be32(e + kEntryLength, uint32_t(st.out_pos - offset));
}

int convert_project(DriverState& state) {
    DirectoryState dir;
    CurrentItem item;
    state.entry_index = -1;
    realign_header(state);
    if (input_ok(state)) realign_dir_entries(dir, state);
    // The file table is complete before any entry is converted; offsets are checked
    // first, so it is read only from where the directory says entry data lie.
    if (input_ok(state) && check_entry_offsets(state, dir)) {
        state.file_table = _MakeHashTable(2);
        create_file_table(dir, state);
    }
    if (input_ok(state) && dir.entry_count != 0) {
        state.out_pos = load_be32(entry_at(state, dir, 0) + kEntryOffset);
        for (int32_t i = 0; i < dir.entry_count && input_ok(state); ++i)
            convert_entry(state, dir, item, i);
    }
    free_file_table(state);
    out_finish(state);
    if (!input_ok(state)) {
        report_fault(state);
        return -1;
    }
    return 0;
}

int convert_buffer(std::span<const uint8_t> in, MemoryOutput& out, size_t& out_len, FILE* diag,
                   const char* prog) {
    return convert_to(in, out.window, out_len, diag, prog);
}

int convert_to(std::span<const uint8_t> in, OutputWindow& out, size_t& out_len, FILE* diag,
               const char* prog) {
    DriverState state;
    state.in_base = in.data();
    state.in_size = in.size();
    state.out = &out;
    state.diag = diag;
    state.prog = prog;
    int r = convert_project(state);
    out_len = r == 0 ? state.out_pos : 0;
    return r;
}
