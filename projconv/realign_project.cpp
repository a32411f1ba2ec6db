// 'PROJ' entries (a tree of project records) and 'TEMP' entries (template records).

#include "layout.h"
#include "output.h"
#include "realigners.h"

namespace {

// clang-format off
constexpr Row kProjectLongRows[] = {
    {0x00,  0x00, 5 * 2, Kind::Field16}, // SGI 0x02 form word, SGI 0x04 nesting word
    {kNone, 0x0A, 2,     Kind::Zero},
    {0x0A,  0x0C, 4,     Kind::Field32},
    {0x0E,  0x10, 2,     Kind::Bytes},
    {0x10,  0x12, 4,     Kind::Field32},
    {kNone, 0x16, 2,     Kind::Zero},
    {0x14,  0x18, 3 * 4, Kind::Field32},
    {0x20,  0x24, 8,     Kind::Bytes},
};
// clang-format on
constexpr Layout kProjectLong{40, 44, kProjectLongRows};

// The short form comes out as a long-form record: form word 0x8000 (set below),
// no nesting, everything from SGI 0x10 on zero.
// clang-format off
constexpr Row kProjectShortRows[] = {
    {0x00,  0x00, 2,     Kind::Field16},
    {0x02,  0x02, 2,     Kind::Dropped},
    {0x04,  0x04, 3 * 2, Kind::Dropped},
    {kNone, 0x0A, 2,     Kind::Zero},
    {0x0A,  0x0C, 4,     Kind::Field32},
    {kNone, 0x10, 28,    Kind::Zero},
};
// clang-format on
constexpr Layout kProjectShort{14, 44, kProjectShortRows};

// clang-format off
constexpr Row kTemplateRows[] = {
    {0x00,  0x00, 2, Kind::Field16},
    {kNone, 0x02, 2, Kind::Zero},
    {0x02,  0x04, 8, Kind::Bytes},
};
// clang-format on
constexpr Layout kTemplate{10, 12, kTemplateRows};

static_assert(layout_is_sound(kProjectLong));
static_assert(layout_is_sound(kProjectShort));
static_assert(layout_is_sound(kTemplate));

constexpr uint16_t kLongForm = 0x8000;
constexpr size_t kFormWord = 0x02, kNestingWord = 0x04;

// Real project trees nest a handful of bins deep; a deeper tree is damaged input,
// and refusing it keeps the recursion off the end of the stack.
constexpr int kMaxNesting = 1000;

RecordReader project_reader;
RecordReader template_reader;
int nesting = 0;

// Converts one project record and appends it; false when the input ended.
bool append_project_record(RecordReader& rd, DriverState& state, uint8_t* sgi) {
    const uint8_t* head = reader_peek(rd, kProjectShort.mac_size);
    if (!head) return false;
    const bool long_form = load_be16(head + kFormWord) & kLongForm;
    if (!convert_record(rd, long_form ? kProjectLong : kProjectShort, sgi)) return false;
    if (!long_form) store_be16(sgi + kFormWord, kLongForm);
    out_put(state, sgi, kProjectLong.sgi_size);
    return true;
}

} // namespace

void realign_proj_items(CurrentItem& item, DriverState& state, int top) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 == 0) return;
    if (top) {
        reader_reset(project_reader, state, item);
        nesting = 0;
    }
    if (item.prefix16 < 0) return;
    RecordReader& rd = project_reader;
    for (int i = 0; i < item.prefix16 && input_ok(state); ++i) {
        uint8_t record[kProjectLong.sgi_size];
        if (!append_project_record(rd, state, record)) return;
        copy_counted_run(rd);
        if (load_be16(record + kNestingWord) == 0) continue;
        copy_counted_run(rd);
        if (nesting == kMaxNesting) {
            fail_input(state, reader_offset(rd),
                       "project records nest deeper than " + std::to_string(kMaxNesting) +
                           " levels");
            return;
        }
        const int16_t count = item.prefix16;
        item.prefix16 = reader_be16(rd);
        if (!input_ok(state)) return;
        ++nesting;
        realign_proj_items(item, state, 0);
        --nesting;
        item.prefix16 = count;
    }
}

void realign_temp_items(CurrentItem& item, DriverState& state) {
    convert_counted_list(item, state, template_reader, kTemplate);
}
