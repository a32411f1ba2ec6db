// The file table built from the first 'FILE' entry: one record per file, found by
// file id, each knowing its effect position.

#include "driver.h"
#include "effect_names.h"
#include "file_support.h"
#include "file_table.h"
#include "hash_table.h"
#include "output.h"

#include <cstring>

using kit::Bytes;
using kit::Project;

namespace {

// Header and directory copied, then the table built, as the driver does before its
// walk; the table is freed with the fixture.
struct BuiltTable {
    std::vector<uint8_t> in;
    MemoryOutput out;
    DriverState st;
    DirectoryState dir;

    explicit BuiltTable(const Project& p) : in(p.build()) {
        st.in_base = in.data();
        st.in_size = in.size();
        st.out = &out.window;
        realign_header(st);
        realign_dir_entries(dir, st);
        st.file_table = _MakeHashTable(2);
        create_file_table(dir, st);
    }
    ~BuiltTable() { free_file_table(st); }
    BuiltTable(const BuiltTable&) = delete;
    BuiltTable& operator=(const BuiltTable&) = delete;
};

Project with_files(Bytes file_data) {
    Project p;
    p.add("LOCK", "LOCK", Bytes().be16(0));
    p.add("FILE", "FILE", std::move(file_data));
    return p;
}

TEST(FileTable, NoFileEntryGivesAnEmptyTable) {
    Project p;
    p.add("LOCK", "LOCK", Bytes().be16(2).raw({1, 2}));
    p.add("TMAP", "TMAP", Bytes().be16(0));
    BuiltTable t(p);
    EXPECT_TRUE(input_ok(t.st));
    EXPECT_TRUE(t.st.file_ids.empty());
    EXPECT_EQ(t.st.file_count, 0);
    EXPECT_EQ(find_file(t.st, 1), nullptr);
    EXPECT_EQ(find_file(t.st, 0), nullptr);
    EXPECT_EQ(convert(p).status, 0);
}

TEST(FileTable, NoEntriesAtAllGiveAnEmptyTable) {
    BuiltTable t{Project{}};
    EXPECT_TRUE(input_ok(t.st));
    EXPECT_TRUE(t.st.file_ids.empty());
}

TEST(FileTable, RecordsHoldTheFieldsAsRead) {
    const MacFile media{21, "MooV", "Media HD", "Take & Two.mov"};
    const MacFile effect{22, "QZFM", "Plug-ins", "Camera Blur"};
    BuiltTable t(with_files(file_entry({media, effect})));
    ASSERT_TRUE(input_ok(t.st));
    EXPECT_EQ(t.st.file_count, 2);
    EXPECT_EQ(t.st.file_ids, (std::vector<int16_t>{21, 22}));

    const FileRecord* m = find_file(t.st, 21);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->file_id, 21);
    EXPECT_EQ(std::vector<uint8_t>(m->file_info, m->file_info + 12), file_info(21).v);
    EXPECT_EQ(m->file_type, fourcc("MooV"));
    EXPECT_EQ(m->name1_len, 8);
    EXPECT_EQ(m->name1, "Media HD");
    EXPECT_EQ(m->name2, "Take & Two.mov");
    EXPECT_EQ(m->name2_sgi, "Take & Two.mov");
    EXPECT_EQ(m->name2_len, 14);
    EXPECT_EQ(m->effect_position, -1);

    const FileRecord* e = find_file(t.st, 22);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name2, "Camera Blur");
    EXPECT_EQ(e->effect_position, 12);
    EXPECT_EQ(e->name2_sgi, "CameraBlur.so");
    EXPECT_EQ(e->name2_len, 13);
    EXPECT_EQ(find_file(t.st, 23), nullptr);
}

TEST(FileTable, ConvertedNamesUnderOptionC) {
    ConvertFileNames c;
    const MacFile media{4, "MooV", "My Disk & Co", "Take & Two.mov"};
    BuiltTable t(with_files(file_entry({media})));
    const FileRecord* m = find_file(t.st, 4);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->name1, "My Disk & Co");
    EXPECT_EQ(m->name2, "Take & Two.mov");
    EXPECT_EQ(m->name2_sgi, "Take_n_Two.mov");
    EXPECT_EQ(m->name2_len, 14);
}

TEST(FileTable, DuplicateIdKeepsTheLaterRecord) {
    const MacFile first{5, "MooV", "Disk", "old.mov"};
    const MacFile later{5, "AIFF", "Disk", "new.aif"};
    BuiltTable t(with_files(file_entry({first, later})));
    EXPECT_EQ(t.st.file_ids, (std::vector<int16_t>{5, 5}));
    const FileRecord* r = find_file(t.st, 5);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name2, "new.aif");
}

TEST(FileTable, IdZeroAndNegativeIdsAreFound) {
    const MacFile zero{0, "MooV", "Disk", "zero.mov"};
    const MacFile minus{-1, "MooV", "Disk", "minus.mov"};
    const MacFile lowest{-32768, "MooV", "Disk", "lowest.mov"};
    BuiltTable t(with_files(file_entry({zero, minus, lowest})));
    ASSERT_NE(find_file(t.st, 0), nullptr);
    EXPECT_EQ(find_file(t.st, 0)->name2, "zero.mov");
    ASSERT_NE(find_file(t.st, -1), nullptr);
    EXPECT_EQ(find_file(t.st, -1)->name2, "minus.mov");
    ASSERT_NE(find_file(t.st, -32768), nullptr);
    EXPECT_EQ(find_file(t.st, -32768)->name2, "lowest.mov");
    EXPECT_EQ(find_file(t.st, 1), nullptr);
}

TEST(FileTable, NonPositiveCountGivesNoRecords) {
    BuiltTable t(with_files(Bytes().be16(-2).add(mac_file({1, "MooV", "a", "b"}))));
    EXPECT_EQ(t.st.file_count, -2);
    EXPECT_TRUE(t.st.file_ids.empty());
    EXPECT_EQ(find_file(t.st, 1), nullptr);
}

TEST(FileTable, GrowsPastItsFirstSize) {
    Bytes in;
    in.be16(600);
    for (int i = 1; i <= 600; ++i) in.add(mac_file({int16_t(i), "MooV", "d", std::to_string(i)}));
    BuiltTable t(with_files(in));
    ASSERT_EQ(t.st.file_ids.size(), 600u);
    for (int i = 1; i <= 600; ++i) {
        const FileRecord* r = find_file(t.st, int16_t(i));
        ASSERT_NE(r, nullptr) << i;
        EXPECT_EQ(r->name2, std::to_string(i));
    }
}

TEST(FileTable, FreeLeavesNothingBehind) {
    BuiltTable t(with_files(file_entry({{1, "MooV", "a", "b"}})));
    free_file_table(t.st);
    EXPECT_EQ(t.st.file_table, nullptr);
    EXPECT_TRUE(t.st.file_ids.empty());
    EXPECT_EQ(t.st.file_count, 0);
    EXPECT_EQ(find_file(t.st, 1), nullptr);
    free_file_table(t.st); // twice is harmless
}

TEST(EffectPosition, EveryRowIsFoundAtItsPosition) {
    for (int row = kFirstEffectRow; row <= kLastEffectRow; ++row) {
        FileRecord r;
        r.name2 = mac_effect_names[row];
        EXPECT_EQ(find_effect_position(r), row) << mac_effect_names[row];
    }
}

TEST(EffectPosition, MarkerRowsAndNearMissesAreNotEffects) {
    for (const std::string name : {"NOT FOUND", "SENTINEL", "", "Blur ", " Blur", "BLUR", "Blu",
                                   "CameraBlur.so", "Black_n_White_Mono"}) {
        FileRecord r;
        r.name2 = name;
        EXPECT_EQ(find_effect_position(r), -1) << name;
    }
    FileRecord r;
    r.name2 = std::string("Blur\0", 5);
    EXPECT_EQ(find_effect_position(r), -1) << "a zero byte is part of the name";
}

} // namespace
