// HashTableI: pairs live in 8-byte blocks held as the data of list items.
#include "kit/HashTableI.h"
#include <new>

HashTableI::HashTableI(int bucketCount) : m_bucketCount(bucketCount < 1 ? 1 : bucketCount), m_buckets(nullptr)
{
    m_buckets = new (std::nothrow) CK_List[m_bucketCount];
    if (!m_buckets)
        m_bucketCount = 1;
}

HashTableI::~HashTableI()
{
    if (!m_buckets)
        return;
    for (int i = 0; i < m_bucketCount; i++)
        m_buckets[i].deleteItemsAndData();
    delete[] m_buckets;
}

HashTableI::Pair* HashTableI::findPair(uint32_t key) const
{
    if (!m_buckets)
        return nullptr;
    for (CK_ListItem* item = m_buckets[bucketIndex(key)].getTail(); item; item = item->getPrev()) {
        Pair* pair = (Pair*)item->getData();
        if (pair && pair->key == key)
            return pair;
    }
    return nullptr;
}

uint32_t HashTableI::hashLookup(uint32_t key, bool& found) const
{
    Pair* pair = findPair(key);
    found = pair != nullptr;
    return pair ? pair->value : 0;
}

void HashTableI::hashInsert(uint32_t key, uint32_t value)
{
    if (Pair* pair = findPair(key)) {
        pair->value = value;
        return;
    }
    if (!m_buckets)
        return;
    unsigned char* block = new (std::nothrow) unsigned char[sizeof(Pair)];
    if (!block)
        return;
    Pair* pair = (Pair*)block;
    pair->key = key;
    pair->value = value;
    size_t before = m_buckets[bucketIndex(key)].getCount();
    m_buckets[bucketIndex(key)].appendData(block);
    if ((size_t)m_buckets[bucketIndex(key)].getCount() == before)
        delete[] block;
}
