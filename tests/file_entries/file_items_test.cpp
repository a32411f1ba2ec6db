// 'FILE' entries: every item written from the file table, second names mapped to
// their SGI effect names or (with -c) to SGI file names, and the "MAC1" marker.

#include "effect_names.h"
#include "file_support.h"

#include <optional>

using kit::Bytes;
using kit::Project;

namespace {

struct NameCase {
    const char* name;
    bool convert_names; // -c
    std::string name2;
    std::string want; // the second name in the SGI item; its length is the length byte
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class SecondNames : public testing::TestWithParam<NameCase> {};

TEST_P(SecondNames, ComeOutAsTheRulesSay) {
    const NameCase& c = GetParam();
    std::optional<ConvertFileNames> names;
    if (c.convert_names) names.emplace();
    // The first name carries blanks and '&' too: it is written as read in every case.
    const MacFile f{7, "MooV", "Media & Co HD", c.name2};
    Bytes want;
    want.be16(1).add(sgi_file(f, c.want, false));
    EXPECT_EQ(convert_one("FILE", "FILE", file_entry({f})), want.v);
}

const std::string with_zero("A\0 & B", 6);
const std::string with_zero_converted("A\0_n_B", 6);
const std::string effect_and_zero("Camera Blur\0", 12);

INSTANTIATE_TEST_SUITE_P(
    FileItems, SecondNames,
    testing::Values(
        NameCase{"media_as_read", false, "Take 1 & 2.mov", "Take 1 & 2.mov"},
        NameCase{"media_converted", true, "Take 1 & 2.mov", "Take_1_n_2.mov"},
        NameCase{"a_and_b_converted", true, "A & B", "A_n_B"},
        NameCase{"a_and_b_as_read", false, "A & B", "A & B"},
        NameCase{"converted_past_zero_byte", true, with_zero, with_zero_converted},
        NameCase{"zero_byte_as_read", false, with_zero, with_zero},
        // Row 12 has the module form: 11 Mac characters become 13.
        NameCase{"effect_module_form", false, "Camera Blur", "CameraBlur.so"},
        NameCase{"effect_module_form_c", true, "Camera Blur", "CameraBlur.so"},
        // Row 7 has the built-in form: 20 Mac characters become 18.
        NameCase{"effect_builtin_form", false, "Black & White [Mono]", "Black_n_White_Mono"},
        NameCase{"effect_builtin_form_c", true, "Black & White [Mono]", "Black_n_White_Mono"},
        NameCase{"first_effect_row", false, "Additive Dissolve", "Additive_Dissolve"},
        NameCase{"last_effect_row", false, "Zoom Boxes", "Zoom_Boxes"},
        NameCase{"not_found_marker_row", false, "NOT FOUND", "NOT FOUND"},
        NameCase{"not_found_marker_row_c", true, "NOT FOUND", "NOT_FOUND"},
        NameCase{"sentinel_row", false, "SENTINEL", "SENTINEL"},
        NameCase{"effect_other_case", false, "camera blur", "camera blur"},
        NameCase{"effect_prefix", false, "Camera Blu", "Camera Blu"},
        NameCase{"effect_then_zero_byte", false, effect_and_zero, effect_and_zero},
        NameCase{"empty", true, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileItems, EveryEffectRowGivesItsSgiRow) {
    // One file per effect row, in one entry; ids are the rows.
    Bytes in, want;
    in.be16(kLastEffectRow);
    want.be16(kLastEffectRow);
    for (int row = kFirstEffectRow; row <= kLastEffectRow; ++row) {
        const MacFile f{int16_t(row), "VFlt", "Plug-ins", mac_effect_names[row]};
        in.add(mac_file(f));
        want.add(sgi_file(f, sgi_effect_names[row], true));
    }
    EXPECT_EQ(convert_one("FILE", "FILE", in), want.v);
}

struct MarkerCase {
    const char* name;
    const char* type;
    bool mac1;
};

class Markers : public testing::TestWithParam<MarkerCase> {};

TEST_P(Markers, FollowTheFileType) {
    const MacFile f{3, GetParam().type, "Disk", "clip.mov"};
    Bytes want;
    want.be16(1).add(sgi_file(f, "clip.mov", GetParam().mac1));
    EXPECT_EQ(convert_one("FILE", "FILE", file_entry({f})), want.v);
}

INSTANTIATE_TEST_SUITE_P(
    FileItems, Markers,
    testing::Values(MarkerCase{"QZFM", "QZFM", true}, MarkerCase{"AFlt", "AFlt", true},
                    MarkerCase{"SPFW", "SPFW", true}, MarkerCase{"VFlt", "VFlt", true},
                    MarkerCase{"MooV", "MooV", false}, MarkerCase{"lower_vflt", "vflt", false},
                    MarkerCase{"AFl_blank", "AFl ", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileItems, ItemSizeIs26PlusBothNames) {
    const MacFile f{9, "AIFF", "abc", "de"};
    EXPECT_EQ(convert_one("FILE", "FILE", file_entry({f})).size(), 2u + 26 + 3 + 2);
}

TEST(FileItems, DuplicateIdWritesTheLaterRecordAtBothPlaces) {
    const MacFile first{5, "MooV", "Disk", "old.mov"};
    const MacFile other{6, "AIFF", "Disk", "sound.aif"};
    const MacFile later{5, "VFlt", "Plug-ins", "Cross Dissolve"};
    Bytes want;
    want.be16(3);
    want.add(sgi_file(later, "Cross_Dissolve", true));
    want.add(sgi_file(other, "sound.aif", false));
    want.add(sgi_file(later, "Cross_Dissolve", true));
    EXPECT_EQ(convert_one("FILE", "FILE", file_entry({first, other, later})), want.v);
}

TEST(FileItems, CountZeroOrNegativeGivesTheCountOnly) {
    EXPECT_EQ(convert_one("FILE", "FILE", Bytes().be16(0).fill(30, 0xEE)), Bytes().be16(0).v);
    EXPECT_EQ(convert_one("FILE", "FILE", Bytes().be16(-3).fill(30, 0xEE)), Bytes().be16(-3).v);
}

TEST(FileItems, FileIdZeroIsWrittenLikeAnyOther) {
    const MacFile zero{0, "MooV", "Disk", "zero.mov"};
    const MacFile minus{-1, "SPFW", "Disk", "Emboss"};
    Bytes want;
    want.be16(2).add(sgi_file(zero, "zero.mov", false)).add(sgi_file(minus, "Emboss.so", true));
    EXPECT_EQ(convert_one("FILE", "FILE", file_entry({zero, minus})), want.v);
}

// Later 'FILE' entries are written from the first one's table, never from their
// own bytes, and never with more items than the table holds.
TEST(FileItems, LaterEntriesAreWrittenFromTheFirst) {
    const MacFile a{1, "MooV", "Disk", "a.mov"};
    const MacFile b{2, "AIFF", "Disk", "b & c.aif"};
    Project p;
    p.add("LOCK", "LOCK", Bytes().be16(1).u8(9));
    p.add("FILE", "FIL1", file_entry({a, b}));
    p.add("FILE", "MORE", Bytes().be16(5)); // counts 5, holds nothing
    p.add("FILE", "LESS", Bytes().be16(1).fill(3, 0xEE));
    p.add("FILE", "NONE", Bytes().be16(0));
    const Bytes both =
        Bytes().be16(2).add(sgi_file(a, "a.mov", false)).add(sgi_file(b, "b & c.aif", false));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(entry_data(c.out, 1), both.v);
    EXPECT_EQ(entry_data(c.out, 2), both.v) << "more than the table holds: the table's items";
    EXPECT_EQ(entry_data(c.out, 3), Bytes().be16(1).add(sgi_file(a, "a.mov", false)).v);
    EXPECT_EQ(entry_data(c.out, 4), Bytes().be16(0).v);
}

TEST(FileItems, TableComesFromTheFirstFileEntryEvenWhenItsDataLieLast) {
    const MacFile a{1, "MooV", "Disk", "first.mov"};
    const MacFile z{2, "MooV", "Disk", "second.mov"};
    Project p;
    p.add("FILE", "ONE", file_entry({a}));
    p.add("FILE", "TWO", file_entry({z}));
    p.data_order = {1, 0};
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    const Bytes want = Bytes().be16(1).add(sgi_file(a, "first.mov", false));
    EXPECT_EQ(entry_data(c.out, 0), want.v);
    EXPECT_EQ(entry_data(c.out, 1), want.v);
}

TEST(FileItems, LaterFileEntryWithoutFirstTableGivesNoItems) {
    // The first 'FILE' entry lists nothing, so a later one has nothing to write.
    Project p;
    p.add("FILE", "ONE", Bytes().be16(0));
    p.add("FILE", "TWO", file_entry({MacFile{1, "MooV", "Disk", "x"}}));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(entry_data(c.out, 1), Bytes().be16(0).v);
}

TEST(FileItems, ManyFilesAllWritten) {
    // More files than a new table's 179-entry growth threshold.
    Bytes in, want;
    in.be16(400);
    want.be16(400);
    for (int i = 0; i < 400; ++i) {
        const MacFile f{int16_t(i * 37 - 5000), "MooV", "Disk", std::to_string(i).append(".mov")};
        in.add(mac_file(f));
        want.add(sgi_file(f, f.name2, false));
    }
    EXPECT_EQ(convert_one("FILE", "FILE", in), want.v);
}

// Ids j and j - 32768 share a slot of the file table at every size it grows to (the
// low 31 bits of the sign-extended id, 0x7FFF8000 + j, are j modulo 257 * 2^k), so
// half of these lookups walk past the other half. Every file is still found, in
// every 'FILE' entry, each with its own record.
TEST(FileItems, IdsSharingTableSlotsAreEachWrittenFromTheirOwnRecord) {
    constexpr int kPairs = 3000;
    Bytes in, want;
    in.be16(2 * kPairs);
    want.be16(2 * kPairs);
    for (int j = 1; j <= kPairs; ++j) {
        for (const int id : {j, j - 32768}) {
            const MacFile f{int16_t(id), "MooV", "Disk", std::to_string(id)};
            in.add(mac_file(f));
            want.add(sgi_file(f, f.name2, false));
        }
    }
    Project p;
    for (const char* id : {"ONE", "TWO", "THRE"}) p.add("FILE", id, in);
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(entry_data(c.out, i), want.v) << "entry " << i;
}

} // namespace
