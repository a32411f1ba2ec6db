// File, clip, file data and preference entries whose counts or lengths reach past
// the input are refused with one line naming the entry and the input offset, and
// nothing is produced. The file table is read before the walk, so its faults name
// the 'FILE' entry as well.

#include "file_support.h"

#include <algorithm>

using kit::Bytes;
using kit::Project;

namespace {

// Input offset of entry i's data when entries are laid out in order after the directory.
size_t data_offset(const Project& p, size_t i) {
    size_t at = 0x14 + 32 * p.entries.size();
    for (size_t k = 0; k < i; ++k) at += p.entries[k].data.size();
    return at;
}

Project second(const char* type, const char* id, Bytes data) {
    Project p;
    p.add("LOCK", "OK01", Bytes().be16(1).u8(0x55));
    p.add(type, id, std::move(data));
    return p;
}

// The whole line for a fault in entry 1, `past_data` bytes into its data.
std::string at_entry1(const Project& p, size_t past_data, size_t short_by) {
    return "projconv: entry 1 (type '" + std::string(p.entries[1].type) + "', id '" +
           std::string(p.entries[1].id) + "'), input offset " +
           std::to_string(data_offset(p, 1) + past_data) + ": the input ends " +
           std::to_string(short_by) + " bytes short of what its counts and lengths say\n";
}

struct BadCase {
    const char* name;
    Project project;
    size_t past_data; // where reading stopped, from the start of entry 1's data
    size_t short_by;
    friend void PrintTo(const BadCase& b, std::ostream* os) { *os << b.name; }
};

const MacFile kFile{1, "MooV", "a", "b"}; // 22 bytes in the Mac layout

std::vector<BadCase> cases() {
    std::vector<BadCase> v;
    // Two files counted, one there: the second record's 18-byte head is missing.
    v.push_back({"file_count_beyond_input",
                 second("FILE", "FL01", file_entry({kFile}).add(Bytes())), 2 + 22, 18});
    v.back().project.entries[1].data.v[1] = 2;
    v.push_back({"file_name_beyond_input",
                 second("FILE", "FL02", Bytes().be16(1).be16(1).fill(16).u8(200).text("abc")),
                 2 + 18 + 1, 197});
    v.push_back({"file_second_name_cut",
                 second("FILE", "FL03", Bytes().be16(1).be16(1).fill(16).name("ab").u8(9)),
                 2 + 18 + 3 + 1, 9});
    v.push_back({"file_count_cut", second("FILE", "FL04", Bytes().u8(0)), 0, 1});
    v.push_back(
        {"clip_record_cut", second("CLIP", "CL01", Bytes().be16(2).fill(94 + 10)), 2 + 94, 84});
    v.push_back(
        {"clpt_count_beyond_input", second("CLPT", "CT01", Bytes().be16(3).fill(34)), 2 + 34, 34});
    v.push_back({"clpm_length_beyond_input",
                 second("CLPM", "CM01", Bytes().be16(1).be16(1).be32(1000).fill(5)), 2 + 6, 995});
    v.push_back({"clpm_length_huge",
                 second("CLPM", "CM02", Bytes().be16(2).be16(1).be32(0x7FFFFFFF)), 2 + 6,
                 0x7FFFFFFF});
    v.push_back(
        {"clpm_head_cut", second("CLPM", "CM03", Bytes().be16(1).be16(1).be16(0)), 2, 6 - 4});
    v.push_back({"clpa_record_cut", second("CLPA", "CA01", Bytes().be16(1).fill(4)), 2, 2});
    v.push_back({"fdat_record_cut", second("FDAT", "FD01", Bytes().be16(1).fill(300)), 2, 48});
    v.push_back({"comq_record_cut", second("PREF", "COMQ", Bytes().be32(104).fill(50)), 4, 54});
    v.push_back({"comp_record_missing", second("PREF", "COMP", Bytes().be32(134)), 4, 134});
    v.push_back({"proj_prefs_cut", second("PREF", "PROJ", Bytes().be32(34).fill(33)), 4, 1});
    return v;
}

class BadEntries : public testing::TestWithParam<BadCase> {};

TEST_P(BadEntries, RefusedWithOneLine) {
    const BadCase& b = GetParam();
    Conversion c = convert(b.project);
    EXPECT_EQ(c.status, -1);
    EXPECT_TRUE(c.out.empty());
    EXPECT_EQ(c.diag, at_entry1(b.project, b.past_data, b.short_by));
}

INSTANTIATE_TEST_SUITE_P(FileEntries, BadEntries, testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BadEntries, DamagedFirstFileEntryStopsBeforeAnyEntryIsConverted) {
    // The 'FILE' entry comes last in the directory, but its table is read first:
    // the fault names it even though the entries before it are sound.
    Project p;
    p.add("CLIP", "CL01", Bytes().be16(0));
    p.add("LOCK", "LK01", Bytes().be16(0));
    p.add("FILE", "FL01", Bytes().be16(1).be16(7));
    Conversion c = convert(p);
    EXPECT_EQ(c.status, -1);
    EXPECT_TRUE(c.out.empty());
    EXPECT_EQ(c.diag, "projconv: entry 2 (type 'FILE', id 'FL01'), input offset " +
                          std::to_string(data_offset(p, 2) + 2) +
                          ": the input ends 16 bytes short of what its counts and lengths say\n");
}

TEST(BadEntries, LaterFileEntryBytesAreNeverRead) {
    // Written from the first entry's table: a later entry's own bytes do not matter,
    // even when they are cut short.
    Project p;
    p.add("FILE", "FL01", file_entry({kFile}));
    p.add("FILE", "FL02", Bytes().be16(9));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(entry_data(c.out, 1), Bytes().be16(1).add(sgi_file(kFile, "b", false)).v);
}

// Every cut of a well-formed project either converts or is refused cleanly.
TEST(BadEntries, EveryTruncationIsHandled) {
    Project p;
    p.add("CLIP", "C", Bytes().be16(1).pattern(94, 1));
    p.add("CLPM", "M", Bytes().be16(2).be16(1).be32(2).raw({1, 2}).be16(2).be32(-1));
    p.add("CLPT", "T", Bytes().be16(1).fill(34, 3));
    p.add("CLPA", "A", Bytes().be16(1).fill(6, 4));
    p.add("FDAT", "D", Bytes().be16(1).pattern(348, 5));
    p.add("PREF", "COMP", Bytes().be32(134).pattern(134, 6));
    p.add("PREF", "COMQ", Bytes().be32(104).pattern(104, 7));
    p.add("PREF", "PROJ", Bytes().be32(34).pattern(34, 8));
    p.add("FILE", "F", file_entry({kFile, {2, "VFlt", "fx", "Blur"}}));
    const std::vector<uint8_t> whole = p.build();
    ASSERT_EQ(convert(whole).status, 0);
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
        Conversion c = convert(cut);
        EXPECT_EQ(c.status, -1) << "cut at " << n;
        EXPECT_TRUE(c.out.empty());
        EXPECT_EQ(std::count(c.diag.begin(), c.diag.end(), '\n'), 1) << c.diag;
    }
}

// The converter runs many times in one process (the fuzzer does): each run frees its
// file table, whatever way it ends. The sanitizer tree's leak check watches this.
TEST(BadEntries, RepeatedRunsReleaseTheirTables) {
    Project good;
    good.add("FILE", "F", file_entry({kFile, {1, "MooV", "dup", "dup"}, {0, "AFlt", "z", "Glow"}}));
    Project bad = good;
    bad.add("FILE", "G", Bytes());
    bad.entries[0].data.v.resize(bad.entries[0].data.size() - 1);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(convert(good).status, 0);
        EXPECT_EQ(convert(bad).status, -1);
    }
}

} // namespace
