// DataBuffer: a growable block of bytes, owned or borrowed, guarded by an integrity byte.
// Every byte string of the toolkit and the character-set converters lives in one of these.
#pragma once
#include <cstdint>
#include "kit/KitObject.h"

class LogBase;

// Stops the process at once: reached only through a freed or overwritten object.
[[noreturn]] void corruptObjectStop();

class DataBuffer : public KitObject
{
public:
    DataBuffer();
    ~DataBuffer() override;
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    void clear();
    uint32_t getSize() const { return m_size; }
    uint32_t getCapacity() const { return m_capacity; }
    bool isBorrowed() const { return m_borrowed; }
    unsigned char* getData() const { return m_data; }
    // Pointer to byte index, or NULL when there is no block or the index is outside the data.
    unsigned char* getDataAt(int index) const;
    void shorten(uint32_t n);
    void setSize(uint32_t n);
    // Gives the block away: the caller that took getData() now owns it.
    void forget();

    bool ensureBuffer(uint32_t n);
    bool reallocate(uint32_t n);
    void borrowData(const void* p, uint32_t n);
    void takeOwnership(void* p, uint32_t n);
    void takeData(void* p, uint32_t n) { takeOwnership(p, n); }
    void takeFrom(DataBuffer& other);

    bool append(const void* p, uint32_t n);
    bool appendChar(unsigned char b);
    bool appendUtf16z(const wchar_t* p);
    void removeFront(uint32_t n);
    void replaceUtf16Unit(uint16_t a, uint16_t b);
    void toLowerUtf16();

    // Whole-file loading; defined with the toolkit's file functions.
    bool loadFile(const char* name, LogBase* log);
    bool loadFileW(const wchar_t* name, LogBase* log);

    bool isValid() const { return m_integrity == kIntact; }
    // True when a growth since the last clear was refused (an append dropped its bytes or room
    // asked for was not made): what the buffer holds may then be incomplete.
    bool lostBytes() const { return m_lost; }

private:
    static const unsigned char kIntact = 219;
    void checkIntegrity() const;
    void releaseBlock();
    bool grow(uint64_t needed, uint64_t preferred);

    unsigned char m_integrity;
    bool m_borrowed;
    bool m_lost = false;
    unsigned char* m_data;
    uint32_t m_size;
    uint32_t m_capacity;
};
