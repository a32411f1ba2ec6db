#include "hash_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool known_type(int type) {
    return static_cast<unsigned>(type) <= 5u;
}

bool string_keys(int type) {
    return type == kHashStringKeys || type == kHashStringKeys2;
}

// The diagnostics show words as signed 32-bit decimals (the low half of the word).
int shown(uintptr_t word) {
    return static_cast<int32_t>(static_cast<uint32_t>(word));
}
int shown(const void* address) {
    return shown(reinterpret_cast<uintptr_t>(address));
}

int limit_for(int size) {
    return static_cast<int>(size * 0.7);
}

// Running out of memory leaves the table unusable; end like any other set-up failure.
void* allocate_zeroed(std::size_t count, std::size_t size) {
    void* block = std::calloc(count, size);
    if (block == nullptr) {
        std::perror("hash table");
        std::exit(-1);
    }
    return block;
}

// Address keys are at least 8-byte aligned, so their low 3 bits carry no information.
uint32_t word_index(uintptr_t key, int type) {
    uint32_t low = static_cast<uint32_t>(key);
    if (type == kHashAddressKeys || type == kHashAddressKeys2)
        low = static_cast<uint32_t>(static_cast<int32_t>(low) >> 3);
    return low & 0x7fffffffu;
}

HashSlot* find_word_slot(uintptr_t key, HashTable* table) {
    const uint32_t size = static_cast<uint32_t>(table->size);
    uint32_t i = word_index(key, table->type) % size;
    while (table->slots[i].key != 0 && table->slots[i].key != key) i = (i + 1) % size;
    return &table->slots[i];
}

HashSlot* find_string_slot(const char* key, HashTable* table) {
    if (key == nullptr || key[0] == '\0') {
        std::printf("Trying to hash non-string %d into table %d", shown(key), shown(table));
        if (key == nullptr) return nullptr;
    }
    // Short keys are upper-cased on the stack; only very long ones need the heap.
    char local[1024];
    char* probe = local;
    char* long_probe = nullptr;
    if (upcase_copy(key, local, sizeof local) == 0) {
        const std::size_t n = std::strlen(key) + 1;
        long_probe = static_cast<char*>(allocate_zeroed(n, 1));
        probe = long_probe;
        if (upcase_copy(key, long_probe, n) == 0)
            std::printf("Key does not fit, key %d, table %d", shown(key), shown(table));
    }
    const uint32_t size = static_cast<uint32_t>(table->size);
    uint32_t i = (hash_string(probe) & 0x7fffffffu) % size;
    while (table->slots[i].key != 0 &&
           std::strcmp(reinterpret_cast<const char*>(table->slots[i].key), probe) != 0)
        i = (i + 1) % size;
    std::free(long_probe);
    return &table->slots[i];
}

// The slot for key, or null when the key cannot be stored or looked up: 0 is the
// empty-slot marker of word tables, and a null string has nothing to hash.
HashSlot* usable_slot(uintptr_t key, HashTable* table) {
    if (table == nullptr) return nullptr;
    if (key == 0 && !string_keys(table->type)) return nullptr;
    return find_slot(key, table);
}

// A string table owns every key it holds (it releases them when entries are
// dropped or cleared), so every insertion stores an upper-cased copy; a word
// table stores the key itself.
void put(uintptr_t key, HashTable* table, uintptr_t value) {
    HashSlot* slot = usable_slot(key, table);
    if (slot == nullptr) return;
    if (slot->key == 0) {
        if (string_keys(table->type)) {
            const char* text = reinterpret_cast<const char*>(key);
            const std::size_t n = std::strlen(text) + 1;
            char* copy = static_cast<char*>(allocate_zeroed(n, 1));
            if (upcase_copy(text, copy, n) == 0)
                std::printf("Key does not fit, key %d, table %d", shown(key), shown(table));
            slot->key = reinterpret_cast<uintptr_t>(copy);
        } else {
            slot->key = key;
        }
        table->count++;
    }
    slot->value = value;
    grow_table(table);
}

uintptr_t get(uintptr_t key, HashTable* table) {
    HashSlot* slot = usable_slot(key, table);
    return slot == nullptr ? 0 : slot->value;
}

void remove_entry(uintptr_t key, HashTable* table) {
    HashSlot* slot = usable_slot(key, table);
    if (slot != nullptr && slot->key != 0) slot->value = 0;
}

} // namespace

int upcase_copy(const char* src, char* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const char c = src[i];
        if (c == '\0') {
            dst[i] = '\0';
            return 1;
        }
        dst[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return 0;
}

uint32_t hash_string(const char* s) {
    uint32_t h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p != 0; ++p)
        h = h * 257u + *p;
    return h;
}

HashSlot* find_slot(uintptr_t key, HashTable* table) {
    if (!known_type(table->type)) {
        std::printf("Hash table of unknown type %d", table->type);
        return &table->slots[0];
    }
    if (string_keys(table->type))
        return find_string_slot(reinterpret_cast<const char*>(key), table);
    return find_word_slot(key, table);
}

void grow_table(HashTable* table) {
    if (table->count < table->limit) return;
    HashSlot* old_slots = table->slots;
    const int old_size = table->size;
    table->size = 2 * old_size;
    table->slots = static_cast<HashSlot*>(allocate_zeroed(table->size, sizeof(HashSlot)));
    table->limit = limit_for(table->size);

    // Entries with value 0 (removed or stored as 0) are dropped here; count keeps them.
    for (int i = 0; i < old_size; ++i) {
        const HashSlot old = old_slots[i];
        if (old.key == 0 || !known_type(table->type)) continue;
        if (old.value != 0) {
            *find_slot(old.key, table) = old;
        } else if (string_keys(table->type)) {
            std::free(reinterpret_cast<void*>(old.key));
        }
    }
    std::free(old_slots);
}

HashTable* _MakeHashTable(int type) {
    if (!known_type(type)) std::printf("%d is not of type enum HashTableType", type);
    HashTable* table = static_cast<HashTable*>(allocate_zeroed(1, sizeof(HashTable)));
    table->slots = static_cast<HashSlot*>(allocate_zeroed(kHashInitialSize, sizeof(HashSlot)));
    table->size = kHashInitialSize;
    table->count = 0;
    table->type = type;
    table->limit = limit_for(kHashInitialSize);
    return table;
}

void _PutHashpp(uintptr_t key, HashTable* table, uintptr_t value) {
    put(key, table, value);
}
void _PutHashpi(uintptr_t key, HashTable* table, uintptr_t value) {
    put(key, table, value);
}
void _PutHaship(uintptr_t key, HashTable* table, uintptr_t value) {
    put(key, table, value);
}
void _PutHashii(uintptr_t key, HashTable* table, uintptr_t value) {
    put(key, table, value);
}

uintptr_t _GetHashpp(uintptr_t key, HashTable* table) {
    return get(key, table);
}
uintptr_t _GetHashpi(uintptr_t key, HashTable* table) {
    return get(key, table);
}
uintptr_t _GetHaship(uintptr_t key, HashTable* table) {
    return get(key, table);
}
uintptr_t _GetHashii(uintptr_t key, HashTable* table) {
    return get(key, table);
}

uintptr_t _GetHashKeyp(uintptr_t key, HashTable* table) {
    // A slot whose value is 0 holds no entry; its key copy may be released at the
    // next growth, so it is not handed out.
    HashSlot* slot = usable_slot(key, table);
    return (slot == nullptr || slot->value == 0) ? 0 : slot->key;
}

void _RemHashp(uintptr_t key, HashTable* table) {
    remove_entry(key, table);
}
void _RemHashi(uintptr_t key, HashTable* table) {
    remove_entry(key, table);
}

void _ClearHashTable(HashTable* table) {
    if (table == nullptr) return;
    for (int i = 0; i < table->size; ++i) {
        HashSlot& slot = table->slots[i];
        if (string_keys(table->type) && slot.key != 0) std::free(reinterpret_cast<void*>(slot.key));
        slot.key = 0;
        slot.value = 0;
    }
    table->count = 0;
}

void freeHashTable(HashTable* table) {
    if (table == nullptr) return;
    _ClearHashTable(table);
    std::free(table->slots);
    std::free(table);
}
