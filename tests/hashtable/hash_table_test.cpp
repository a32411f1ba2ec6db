#include "hash_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

uintptr_t word(const void* p) {
    return reinterpret_cast<uintptr_t>(p);
}
uintptr_t word(const std::string& s) {
    return reinterpret_cast<uintptr_t>(s.c_str());
}
const char* text(uintptr_t w) {
    return reinterpret_cast<const char*>(w);
}

// Messages print addresses as the signed decimal of their low 32 bits.
std::string shown(const void* p) {
    return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(word(p))));
}

struct Table {
    HashTable* t;
    explicit Table(int type) : t(_MakeHashTable(type)) {}
    ~Table() { freeHashTable(t); }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    HashTable* operator->() const { return t; }
    operator HashTable*() const { return t; }
};

// Index of the slot holding key k in a word table, or -1.
int slot_of(HashTable* t, uintptr_t k) {
    for (int i = 0; i < t->size; ++i)
        if (t->slots[i].key == k) return i;
    return -1;
}

int used_slots(HashTable* t) {
    int n = 0;
    for (int i = 0; i < t->size; ++i) n += t->slots[i].key != 0;
    return n;
}

// ---------------------------------------------------------------- helpers

TEST(HashString, MultipliesBy257PerByte) {
    EXPECT_EQ(hash_string(""), 0u);
    EXPECT_EQ(hash_string("A"), 65u);
    EXPECT_EQ(hash_string("AB"), 16771u); // 65 * 257 + 66
    EXPECT_EQ(hash_string("\xff"), 255u); // bytes count as 0..255
    // 65*257^4 + 66*257^3 + 67*257^2 + 68*257 + 69 = 284685342031, mod 2^32:
    EXPECT_EQ(hash_string("ABCDE"), 1217500495u);
}

TEST(UpcaseCopy, CopiesUpToNCharacters) {
    struct Case {
        const char* src;
        std::size_t n;
        int result;
        const char* written; // what dst starts with afterwards
        std::size_t written_len;
    };
    const Case cases[] = {
        {"abc", 4, 1, "ABC\0", 4}, // ends within n: terminator copied
        {"abc", 10, 1, "ABC\0", 4},
        {"abc", 3, 0, "ABC", 3}, // n reached: no terminator
        {"abc", 2, 0, "AB", 2},
        {"abc", 0, 0, "", 0}, // nothing written
        {"", 1, 1, "\0", 1},
        {"", 0, 0, "", 0},
        {"a1-z{`@[\xe9", 20, 1, "A1-Z{`@[\xe9\0", 10}, // only a..z change
    };
    for (const Case& c : cases) {
        char dst[32];
        std::memset(dst, '#', sizeof dst);
        EXPECT_EQ(upcase_copy(c.src, dst, c.n), c.result) << c.src << " n=" << c.n;
        EXPECT_EQ(std::memcmp(dst, c.written, c.written_len), 0) << c.src << " n=" << c.n;
        EXPECT_EQ(dst[c.written_len], '#') << "wrote past its bytes: " << c.src << " n=" << c.n;
    }
}

// ---------------------------------------------------------------- creation and growth

TEST(HashTableCreate, StartsWith257EmptySlots) {
    for (int type = 0; type <= 5; ++type) {
        testing::internal::CaptureStdout();
        Table t(type);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(t->type, type);
        EXPECT_EQ(t->size, 257);
        EXPECT_EQ(t->count, 0);
        EXPECT_EQ(t->limit, 179);
        EXPECT_EQ(used_slots(t), 0);
    }
}

TEST(HashTableCreate, UnknownTypeIsReportedAndOnlyTheFirstSlotIsUsed) {
    testing::internal::CaptureStdout();
    Table t(7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "7 is not of type enum HashTableType");
    EXPECT_EQ(t->size, 257);
    EXPECT_EQ(t->type, 7);

    testing::internal::CaptureStdout();
    _PutHashii(3, t, 30);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Hash table of unknown type 7");
    EXPECT_EQ(t->slots[0].key, 3u);
    EXPECT_EQ(t->slots[0].value, 30u);

    testing::internal::CaptureStdout();
    EXPECT_EQ(_GetHashii(99, t), 30u); // every key lands on the first slot
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Hash table of unknown type 7");
}

TEST(HashTableCreate, NegativeTypeIsUnknownToo) {
    testing::internal::CaptureStdout();
    Table t(-1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "-1 is not of type enum HashTableType");
}

TEST(HashTableGrowth, DoublesOnTheInsertionThatBringsCountTo179) {
    Table t(2);
    for (uintptr_t k = 1; k <= 178; ++k) _PutHashii(k, t, k + 1000);
    EXPECT_EQ(t->size, 257);
    EXPECT_EQ(t->count, 178);

    _PutHashii(179, t, 1179);
    EXPECT_EQ(t->size, 514);
    EXPECT_EQ(t->limit, 359); // 514 * 0.7 = 359.8
    EXPECT_EQ(t->count, 179);
    for (uintptr_t k = 1; k <= 179; ++k) {
        EXPECT_EQ(_GetHashii(k, t), k + 1000);
        EXPECT_EQ(slot_of(t, k), static_cast<int>(k)); // re-placed by the new size
    }
}

// Keys for each kind of table, all distinct and never 0.
struct KeySet {
    std::vector<std::string> strings; // owned text of string keys
    std::vector<uintptr_t> keys;
};

KeySet make_keys(int type, int n) {
    KeySet ks;
    ks.strings.reserve(n);
    for (int i = 0; i < n; ++i) {
        switch (type) {
        case 0:
        case 3: ks.keys.push_back(0x7f0000001000u + 8u * i); break; // aligned addresses
        case 2:
        case 5: ks.keys.push_back(static_cast<uintptr_t>(i) * 7919u + 1u); break;
        default:
            ks.strings.push_back((i % 2 ? "Media File " : "media file ") + std::to_string(i));
            ks.keys.push_back(word(ks.strings.back()));
        }
    }
    return ks;
}

TEST(HashTableGrowth, ManyInsertionsStayFindableThroughSeveralDoublings) {
    // size doubles when count reaches limit = size * 0.7 truncated:
    // 257 (179), 514 (359), 1028 (719), 2056 (1439), 4112 (2878), 8224 (5756).
    const int grow_at[] = {179, 359, 719, 1439, 2878};
    for (int type = 0; type <= 5; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        Table t(type);
        const int n = 3000;
        KeySet ks = make_keys(type, n);
        int expected_size = 257;
        for (int i = 0; i < n; ++i) {
            _PutHashpp(ks.keys[i], t, 100000u + i);
            for (int at : grow_at)
                if (i + 1 == at) expected_size *= 2;
            ASSERT_EQ(t->size, expected_size) << "after " << i + 1 << " insertions";
        }
        EXPECT_EQ(t->size, 8224);
        EXPECT_EQ(t->limit, 5756);
        EXPECT_EQ(t->count, n);
        EXPECT_EQ(used_slots(t), n);
        for (int i = 0; i < n; ++i) ASSERT_EQ(_GetHashpp(ks.keys[i], t), 100000u + i) << i;
        const uintptr_t missing = (type == 1 || type == 4) ? word("no such file") : 0x5u;
        EXPECT_EQ(_GetHashpp(missing, t), 0u);
    }
}

// ---------------------------------------------------------------- word keys

TEST(HashTableWordKeys, CollidingKeysTakeConsecutiveSlots) {
    Table t(2);
    _PutHaship(5, t, 50);
    _PutHaship(5 + 257, t, 2620);
    _PutHaship(5 + 2 * 257, t, 5190);
    _PutHaship(6, t, 60); // its home slot is taken: it probes on to 8
    EXPECT_EQ(slot_of(t, 5), 5);
    EXPECT_EQ(slot_of(t, 5 + 257), 6);
    EXPECT_EQ(slot_of(t, 5 + 2 * 257), 7);
    EXPECT_EQ(slot_of(t, 6), 8);
    EXPECT_EQ(_GetHaship(5, t), 50u);
    EXPECT_EQ(_GetHaship(5 + 257, t), 2620u);
    EXPECT_EQ(_GetHaship(5 + 2 * 257, t), 5190u);
    EXPECT_EQ(_GetHaship(6, t), 60u);
    EXPECT_EQ(_GetHaship(5 + 3 * 257, t), 0u);
}

TEST(HashTableWordKeys, ProbingWrapsAroundTheEnd) {
    Table t(5);
    _PutHashii(256, t, 1);
    _PutHashii(256 + 257, t, 2);
    EXPECT_EQ(slot_of(t, 256), 256);
    EXPECT_EQ(slot_of(t, 256 + 257), 0);
    EXPECT_EQ(_GetHashii(256 + 257, t), 2u);
}

TEST(HashTableWordKeys, IndexComesFromTheLow32BitsOfTheKey) {
    struct Case {
        int type;
        uintptr_t key;
        int slot;
    };
    const Case cases[] = {
        {2, 0x80000005u, 5},  // low 31 bits
        {2, 0x100000005u, 5}, // high half ignored
        {5, 0x7fffffffu, 0x7fffffff % 257},
        {0, 40, 5}, // 40 >> 3
        {3, 40 + 8 * 257, 5},
        {0, 0x200000028u, 5},               // high half ignored
        {0, 0x80000000u, 0x70000000 % 257}, // arithmetic shift, then low 31 bits
        {3, 0xfffffff8u, 0x7fffffff % 257}, // -8 >> 3 = -1
    };
    for (const Case& c : cases) {
        Table t(c.type);
        _PutHashpi(c.key, t, 9);
        EXPECT_EQ(slot_of(t, c.key), c.slot) << std::hex << c.key;
        EXPECT_EQ(_GetHashpi(c.key, t), 9u);
    }
}

TEST(HashTableWordKeys, KeysEqualInTheirLowHalfStayDistinct) {
    Table t(0);
    const uintptr_t a = 0x100000028u, b = 0x200000028u;
    _PutHashpp(a, t, 1);
    _PutHashpp(b, t, 2);
    EXPECT_EQ(slot_of(t, a), 5);
    EXPECT_EQ(slot_of(t, b), 6);
    EXPECT_EQ(_GetHashpp(a, t), 1u);
    EXPECT_EQ(_GetHashpp(b, t), 2u);
    EXPECT_EQ(_GetHashKeyp(b, t), b);
}

TEST(HashTableWordKeys, ReplacingAValueKeepsTheCount) {
    Table t(2);
    _PutHaship(42, t, 1);
    _PutHaship(42, t, 2);
    EXPECT_EQ(t->count, 1);
    EXPECT_EQ(_GetHaship(42, t), 2u);
    EXPECT_EQ(used_slots(t), 1);
}

TEST(HashTableWordKeys, RemovedEntryIsGoneAfterGrowthButStillCounted) {
    Table t(2);
    _PutHashii(7, t, 70);
    _RemHashi(7, t);
    EXPECT_EQ(_GetHashii(7, t), 0u);
    EXPECT_EQ(_GetHashKeyp(7, t), 0u);
    EXPECT_EQ(t->count, 1);
    EXPECT_EQ(t->slots[7].key, 7u); // the key keeps its slot until growth
    EXPECT_EQ(t->slots[7].value, 0u);

    for (uintptr_t k = 1000; k < 1178; ++k) _PutHashii(k, t, k); // count reaches 179
    EXPECT_EQ(t->size, 514);
    EXPECT_EQ(t->count, 179);
    EXPECT_EQ(slot_of(t, 7), -1);
    EXPECT_EQ(used_slots(t), 178);
    EXPECT_EQ(_GetHashii(7, t), 0u);
    EXPECT_EQ(_GetHashii(1177, t), 1177u);
}

TEST(HashTableWordKeys, RemovedKeyCanBeStoredAgainWithoutCountingTwice) {
    Table t(2);
    _PutHashii(7, t, 70);
    _RemHashi(7, t);
    _PutHashii(7, t, 71);
    EXPECT_EQ(_GetHashii(7, t), 71u);
    EXPECT_EQ(t->count, 1);
}

TEST(HashTableWordKeys, ValueZeroLooksAbsentAndIsDroppedAtGrowth) {
    Table t(0);
    _PutHashpi(0x1000, t, 0);
    EXPECT_EQ(t->count, 1);
    EXPECT_EQ(_GetHashpi(0x1000, t), 0u);
    EXPECT_EQ(slot_of(t, 0x1000), 0x200 % 257);
    for (uintptr_t k = 1; k <= 178; ++k) _PutHashpi(0x100000 + 8 * k, t, k);
    EXPECT_EQ(t->size, 514);
    EXPECT_EQ(slot_of(t, 0x1000), -1);
    EXPECT_EQ(used_slots(t), 178);
}

TEST(HashTableWordKeys, KeyZeroIsRefused) {
    for (int type : {0, 2, 3, 5}) {
        Table t(type);
        testing::internal::CaptureStdout();
        _PutHashii(0, t, 5);
        _PutHaship(0, t, 5);
        EXPECT_EQ(_GetHashii(0, t), 0u);
        EXPECT_EQ(_GetHashKeyp(0, t), 0u);
        _RemHashi(0, t);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(t->count, 0) << "type " << type;
        EXPECT_EQ(used_slots(t), 0);
        // Neither does it disturb real keys.
        _PutHashii(257, t, 1);
        EXPECT_EQ(_GetHashii(0, t), 0u);
        EXPECT_EQ(_GetHashii(257, t), 1u);
    }
}

TEST(HashTableWordKeys, KeyLookupReturnsTheKeyItself) {
    Table t(3);
    int object = 0;
    _PutHashpp(word(&object), t, 1);
    EXPECT_EQ(_GetHashKeyp(word(&object), t), word(&object));
    EXPECT_EQ(_GetHashKeyp(word(&object) + 8, t), 0u);
}

// ---------------------------------------------------------------- string keys

TEST(HashTableStringKeys, KeysAreCaseInsensitiveAndStoredUpperCased) {
    for (int type : {1, 4}) {
        Table t(type);
        char key[] = "abc";
        _PutHashpp(word(key), t, 11);
        EXPECT_EQ(t->count, 1);
        char probe[] = "ABC";
        EXPECT_EQ(_GetHashpp(word(probe), t), 11u);
        EXPECT_EQ(_GetHashpi(word("aBc"), t), 11u);
        const uintptr_t stored = _GetHashKeyp(word("Abc"), t);
        ASSERT_NE(stored, 0u);
        EXPECT_NE(stored, word(key)); // the table's own copy
        EXPECT_STREQ(text(stored), "ABC");
        // hash_string is h * 257 + last byte, so modulo 257 only the last byte is
        // left: "ABC" starts at slot 'C' = 67.
        EXPECT_EQ(t->slots[67].key, stored);
        std::strcpy(key, "xyz"); // the caller's buffer is not referenced
        EXPECT_EQ(_GetHashpp(word("ABC"), t), 11u);
        EXPECT_EQ(_GetHashpp(word("xyz"), t), 0u);
        EXPECT_EQ(_GetHashpp(word("abcd"), t), 0u);
    }
}

TEST(HashTableStringKeys, EveryInsertionOwnsACopyOfItsKey) {
    // Integer-key insertions into a string table copy the key too: the table
    // releases every key it holds.
    Table t(1);
    char key[] = "Clip One";
    _PutHaship(word(key), t, 1);
    _PutHashii(word("clip two"), t, 2);
    std::strcpy(key, "xxxxxxx");
    EXPECT_EQ(_GetHaship(word("CLIP ONE"), t), 1u);
    EXPECT_EQ(_GetHashii(word("Clip Two"), t), 2u);
    EXPECT_STREQ(text(_GetHashKeyp(word("clip one"), t)), "CLIP ONE");
}

TEST(HashTableStringKeys, ReplacingAValueKeepsCountAndKey) {
    Table t(1);
    _PutHashpp(word("reel"), t, 1);
    const uintptr_t stored = _GetHashKeyp(word("REEL"), t);
    _PutHashpp(word("Reel"), t, 2);
    EXPECT_EQ(t->count, 1);
    EXPECT_EQ(_GetHashpp(word("reel"), t), 2u);
    EXPECT_EQ(_GetHashKeyp(word("reel"), t), stored);
    EXPECT_EQ(used_slots(t), 1);
}

TEST(HashTableStringKeys, RemovalThenGrowthReleasesTheKey) {
    Table t(4);
    _PutHashpp(word("gone"), t, 1);
    _RemHashp(word("GONE"), t);
    EXPECT_EQ(_GetHashpp(word("gone"), t), 0u);
    EXPECT_EQ(_GetHashKeyp(word("gone"), t), 0u);
    EXPECT_EQ(t->count, 1);
    EXPECT_EQ(used_slots(t), 1);
    std::vector<std::string> keys;
    for (int i = 0; i < 178; ++i) keys.push_back(std::string("k").append(std::to_string(i)));
    for (int i = 0; i < 178; ++i) _PutHashpp(word(keys[i]), t, i + 1);
    EXPECT_EQ(t->size, 514);
    EXPECT_EQ(t->count, 179);
    EXPECT_EQ(used_slots(t), 178); // the removed key was released, not moved
    EXPECT_EQ(_GetHashpp(word("gone"), t), 0u);
    EXPECT_EQ(_GetHashpp(word("K177"), t), 178u);
}

TEST(HashTableStringKeys, EmptyKeyIsReportedThenStoredAtSlotZero) {
    Table t(1);
    const char* empty = "";
    testing::internal::CaptureStdout();
    _PutHashpp(word(empty), t, 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Trying to hash non-string " + shown(empty) + " into table " + shown(t.t));
    EXPECT_EQ(t->count, 1);
    ASSERT_NE(t->slots[0].key, 0u);
    EXPECT_STREQ(text(t->slots[0].key), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(_GetHashpp(word(empty), t), 3u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Trying to hash non-string " + shown(empty) + " into table " + shown(t.t));
}

TEST(HashTableStringKeys, NullKeyIsReportedAndRefused) {
    for (int type : {1, 4}) {
        Table t(type);
        const std::string message = "Trying to hash non-string 0 into table " + shown(t.t);
        testing::internal::CaptureStdout();
        _PutHashpp(0, t, 5);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
        EXPECT_EQ(t->count, 0);
        EXPECT_EQ(used_slots(t), 0);
        testing::internal::CaptureStdout();
        EXPECT_EQ(_GetHashpp(0, t), 0u);
        EXPECT_EQ(_GetHashKeyp(0, t), 0u);
        _RemHashp(0, t);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), message + message + message);
    }
}

TEST(HashTableStringKeys, KeysOfAnyLengthWork) {
    Table t(1);
    for (std::size_t len : {1023u, 1024u, 1025u, 5000u}) {
        const std::string lower(len, 'q');
        const std::string upper(len, 'Q');
        _PutHashpp(word(lower), t, len);
        EXPECT_EQ(_GetHashpp(word(upper), t), len) << len;
        const uintptr_t stored = _GetHashKeyp(word(lower), t);
        ASSERT_NE(stored, 0u);
        EXPECT_EQ(std::string(text(stored)), upper);
    }
    EXPECT_EQ(t->count, 4);
    EXPECT_EQ(_GetHashpp(word(std::string(1026, 'q')), t), 0u);
}

TEST(HashTableStringKeys, NormalUseIsSilent) {
    testing::internal::CaptureStdout();
    {
        Table t(4);
        std::vector<std::string> keys;
        for (int i = 0; i < 400; ++i) keys.push_back("Name " + std::to_string(i));
        for (int i = 0; i < 400; ++i) _PutHashpp(word(keys[i]), t, i + 1);
        for (int i = 0; i < 400; i += 3) _RemHashp(word(keys[i]), t);
        _GetHashpp(word("none"), t);
        _ClearHashTable(t);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// ---------------------------------------------------------------- clear and free

TEST(HashTableClear, EmptiesEverySlotAndKeepsTheSize) {
    for (int type = 0; type <= 5; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        Table t(type);
        KeySet ks = make_keys(type, 200);
        for (int i = 0; i < 200; ++i) _PutHashpp(ks.keys[i], t, i + 1);
        _RemHashp(ks.keys[3], t);
        ASSERT_EQ(t->size, 514);
        _ClearHashTable(t);
        EXPECT_EQ(t->count, 0);
        EXPECT_EQ(t->size, 514);
        EXPECT_EQ(t->limit, 359);
        EXPECT_EQ(used_slots(t), 0);
        EXPECT_EQ(_GetHashpp(ks.keys[0], t), 0u);
        // Still usable afterwards.
        _PutHashpp(ks.keys[1], t, 9);
        EXPECT_EQ(_GetHashpp(ks.keys[1], t), 9u);
        EXPECT_EQ(t->count, 1);
    }
}

TEST(HashTableFree, ReleasesEverythingAndAcceptsNull) {
    // The sanitizer build's leak check fails this test if anything is left.
    HashTable* t = _MakeHashTable(1);
    _PutHashpp(word(std::string(3000, 'z')), t, 1);
    _PutHashpp(word("short"), t, 2);
    _PutHashpp(word("dropped"), t, 0);
    freeHashTable(t);
    freeHashTable(nullptr);
}

} // namespace
