// HashConvert: entries [key length][key][value length][value] back to back in each bucket string,
// ended by a 0 byte; the first entry of a key wins.
#include "charset/HashConvert.h"
#include <cstring>
#include <new>

HashConvert::~HashConvert()
{
    clear();
    dropIndexes();
}

void HashConvert::allocate(uint32_t bucketCount)
{
    clear();
    if (bucketCount == 0)
        return;
    m_buckets = new (std::nothrow) unsigned char*[bucketCount];
    if (!m_buckets)
        return;
    memset(m_buckets, 0, bucketCount * sizeof(unsigned char*));
    m_bucketCount = bucketCount;
}

void HashConvert::clear()
{
    dropIndexes();
    for (uint32_t i = 0; i < m_bucketCount; i++)
        delete[] m_buckets[i];
    delete[] m_buckets;
    m_buckets = nullptr;
    m_bucketCount = 0;
}

uint32_t HashConvert::bucketOf(const unsigned char* key, int keyLength) const
{
    uint32_t word = 0;
    for (int i = 0; i < keyLength && i < 4; i++)
        word |= (uint32_t)key[i] << (8 * i);
    return word % m_bucketCount;
}

uint32_t HashConvert::bucketSize(uint32_t i) const
{
    if (i >= m_bucketCount || !m_buckets[i])
        return 0;
    const unsigned char* e = m_buckets[i];
    while (*e)
        e += 2 + e[0] + e[1 + e[0]];
    return (uint32_t)(e - m_buckets[i]) + 1;
}

void HashConvert::insert(const unsigned char* key, int keyLength, const unsigned char* value, int valueLength)
{
    if (m_bucketCount == 0 || keyLength < 1 || keyLength > 4 || valueLength < 0 || valueLength > 255)
        return;
    uint32_t b = bucketOf(key, keyLength);
    uint32_t oldSize = bucketSize(b);
    uint32_t used = oldSize ? oldSize - 1 : 0;
    uint32_t entry = 2 + keyLength + valueLength;
    unsigned char* grown = new (std::nothrow) unsigned char[used + entry + 1];
    if (!grown)
        return;
    if (used)
        memcpy(grown, m_buckets[b], used);
    unsigned char* e = grown + used;
    e[0] = (unsigned char)keyLength;
    memcpy(e + 1, key, keyLength);
    e[1 + keyLength] = (unsigned char)valueLength;
    if (valueLength)
        memcpy(e + 2 + keyLength, value, valueLength);
    e[entry] = 0;
    delete[] m_buckets[b];
    m_buckets[b] = grown;
    dropIndexes();
}

void HashConvert::remove(const unsigned char* key, int keyLength)
{
    if (m_bucketCount == 0 || keyLength < 1 || keyLength > 4)
        return;
    uint32_t b = bucketOf(key, keyLength);
    unsigned char* bucket = m_buckets[b];
    if (!bucket)
        return;
    unsigned char* out = bucket;
    const unsigned char* e = bucket;
    while (*e) {
        uint32_t size = 2 + e[0] + e[1 + e[0]];
        bool match = e[0] == keyLength && memcmp(e + 1, key, keyLength) == 0;
        if (!match) {
            memmove(out, e, size);
            out += size;
        }
        e += size;
    }
    *out = 0;
    dropIndexes();
    if (out == bucket) {
        delete[] bucket;
        m_buckets[b] = nullptr;
    }
}

void HashConvert::lookup(const unsigned char* key, int keyLength, unsigned char* valueOut, int* valueLengthOut) const
{
    *valueLengthOut = 0;
    if (m_bucketCount == 0 || keyLength < 1 || keyLength > 4)
        return;
    const unsigned char* e = m_buckets[bucketOf(key, keyLength)];
    if (!e)
        return;
    while (*e) {
        int kl = e[0];
        int vl = e[1 + kl];
        if (kl == keyLength && memcmp(e + 1, key, kl) == 0) {
            memcpy(valueOut, e + 2 + kl, vl);
            *valueLengthOut = vl;
            return;
        }
        e += 2 + kl + vl;
    }
}

void HashConvert::copyInverted(HashConvert& other) const
{
    for (uint32_t b = 0; b < m_bucketCount; b++) {
        const unsigned char* e = m_buckets[b];
        if (!e)
            continue;
        while (*e) {
            int kl = e[0];
            int vl = e[1 + kl];
            if (vl >= 1 && vl <= 4)
                other.insert(e + 2 + kl, vl, e + 1, kl);
            e += 2 + kl + vl;
        }
    }
}

void HashConvert::dropIndexes()
{
    delete[] m_byteIndex;
    delete[] m_wordIndex;
    delete[] m_encodeIndex;
    m_byteIndex = nullptr;
    m_wordIndex = nullptr;
    m_encodeIndex = nullptr;
    m_indexesBuilt = false;
}

void HashConvert::buildIndexes() const
{
    memset(m_longKeyStarts, 0, sizeof m_longKeyStarts);
    m_keysLongerThanTwo = false;
    m_valuesLongerThanTwo = false;
    m_byteIndex = new (std::nothrow) uint32_t[256];
    m_wordIndex = new (std::nothrow) uint32_t[65536];
    if (m_byteIndex)
        memset(m_byteIndex, 0, 256 * sizeof(uint32_t));
    if (m_wordIndex)
        memset(m_wordIndex, 0, 65536 * sizeof(uint32_t));
    for (uint32_t i = 0; i < m_bucketCount; i++) {
        const unsigned char* e = m_buckets[i];
        if (!e)
            continue;
        for (; *e; e += 2 + e[0] + e[1 + e[0]]) {
            int keyLength = e[0];
            const unsigned char* value = e + 2 + keyLength;
            int valueLength = e[1 + keyLength];
            uint32_t entry = kPresent | (uint32_t)valueLength << 16 | (valueLength > 0 ? value[0] : 0) |
                             (valueLength > 1 ? (uint32_t)value[1] << 8 : 0);
            if (keyLength >= 2)
                m_longKeyStarts[e[1]] = true;
            if (keyLength > 2)
                m_keysLongerThanTwo = true;
            if (valueLength > 2)
                m_valuesLongerThanTwo = true;
            // The first entry of a key in its bucket is the one lookup finds.
            if (keyLength == 1 && m_byteIndex && !m_byteIndex[e[1]])
                m_byteIndex[e[1]] = entry;
            else if (keyLength == 2 && m_wordIndex && !m_wordIndex[e[1] | e[2] << 8])
                m_wordIndex[e[1] | e[2] << 8] = entry;
        }
    }
    m_asciiStartsLongKey = false;
    for (int b = 0; b < 0x80; b++)
        m_asciiStartsLongKey = m_asciiStartsLongKey || m_longKeyStarts[b];
    m_indexesBuilt = true;
}

bool HashConvert::asciiStartsLongKey() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    return m_asciiStartsLongKey;
}

bool HashConvert::startsLongKey(unsigned char b) const { return longKeyStarts()[b]; }

const bool* HashConvert::longKeyStarts() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    return m_longKeyStarts;
}

const uint32_t* HashConvert::byteIndex() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    return m_byteIndex;
}

const uint32_t* HashConvert::wordIndex() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    return m_wordIndex;
}

bool HashConvert::hasKeysLongerThanTwo() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    return m_keysLongerThanTwo;
}

const uint32_t* HashConvert::unitEncodeIndex() const
{
    if (!m_indexesBuilt)
        buildIndexes();
    if (m_encodeIndex || !m_wordIndex || m_valuesLongerThanTwo)
        return m_encodeIndex;
    m_encodeIndex = new (std::nothrow) uint32_t[65536];
    if (!m_encodeIndex)
        return nullptr;
    for (uint32_t u = 0; u < 65536; u++) {
        uint32_t e = m_wordIndex[u];
        if (m_asciiCompatible && u < 0x80)
            e = kPresent | 1u << 16 | u;
        else if (!e && u == 0)
            e = kPresent | 1u << 16;
        m_encodeIndex[u] = e;
    }
    return m_encodeIndex;
}
