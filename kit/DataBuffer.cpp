// DataBuffer: growth, hand-over of blocks between buffers, and the UTF-16 helpers.
#include "kit/DataBuffer.h"
#include <cstring>
#include <new>
#include "kit/AllocationGate.h"
#include "kit/CaseMap.h"
#include "kit/SmallBlocks.h"

void corruptObjectStop()
{
    // A store through a null pointer: the access violation ends the process on the spot.
    volatile unsigned char* volatile nowhere = nullptr;
    *nowhere = 1;
    for (;;) {}
}

namespace {
// A new block of n bytes (at least one) from the kit's allocator; NULL when the gate or the heap
// refuses it.
unsigned char* newBlock(uint32_t n)
{
    return static_cast<unsigned char*>(smallBlockAlloc(n ? n : 1));
}

// Blocks taken over from callers come from new[]; the kit's allocator frees those as well.
void freeBlock(unsigned char* block)
{
    smallBlockFree(block);
}

// The capacity for a block that must hold wanted bytes: at least half as much again as the block
// it replaces, so that a buffer grown step by step is copied a bounded number of times per byte.
uint64_t grownCapacity(uint32_t capacity, uint64_t wanted)
{
    uint64_t geometric = (uint64_t)capacity + capacity / 2;
    return wanted > geometric ? wanted : geometric;
}
} // namespace

DataBuffer::DataBuffer() : m_integrity(kIntact), m_borrowed(false), m_data(nullptr), m_size(0), m_capacity(0) {}

DataBuffer::~DataBuffer()
{
    m_integrity = 0;
    if (m_data && !m_borrowed)
        freeBlock(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

void DataBuffer::checkIntegrity() const
{
    if (m_integrity != kIntact)
        corruptObjectStop();
}

void DataBuffer::releaseBlock()
{
    if (m_data && !m_borrowed)
        freeBlock(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_borrowed = false;
}

void DataBuffer::clear()
{
    m_size = 0;
    m_lost = false;
}

unsigned char* DataBuffer::getDataAt(int index) const
{
    if (!m_data || index < 0 || (uint32_t)index >= m_size)
        return nullptr;
    return m_data + index;
}

void DataBuffer::shorten(uint32_t n) { m_size -= (n < m_size ? n : m_size); }

void DataBuffer::setSize(uint32_t n) { m_size = n < m_capacity ? n : m_capacity; }

void DataBuffer::forget()
{
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}


bool DataBuffer::ensureBuffer(uint32_t n)
{
    checkIntegrity();
    if (m_capacity < n && !grow(n, n))
        return false;
    return m_data != nullptr;
}

// Moves the bytes to a block of the geometric capacity for needed bytes; false, the buffer
// unchanged, when it is refused. A first block may be the exact size when the reserve is refused,
// but a block never replaces another with one that only just fits: the next append would copy
// everything again, and so would every append after it.
bool DataBuffer::grow(uint64_t needed, uint64_t preferred)
{
    if (needed > 0xFFFFFFFFu)
        return false;
    uint64_t capacity = m_capacity ? grownCapacity(m_capacity, preferred) : preferred;
    if (capacity < needed)
        capacity = needed;
    if (capacity > 0xFFFFFFFFu)
        capacity = 0xFFFFFFFFu;
    unsigned char* block = newBlock((uint32_t)capacity);
    if (!block && !m_data && capacity > needed)
        block = newBlock((uint32_t)(capacity = needed));
    if (!block) {
        m_lost = true;
        return false;
    }
    if (m_data && m_size)
        memcpy(block, m_data, m_size);
    if (m_data && !m_borrowed)
        freeBlock(m_data);
    m_data = block;
    m_capacity = (uint32_t)capacity;
    m_borrowed = false;
    return true;
}

bool DataBuffer::reallocate(uint32_t n)
{
    unsigned char* block = newBlock(n);
    if (!block) {
        releaseBlock();
        m_lost = true;
        return false;
    }
    uint32_t keep = m_size < n ? m_size : n;
    if (m_data && keep)
        memcpy(block, m_data, keep);
    if (m_data && !m_borrowed)
        freeBlock(m_data);
    m_data = block;
    m_size = keep;
    m_capacity = n;
    m_borrowed = false;
    return true;
}

void DataBuffer::borrowData(const void* p, uint32_t n)
{
    checkIntegrity();
    releaseBlock();
    m_data = (unsigned char*)p;
    m_size = m_capacity = n;
    m_borrowed = true;
}

void DataBuffer::takeOwnership(void* p, uint32_t n)
{
    checkIntegrity();
    releaseBlock();
    m_data = (unsigned char*)p;
    m_size = m_capacity = n;
    m_borrowed = false;
}

void DataBuffer::takeFrom(DataBuffer& other)
{
    checkIntegrity();
    if (&other == this)
        return;
    releaseBlock();
    m_data = other.m_data;
    m_size = other.m_size;
    m_capacity = other.m_capacity;
    m_borrowed = other.m_borrowed;
    m_lost = other.m_lost;
    other.forget();
    other.m_borrowed = false;
    other.m_lost = false;
}

bool DataBuffer::append(const void* p, uint32_t n)
{
    checkIntegrity();
    if (!p || n == 0)
        return true;
    const unsigned char* bytes = (const unsigned char*)p;
    if (m_data && bytes >= m_data && bytes < m_data + m_capacity && (uint64_t)m_size + n > m_capacity) {
        // Our own bytes: growing would free them before they are copied.
        unsigned char* copy = newBlock(n);
        if (!copy) {
            m_lost = true;
            return false;
        }
        memcpy(copy, p, n);
        bool ok = append(copy, n);
        freeBlock(copy);
        return ok;
    }
    if ((uint64_t)m_size + n > m_capacity && !grow((uint64_t)m_size + n, (uint64_t)m_size + (n > 20000 ? n : 20000)))
        return false;
    if (!m_data)
        return false;
    memmove(m_data + m_size, p, n);
    m_size += n;
    return true;
}

bool DataBuffer::appendChar(unsigned char b)
{
    checkIntegrity();
    if ((uint64_t)m_size + 1 > m_capacity && !grow((uint64_t)m_size + 1, (uint64_t)m_size + 10000))
        return false;
    if (!m_data)
        return false;
    m_data[m_size++] = b;
    return true;
}

bool DataBuffer::appendUtf16z(const wchar_t* p)
{
    checkIntegrity();
    static const unsigned char zeros[2] = {0, 0};
    if (!p)
        return append(zeros, 2);
    uint32_t units = 0;
    while (p[units])
        units++;
    return append(p, (units + 1) * 2);
}

void DataBuffer::removeFront(uint32_t n)
{
    checkIntegrity();
    if (!m_data)
        return;
    if (n < m_size) {
        memmove(m_data, m_data + n, m_size - n);
        m_size -= n;
    } else {
        m_size = 0;
    }
}

void DataBuffer::replaceUtf16Unit(uint16_t a, uint16_t b)
{
    if (!m_data || a == 0 || b == 0)
        return;
    uint32_t units = m_size / 2;
    for (uint32_t i = 0; i < units; i++) {
        unsigned char* u = m_data + 2 * i;
        if ((uint16_t)(u[0] | (u[1] << 8)) == a) {
            u[0] = (unsigned char)b;
            u[1] = (unsigned char)(b >> 8);
        }
    }
}

void DataBuffer::toLowerUtf16()
{
    if (!m_data)
        return;
    uint32_t units = m_size / 2;
    for (uint32_t i = 0; i < units; i++) {
        unsigned char* u = m_data + 2 * i;
        uint32_t lower = (uint32_t)toLowerCodePoint(u[0] | (u[1] << 8));
        u[0] = (unsigned char)lower;
        u[1] = (unsigned char)(lower >> 8);
    }
}
