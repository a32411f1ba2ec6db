// The file table, built from the first 'FILE' entry before the walk, and the 'FILE'
// realigner, which writes every 'FILE' entry from that table.

#include "file_table.h"

#include "effect_names.h"
#include "hash_table.h"
#include "layout.h"
#include "output.h"
#include "realigners.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The fixed head of a file record, Mac 18 bytes; its SGI form is the first 20 bytes
// of the file's output item.
// clang-format off
constexpr Row kFileHeadRows[] = {
    {0x00,  0x00, 2,  Kind::Field16}, // file id
    {kNone, 0x02, 2,  Kind::Zero},
    {0x02,  0x04, 12, Kind::Bytes}, // file info
    {0x0E,  0x10, 4,  Kind::Field32}, // file type
};
// clang-format on
constexpr Layout kFileHead{18, 20, kFileHeadRows};
static_assert(layout_is_sound(kFileHead));

constexpr size_t kHeadFileId = 0x00, kHeadFileInfo = 0x04, kHeadFileType = 0x10;

// File types whose items end in the "MAC1" marker; every other type ends in zeros.
constexpr uint32_t kMarkedTypes[] = {fourcc("QZFM"), fourcc("AFlt"), fourcc("SPFW"),
                                     fourcc("VFlt")};

// Table keys are file ids sign-extended to 32 bits. Key 0 marks an empty slot, so
// file id 0 is kept under a key no 16-bit id can produce, and stays findable.
constexpr uintptr_t kFileIdZeroKey = 0x10000;

uintptr_t key_of(int16_t file_id) {
    if (file_id == 0) return kFileIdZeroKey;
    return uintptr_t(uint32_t(int32_t(file_id)));
}

// Under -c a second name becomes an SGI file name: every blank to '_', every '&' to
// 'n', the length unchanged. All bytes are converted, zero bytes included.
std::string sgi_file_name(const std::string& name) {
    std::string s = name;
    for (char& c : s) {
        if (c == ' ') c = '_';
        if (c == '&') c = 'n';
    }
    return s;
}

// A length byte and that many name bytes, read into name; false when the input ends.
bool read_name(RecordReader& rd, uint8_t& len, std::string& name) {
    const uint8_t* n = reader_take(rd, 1);
    if (!n) return false;
    const uint8_t* bytes = reader_take(rd, *n);
    if (!bytes) return false;
    len = *n;
    name.assign(reinterpret_cast<const char*>(bytes), *n);
    return true;
}

// One file record from the reader, or null when the input ends inside it.
std::unique_ptr<FileRecord> read_file_record(RecordReader& rd) {
    auto rec = std::make_unique<FileRecord>();
    uint8_t head[kFileHead.sgi_size];
    if (!convert_record(rd, kFileHead, head)) return nullptr;
    rec->file_id = int16_t(load_be16(head + kHeadFileId));
    std::memcpy(rec->file_info, head + kHeadFileInfo, sizeof rec->file_info);
    rec->file_type = load_be32(head + kHeadFileType);
    if (!read_name(rd, rec->name1_len, rec->name1)) return nullptr;
    if (!read_name(rd, rec->name2_len, rec->name2)) return nullptr;

    rec->effect_position = find_effect_position(*rec);
    if (rec->effect_position >= kFirstEffectRow) {
        rec->name2_sgi = sgi_effect_names[rec->effect_position];
        rec->name2_len = uint8_t(rec->name2_sgi.size());
    } else if (convert_mac_filenames) {
        rec->name2_sgi = sgi_file_name(rec->name2);
    } else {
        rec->name2_sgi = rec->name2;
    }
    return rec;
}

// The table owns its records: a record replaced by a later one with the same id is
// released at once, the rest when the table is freed.
void put_record(DriverState& st, std::unique_ptr<FileRecord> rec) {
    const uintptr_t key = key_of(rec->file_id);
    FileRecord*& indexed = st.file_index[uint16_t(rec->file_id)];
    delete indexed;
    indexed = rec.release();
    _PutHaship(key, st.file_table, reinterpret_cast<uintptr_t>(indexed));
}

const uint8_t* directory_entry(const DriverState& st, const DirectoryState& dir, int32_t i) {
    return st.head.data() + dir.entries + kEntrySize * size_t(i);
}

void write_file_item(DriverState& st, const FileRecord& rec) {
    uint8_t head[kFileHead.sgi_size] = {};
    store_be16(head + kHeadFileId, uint16_t(rec.file_id));
    std::memcpy(head + kHeadFileInfo, rec.file_info, sizeof rec.file_info);
    store_be32(head + kHeadFileType, rec.file_type);
    out_put(st, head, sizeof head);

    out_put(st, &rec.name1_len, 1);
    out_put(st, rec.name1.data(), rec.name1_len);
    out_put(st, &rec.name2_len, 1);
    out_put(st, rec.name2_sgi.data(), rec.name2_len);

    bool marked = false;
    for (uint32_t t : kMarkedTypes) marked |= rec.file_type == t;
    if (marked)
        out_put(st, "MAC1", 4);
    else
        out_zero(st, 4);
}

} // namespace

void create_file_table(DirectoryState& dir, DriverState& state) {
    state.file_ids.clear();
    state.file_count = 0;
    int32_t i = 0;
    while (i < dir.entry_count &&
           load_be32(directory_entry(state, dir, i) + kEntryType) != fourcc("FILE"))
        ++i;
    if (i == dir.entry_count) return; // no 'FILE' entry: the table stays empty

    const uint8_t* e = directory_entry(state, dir, i);
    state.entry_index = i;
    state.entry_type = fourcc("FILE");
    state.entry_id = load_be32(e + kEntryId);
    state.in_pos = load_be32(e + kEntryOffset);

    CurrentItem at;
    at.data = state.in_pos;
    RecordReader rd;
    reader_reset(rd, state, at);
    const int16_t count = reader_be16(rd);
    if (!input_ok(state)) return;
    state.file_count = count;
    if (count > 0) {
        state.file_ids.reserve(size_t(count));
        state.file_index.assign(size_t(UINT16_MAX) + 1, nullptr);
        for (int16_t k = 0; k < count; ++k) {
            std::unique_ptr<FileRecord> rec = read_file_record(rd);
            if (!rec) return;
            state.file_ids.push_back(rec->file_id);
            put_record(state, std::move(rec));
        }
    }
    state.entry_index = -1;
}

int32_t find_effect_position(const FileRecord& record) {
    return find_effect_position_of_name(record.name2.data(), record.name2.size());
}

const FileRecord* find_file(const DriverState& state, int16_t file_id) {
    if (state.file_index.empty()) return nullptr;
    return state.file_index[uint16_t(file_id)];
}

void free_file_table(DriverState& state) {
    if (HashTable* table = state.file_table) {
        for (int i = 0; i < table->size; ++i)
            delete reinterpret_cast<FileRecord*>(table->slots[i].value);
        freeHashTable(table);
    }
    state.file_table = nullptr;
    state.file_index.clear();
    state.file_ids.clear();
    state.file_count = 0;
}

// Every 'FILE' entry is written from the table of the first one, item i from the
// i-th file id. A later entry that counts more files than the table holds gets the
// items the table has, and its count says how many that is.
void realign_file_items(CurrentItem& item, DriverState& state) {
    const int16_t n = item.prefix16;
    if (n <= 0) {
        out_be16(state, uint16_t(n));
        return;
    }
    const size_t items = std::min(size_t(n), state.file_ids.size());
    out_be16(state, uint16_t(items));
    for (size_t i = 0; i < items && input_ok(state); ++i)
        if (const FileRecord* rec = find_file(state, state.file_ids[i]))
            write_file_item(state, *rec);
}
