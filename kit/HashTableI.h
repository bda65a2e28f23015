// HashTableI: a hash table from 32-bit keys to 32-bit values, one CK_List per bucket.
#pragma once
#include <cstdint>
#include "kit/CK_List.h"

class HashTableI
{
public:
    explicit HashTableI(int bucketCount);
    virtual ~HashTableI();
    HashTableI(const HashTableI&) = delete;
    HashTableI& operator=(const HashTableI&) = delete;

    struct Pair
    {
        uint32_t key;
        uint32_t value;
    };

    uint32_t bucketIndex(uint32_t key) const { return key % (uint32_t)m_bucketCount; }
    Pair* findPair(uint32_t key) const;
    uint32_t hashLookup(uint32_t key, bool& found) const;
    void hashInsert(uint32_t key, uint32_t value);

private:
    int m_bucketCount;
    CK_List* m_buckets;
};
