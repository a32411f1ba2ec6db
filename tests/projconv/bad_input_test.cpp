// Damaged projects are refused with one line that names the entry and the input
// offset, never read or written outside the two buffers (the sanitizer tree runs
// these too), and nothing is produced.

#include "convert_support.h"

#include <functional>
#include <gtest/gtest.h>

using kit::Bytes;
using kit::Project;

namespace {

// Input offset of entry i's data when entries are laid out in order after the directory.
size_t data_offset(const Project& p, size_t i) {
    size_t at = 0x14 + 32 * p.entries.size() + p.gap;
    for (size_t k = 0; k < i; ++k) at += p.entries[k].data.size();
    return at;
}

struct BadCase {
    const char* name;
    std::function<std::vector<uint8_t>()> input;
    std::string line; // the whole expected message line
    friend void PrintTo(const BadCase& b, std::ostream* os) { *os << b.name; }
};

Project one(const char* type, const char* id, Bytes data) {
    Project p;
    p.add("LOCK", "OK01", Bytes().be16(1).u8(0x55));
    p.add(type, id, std::move(data));
    return p;
}

std::string at_entry1(const Project& p, size_t past_data, const std::string& what) {
    return "projconv: entry 1 (type '" + std::string(p.entries[1].type) + "', id '" +
           std::string(p.entries[1].id) + "'), input offset " +
           std::to_string(data_offset(p, 1) + past_data) + ": " + what + "\n";
}

std::string short_by(size_t n) {
    return "the input ends " + std::to_string(n) +
           " bytes short of what its counts and lengths say";
}

Bytes nested_chain(int depth) {
    Bytes in;
    in.be16(1);
    for (int i = 0; i < depth; ++i) {
        in.be16(0).be16(0x8000).be16(1).fill(34); // long record, nesting word 1
        in.be32(0).be32(0).be16(1);               // L1 = 0, L2 = 0, one nested record
    }
    in.be16(0).be16(0).fill(10).be32(0); // a short record ends the chain
    return in;
}

std::vector<BadCase> cases() {
    std::vector<BadCase> v;
    v.push_back({"too_short_for_header",
                 [] {
                     return std::vector<uint8_t>{'M', 'A', 'C'};
                 },
                 "projconv: header or directory, input offset 0: the input is too short for a "
                 "project header\n"});
    v.push_back({"negative_count",
                 [] {
                     Project p;
                     p.entry_count = -1;
                     return p.build();
                 },
                 "projconv: header or directory, input offset 16: the entry count -1 is "
                 "negative\n"});
    v.push_back({"directory_past_input",
                 [] {
                     Project p;
                     p.add("LOCK", "A", Bytes().be16(0));
                     p.entry_count = 3;
                     return p.build();
                 },
                 "projconv: header or directory, input offset 20: a directory of 3 entries runs "
                 "past the end of the input\n"});
    v.push_back({"offset_inside_directory",
                 [] {
                     Project p = one("LOCK", "BAD1", Bytes().be16(0));
                     p.entries[1].offset = 0x20;
                     return p.build();
                 },
                 "projconv: entry 1 (type 'LOCK', id 'BAD1'), input offset 60: its data offset 32 "
                 "lies inside the header or directory\n"});
    v.push_back({"offset_past_input",
                 [] {
                     Project p = one("LOCK", "BAD2", Bytes().be16(0));
                     std::vector<uint8_t> in = p.build();
                     in[0x14 + 32 + 8] = 0x7F; // offset 0x7F0000xx
                     return in;
                 },
                 ""});
    {
        Project p = one("LOCK", "LK01", Bytes().be16(10).raw({1, 2, 3}));
        v.push_back(
            {"lock_longer_than_input", [p] { return p.build(); }, at_entry1(p, 2, short_by(7))});
    }
    {
        Project p = one("LINK", "LN01", Bytes().be32(0x7FFFFFFF).raw({1}));
        v.push_back({"link_length_huge", [p] { return p.build(); },
                     at_entry1(p, 4, short_by(0x7FFFFFFF - 1))});
    }
    {
        Project p = one("TEMP", "TP01", Bytes().be16(100).fill(10));
        v.push_back({"template_count_beyond_input", [p] { return p.build(); },
                     at_entry1(p, 12, short_by(10))});
    }
    {
        Project p = one("PROJ", "PJ01", Bytes().be16(1).be16(0).be16(0x8000).fill(20));
        v.push_back(
            {"project_record_cut", [p] { return p.build(); }, at_entry1(p, 2, short_by(16))});
    }
    {
        Project p = one("PROJ", "PJ02", Bytes().be16(1).add(Bytes().fill(14)).be32(1000).fill(3));
        v.push_back(
            {"project_run_cut", [p] { return p.build(); }, at_entry1(p, 20, short_by(997))});
    }
    {
        Project p = one("WIND", "VIEW", Bytes().fill(8));
        v.push_back({"window_cut", [p] { return p.build(); }, at_entry1(p, 0, short_by(2))});
    }
    {
        Project p = one("TMAP", "TM01", Bytes().u8(0));
        v.push_back({"prefix_cut", [p] { return p.build(); },
                     at_entry1(p, 0, "the input ends inside the entry's prefix")});
    }
    {
        Project p = one("PROJ", "DEEP", nested_chain(5000));
        v.push_back({"nesting_too_deep", [p] { return p.build(); }, ""});
    }
    return v;
}

class BadInput : public testing::TestWithParam<BadCase> {};

TEST_P(BadInput, RefusedWithOneLine) {
    const BadCase& b = GetParam();
    Conversion c = convert(b.input());
    EXPECT_EQ(c.status, -1);
    EXPECT_TRUE(c.out.empty());
    ASSERT_FALSE(c.diag.empty());
    EXPECT_EQ(c.diag.back(), '\n');
    EXPECT_EQ(c.diag.find('\n'), c.diag.size() - 1) << "more than one line: " << c.diag;
    if (!b.line.empty()) {
        EXPECT_EQ(c.diag, b.line);
    }
}

INSTANTIATE_TEST_SUITE_P(Driver, BadInput, testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BadInput, OffsetPastInputNamesTheEntry) {
    Project p = one("LOCK", "BAD2", Bytes().be16(0));
    std::vector<uint8_t> in = p.build();
    in[0x14 + 32 + 8] = 0x7F;
    Conversion c = convert(in);
    EXPECT_EQ(c.status, -1);
    EXPECT_NE(c.diag.find("entry 1 (type 'LOCK', id 'BAD2'), input offset 60: its data offset "),
              std::string::npos)
        << c.diag;
    EXPECT_NE(c.diag.find("lies past the end of the input"), std::string::npos) << c.diag;
}

TEST(BadInput, DeepNestingRefusedButModerateNestingConverts) {
    EXPECT_EQ(convert(one("PROJ", "OKAY", nested_chain(200))).status, 0);
    Conversion c = convert(one("PROJ", "DEEP", nested_chain(5000)));
    EXPECT_EQ(c.status, -1);
    EXPECT_NE(c.diag.find("nest deeper than"), std::string::npos) << c.diag;
}

TEST(BadInput, BinaryCodesShowEscaped) {
    Project p = one("LOCK", "ID01", Bytes().be16(9));
    std::vector<uint8_t> in = p.build();
    in[0x14 + 32 + 4] = 0x01; // the id's first byte
    Conversion c = convert(in);
    EXPECT_NE(c.diag.find("id '\\x01D01'"), std::string::npos) << c.diag;
}

// Every cut of a well-formed project either converts or is refused cleanly.
TEST(BadInput, EveryTruncationIsHandled) {
    Project p;
    Bytes tree;
    tree.be16(1).be16(1).be16(0x8000).be16(1).fill(34).run(Bytes().raw({1, 2}));
    tree.run(Bytes().raw({3})).be16(1).be16(2).be16(0).fill(10).run(Bytes().raw({4}));
    p.add("PROJ", "P", tree);
    p.add("TEMP", "T", Bytes().be16(1).fill(10, 0x11));
    p.add("LINK", "L", Bytes().be32(3).raw({1, 2, 3}));
    p.add("WIND", "STAT", Bytes().pattern(10, 1));
    p.add("TMAP", "M", Bytes().be16(1).raw({7, 8}));
    const std::vector<uint8_t> whole = p.build();
    ASSERT_EQ(convert(whole).status, 0);
    for (size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
        Conversion c = convert(cut);
        EXPECT_EQ(c.status, -1) << "cut at " << n;
        EXPECT_EQ(std::count(c.diag.begin(), c.diag.end(), '\n'), 1) << c.diag;
    }
}

} // namespace
