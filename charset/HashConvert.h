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
    void setAsciiCompatible(bool flag)
    {
        m_asciiCompatible = flag;
        dropIndexes();
    }
    bool isAsciiCompatible() const { return m_asciiCompatible; }

    // Lookup of a 2-byte key given as a little-endian word (a UTF-16 unit or a code written
    // high byte first), the walkers' hot path; the value's length, 0 when absent.
    inline int lookupWord(uint16_t keyWord, unsigned char* valueOut) const;
    // Flat views of the table, worked out on first use and dropped by any change: for each byte, whether
    // a key of 2 or more bytes starts with it; the entries of the 1-byte and 2-byte keys (first match),
    // each kPresent | value length << 16 | the first two value bytes (first byte lowest), 0 when absent.
    // NULL when there is no memory for them; the walkers then use lookup.
    bool startsLongKey(unsigned char b) const;
    const bool* longKeyStarts() const;
    const uint32_t* byteIndex() const;
    const uint32_t* wordIndex() const;
    bool hasKeysLongerThanTwo() const;
    // True when some key of 2 or more bytes starts with a byte below 0x80.
    bool asciiStartsLongKey() const;
    // The page-direction view of a table keyed by UTF-16 units: for each unit the entry that
    // converting it writes, with the ASCII pass-through and the 0 byte of U+0000 already applied.
    // NULL when a value is longer than 2 bytes (or no memory): walkers then use lookup.
    const uint32_t* unitEncodeIndex() const;
    // Whether the flat views (and, when asked, the page-direction view) exist. The cache builds them
    // before it publishes a table, so that converters sharing it afterwards only read it.
    bool viewsBuilt(bool withEncodeView) const { return m_indexesBuilt && (!withEncodeView || m_encodeIndex); }
    static const uint32_t kPresent = 1u << 24;

private:
    uint32_t bucketOf(const unsigned char* key, int keyLength) const;

    bool m_asciiCompatible;
    uint32_t m_bucketCount;
    unsigned char** m_buckets;
    void buildIndexes() const;
    void dropIndexes();

    mutable bool m_indexesBuilt = false;
    mutable bool m_longKeyStarts[256] = {};
    mutable bool m_keysLongerThanTwo = false;
    mutable bool m_asciiStartsLongKey = false;
    mutable bool m_valuesLongerThanTwo = false;
    mutable uint32_t* m_encodeIndex = nullptr;
    mutable uint32_t* m_byteIndex = nullptr;
    mutable uint32_t* m_wordIndex = nullptr;
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
    UnicodeLookup() : m_units(), m_asciiIdentity(false) {}
    virtual ~UnicodeLookup() {}
    uint16_t m_units[256];
    // Bytes 0x01-0x7F stand for U+0001-U+007F (set with the entries), so runs of them need no lookup.
    bool m_asciiIdentity;
};
