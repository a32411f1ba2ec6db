// 'TRAK', 'TRKa' and 'TRKs' entries: timeline tracks, each a track record, a pair
// list, four effect lists (whose settings records go to the effect settings
// converter) and, behind a flag, a tail list. The three types convert alike.

#include "effect_settings.h"
#include "output.h"
#include "realigners.h"

#include <vector>

namespace {

using K = Kind;

// clang-format off
constexpr Row kTrackRows[] = {
    {0x00,  0x00,  2,     K::Field16},
    {0x02,  0x02,  2,     K::Field16},
    {0x04,  0x04,  4 * 4, K::Field32},
    {0x14,  0x14,  22,    K::Bytes},
    {kNone, 0x2A,  2,     K::Zero},
    {0x2A,  0x2C,  11,    K::Bytes},
    {0x35,  kNone, 1,     K::Skipped},
    {kNone, 0x37,  1,     K::Zero},
    {0x36,  0x38,  3 * 2, K::Field16},
    {0x3C,  0x3E,  6,     K::Bytes},
    {0x42,  0x44,  9 * 4, K::Field32},
    {0x66,  0x68,  3 * 2, K::Field16},
    {0x6C,  0x6E,  6,     K::Bytes},
};
// clang-format on
constexpr Layout kTrack{114, 116, kTrackRows};
constexpr size_t kTailFlag = 0x64; // SGI offset of the last 32-bit field

// clang-format off
constexpr Row kPairHeaderRows[] = {
    {0,     0, 2, K::Field16},
    {2,     2, 2, K::Field16},
    {4,     4, 2, K::Bytes},
    {kNone, 6, 2, K::Zero},
};
// clang-format on
constexpr Layout kPairHeader{6, 8, kPairHeaderRows};
constexpr size_t kPairCount = 2;

// clang-format off
constexpr Row kPairItemRows[] = {
    {0,     0, 4, K::Field32},
    {4,     4, 2, K::Field16},
    {kNone, 6, 2, K::Zero},
};
// clang-format on
constexpr Layout kPairItem{6, 8, kPairItemRows};

static_assert(layout_is_sound(kTrack));
static_assert(layout_is_sound(kPairHeader));
static_assert(layout_is_sound(kPairItem));

// The tail list is copied unchanged; only its list word is replaced by its size.
constexpr size_t kTailHeader = 10, kTailCount = 8, kTailItem = 42;

constexpr int32_t kAbsent = -1; // the list word of a pair or tail list that is not there
constexpr int kEffectLists = 4;

RecordReader track_reader;

struct EffectEntry {
    int16_t file_id;
    int32_t offset;
};

// Scratch for effect lists, kept for the whole track entry and grown on demand: the
// list size only hints at what follows, so it never bounds what is read.
struct EffectScratch {
    std::vector<EffectEntry> table;
    std::vector<uint8_t> settings;
};

void convert_pair_list(RecordReader& rd, DriverState& st) {
    const int32_t word = reader_be32(rd);
    if (!input_ok(st)) return;
    if (word == kAbsent) {
        out_be32(st, uint32_t(word));
        return;
    }
    uint8_t header[kPairHeader.sgi_size];
    if (!convert_record(rd, kPairHeader, header)) return;
    const int16_t n = int16_t(load_be16(header + kPairCount));
    out_be32(st, uint32_t(8 * int32_t(n) + 8));
    out_put(st, header, sizeof header);
    for (int i = 0; i < n && input_ok(st); ++i) append_record(rd, kPairItem);
}

void convert_tail_list(RecordReader& rd, DriverState& st) {
    const int32_t word = reader_be32(rd);
    if (!input_ok(st)) return;
    if (word == kAbsent) {
        out_be32(st, uint32_t(word));
        return;
    }
    const uint8_t* header = reader_take(rd, kTailHeader);
    if (!header) return;
    const int16_t m = int16_t(load_be16(header + kTailCount));
    out_be32(st, uint32_t(kTailItem * int32_t(m) + kTailHeader));
    out_put(st, header, kTailHeader);
    if (m > 0) reader_to_output(rd, kTailItem * size_t(m));
}

// Reads the entry table: entries up to and including the first whose file id is 0 or
// whose offset is 1. When the list size is 4 the first entry's offset is 16-bit.
void read_entry_table(RecordReader& rd, int32_t list_size, std::vector<EffectEntry>& table) {
    DriverState& st = *rd.st;
    table.clear();
    for (;;) {
        EffectEntry e;
        e.file_id = reader_be16(rd);
        e.offset = table.empty() && list_size == 4 ? int32_t(reader_be16(rd)) : reader_be32(rd);
        if (!input_ok(st)) return;
        table.push_back(e);
        if (e.file_id == 0 || e.offset == 1) return;
    }
}

void convert_effect_list(RecordReader& rd, DriverState& st, EffectScratch& scratch) {
    const int32_t list_size = reader_be32(rd);
    if (!input_ok(st)) return;
    if (list_size <= 0) {
        out_be32(st, uint32_t(list_size));
        return;
    }
    const size_t table_start = rd.pos;
    std::vector<EffectEntry>& table = scratch.table;
    read_entry_table(rd, list_size, table);
    if (!input_ok(st)) return;

    const int64_t table_bytes = 8 * int64_t(table.size());
    if (table_bytes > INT32_MAX) {
        fail_input(st, reader_offset(rd), "an effect list's entry table outgrows 32-bit offsets");
        return;
    }
    int32_t settings_len = 0;
    for (EffectEntry& e : table) {
        if (e.offset < 2) continue; // 0 and 1 mean no settings record
        if (rd.pos - table_start != size_t(e.offset)) {
            e.offset = 0; // not where the stream stands: dropped, nothing read
            continue;
        }
        const int64_t at = table_bytes + settings_len;
        if (at > INT32_MAX) {
            fail_input(st, reader_offset(rd), "an effect list's settings outgrow 32-bit offsets");
            return;
        }
        e.offset = int32_t(at);
        int32_t z = reader_be32(rd);
        if (!input_ok(st)) return;
        if (z > 0) {
            realign_effect_settings(e.file_id, z, scratch.settings, settings_len, rd, st);
        } else if (settings_len > INT32_MAX - 4) {
            fail_input(st, reader_offset(rd), "an effect list's settings outgrow 32-bit offsets");
        } else {
            if (scratch.settings.size() < size_t(settings_len) + 4)
                scratch.settings.resize(size_t(settings_len) + 4);
            store_be32(scratch.settings.data() + settings_len, uint32_t(z));
            settings_len += 4;
        }
        if (!input_ok(st)) return;
    }
    const int64_t total = table_bytes + settings_len;
    if (total > INT32_MAX) {
        fail_input(st, reader_offset(rd), "an effect list outgrows its 32-bit size");
        return;
    }
    out_be32(st, uint32_t(total));
    uint8_t* out = out_reserve(st, size_t(table_bytes));
    if (!out) return;
    for (const EffectEntry& e : table) {
        store_be16(out, uint16_t(e.file_id));
        store_be16(out + 2, 0);
        store_be32(out + 4, uint32_t(e.offset));
        out += 8;
    }
    st.out_pos += size_t(table_bytes);
    if (settings_len > 0) out_put(st, scratch.settings.data(), size_t(settings_len));
}

void convert_track(RecordReader& rd, DriverState& st, EffectScratch& scratch) {
    uint8_t record[kTrack.sgi_size];
    if (!convert_record(rd, kTrack, record)) return;
    out_put(st, record, sizeof record);
    convert_pair_list(rd, st);
    for (int i = 0; i < kEffectLists && input_ok(st); ++i) convert_effect_list(rd, st, scratch);
    if (input_ok(st) && load_be32(record + kTailFlag) != 0) convert_tail_list(rd, st);
}

} // namespace

void realign_trak_items(CurrentItem& item, DriverState& state) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 == 0) return;
    reader_reset(track_reader, state, item);
    if (item.prefix16 < 0) return;
    EffectScratch scratch;
    for (int i = 0; i < item.prefix16 && input_ok(state); ++i)
        convert_track(track_reader, state, scratch);
}
