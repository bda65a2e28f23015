// HashConvert: a small hash map from 1-4-byte keys to byte strings, kept as one entry string per
// bucket; UnicodeLookup: the flat byte-to-UTF-16 array of a single-byte page.
#pragma once
#include <cstdint>

class HashConvert
{
public:
    HashConvert() : m_asciiCompatible(false), m_bucketCount(0), m_buckets(nullptr) {}
    virtual ~HashConvert();
    HashConvert(const HashConvert&) = delete;
    HashConvert& operator=(const HashConvert&) = delete;

    void allocate(uint32_t bucketCount);
    void clear();
    void insert(const unsigned char* key, int keyLength, const unsigned char* value, int valueLength);
    void remove(const unsigned char* key, int keyLength);
    void lookup(const unsigned char* key, int keyLength, unsigned char* valueOut, int* valueLengthOut) const;
    void copyInverted(HashConvert& other) const;
    uint32_t bucketSize(uint32_t i) const;
    uint32_t bucketCount() const { return m_bucketCount; }
    void setAsciiCompatible(bool flag) { m_asciiCompatible = flag; }
    bool isAsciiCompatible() const { return m_asciiCompatible; }

    // Lookup of a 2-byte key given as a little-endian word (a UTF-16 unit or a code written
    // high byte first), the walkers' hot path; the value's length, 0 when absent.
    inline int lookupWord(uint16_t keyWord, unsigned char* valueOut) const;
    // True when some key of 2 or more bytes starts with byte b (worked out once, on first use).
    bool startsLongKey(unsigned char b) const;

private:
    uint32_t bucketOf(const unsigned char* key, int keyLength) const;

    bool m_asciiCompatible;
    uint32_t m_bucketCount;
    unsigned char** m_buckets;
    mutable bool m_longKeyStartsKnown = false;
    mutable bool m_longKeyStarts[256] = {};
};

inline int HashConvert::lookupWord(uint16_t keyWord, unsigned char* valueOut) const
{
    if (!m_bucketCount)
        return 0;
    const unsigned char* e = m_buckets[keyWord % m_bucketCount];
    if (!e)
        return 0;
    unsigned char k0 = (unsigned char)keyWord, k1 = (unsigned char)(keyWord >> 8);
    while (*e) {
        int keyLength = e[0];
        int valueLength = e[1 + keyLength];
        if (keyLength == 2 && e[1] == k0 && e[2] == k1) {
            for (int i = 0; i < valueLength; i++)
                valueOut[i] = e[4 + i];
            return valueLength;
        }
        e += 2 + keyLength + valueLength;
    }
    return 0;
}

class UnicodeLookup
{
public:
    UnicodeLookup() : m_units() {}
    virtual ~UnicodeLookup() {}
    uint16_t m_units[256];
};
