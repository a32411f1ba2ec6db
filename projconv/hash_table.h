// A small open-addressing hash table: linear probing over one flat array of
// key/value slots, three kinds of key, growth by doubling at 70 % load.
//
// Keys and values are machine words. A slot whose key is 0 is empty; a value of 0
// means "no entry" (it is what lookups answer for a missing key, and what removal
// leaves behind), so callers never store 0 as a real value.
#pragma once

#include <cstddef>
#include <cstdint>

enum HashTableType : int {
    kHashAddressKeys = 0, // any word, compared for equality, indexed by (key >> 3)
    kHashStringKeys = 1,  // terminated strings, case-insensitive, copied upper-cased
    kHashIntegerKeys = 2, // any word, compared for equality, indexed by the key itself
    kHashAddressKeys2 = 3,
    kHashStringKeys2 = 4,
    kHashIntegerKeys2 = 5,
};

struct HashSlot {
    uintptr_t key;
    uintptr_t value;
};

struct HashTable {
    HashSlot* slots;
    int type;  // a HashTableType; anything else is reported and only slot 0 is used
    int size;  // number of slots: 257, 514, 1028, ...
    int count; // keys inserted since creation or the last clear (removal does not lower it)
    int limit; // size * 0.7, truncated: an insertion that brings count here doubles size
};

inline constexpr int kHashInitialSize = 257;

// Copies at most n characters of src to dst, upper-casing 'a'..'z'. Returns 1 when
// src ended within n characters (its terminator is copied too), 0 otherwise (no
// terminator written; with n = 0 nothing is written).
int upcase_copy(const char* src, char* dst, std::size_t n);

// h = h * 257 + byte over the string, in unsigned 32-bit arithmetic.
uint32_t hash_string(const char* s);

// The slot holding key, or the empty slot where it would go. Null for a null key of
// a string table (after reporting it).
HashSlot* find_slot(uintptr_t key, HashTable* table);
// Doubles the table when count has reached limit.
void grow_table(HashTable* table);

HashTable* _MakeHashTable(int type);

// Insert or replace. Key 0 (and a null string key) is refused: nothing is stored.
void _PutHashpp(uintptr_t key, HashTable* table, uintptr_t value);
void _PutHashpi(uintptr_t key, HashTable* table, uintptr_t value);
void _PutHaship(uintptr_t key, HashTable* table, uintptr_t value);
void _PutHashii(uintptr_t key, HashTable* table, uintptr_t value);

// The value stored for key; 0 when absent (and for key 0 or a null string key).
uintptr_t _GetHashpp(uintptr_t key, HashTable* table);
uintptr_t _GetHashpi(uintptr_t key, HashTable* table);
uintptr_t _GetHaship(uintptr_t key, HashTable* table);
uintptr_t _GetHashii(uintptr_t key, HashTable* table);

// The key as the table stores it (for string tables its own upper-cased copy, valid
// until the table is cleared or the entry is dropped); 0 when there is no entry.
uintptr_t _GetHashKeyp(uintptr_t key, HashTable* table);

// Sets the key's value to 0; the key keeps its slot and count is not lowered.
void _RemHashp(uintptr_t key, HashTable* table);
void _RemHashi(uintptr_t key, HashTable* table);

// Empties every slot and sets count to 0; size and limit stay.
void _ClearHashTable(HashTable* table);
// Empties the table and releases it with everything it allocated.
void freeHashTable(HashTable* table);
