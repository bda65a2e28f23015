// Attribute pairs of one element in one block: per pair the name and value lengths, then the name
// and value bytes, in order of insertion, duplicates kept. Most elements have a few short
// attributes, so one small block serves them all.
#include "xml/TreeNode.h"
#include "kit/SmallBlocks.h"
#include "xml/ByteScan.h"
#include <string.h>

namespace {

const int kLengthBytes = 2 * (int)sizeof(int);

int nameLengthOf(const char* record)
{
    int n;
    memcpy(&n, record, sizeof n);
    return n;
}

int valueLengthOf(const char* record)
{
    int n;
    memcpy(&n, record + sizeof(int), sizeof n);
    return n;
}

int recordSize(const char* record)
{
    return kLengthBytes + nameLengthOf(record) + valueLengthOf(record);
}

} // namespace

AttributeSet* AttributeSet::create(int firstPairBytes, kit::BlockArena* arena)
{
    // The set and the block for its first pair in one allocation, rounded up to the allocator's
    // eight-byte granule; further pairs move the pairs to a block of their own.
    const size_t head = sizeof(AttributeSet) + sizeof(Block);
    if (firstPairBytes < 0 || firstPairBytes > 0x3FFFFFFF)
        return nullptr;
    size_t total = (head + (size_t)firstPairBytes + 7) & ~(size_t)7;
    static_assert(alignof(AttributeSet) <= 4 && alignof(Block) <= 4, "sets are packed on 4 bytes in an arena");
    void* memory = poolAllocIn(arena, total, 4);
    if (!memory)
        return nullptr;
    AttributeSet* set = ::new (memory) AttributeSet();
    Block* block = set->inlineBlock();
    block->capacity = (int)(total - head);
    block->used = 0;
    block->pairs = 0;
    set->m_block = block;
    return set;
}

AttributeSet* AttributeSet::placeIn(void* memory, const ParsedAttribute* attrs, int count, int pairBytes)
{
    AttributeSet* set = ::new (memory) AttributeSet();
    Block* block = set->inlineBlock();
    block->capacity = (int)(placedBytes(pairBytes) - sizeof(AttributeSet) - sizeof(Block));
    block->used = pairBytes;
    block->pairs = count;
    char* record = reinterpret_cast<char*>(block + 1);
    for (int i = 0; i < count; ++i) {
        const ParsedAttribute& a = attrs[i];
        memcpy(record, &a.nameLength, sizeof a.nameLength);
        memcpy(record + sizeof(int), &a.valueLength, sizeof a.valueLength);
        copyBytes(record + kLengthBytes, a.name, a.nameLength);
        copyBytes(record + kLengthBytes + a.nameLength, a.value, a.valueLength);
        record += kLengthBytes + a.nameLength + a.valueLength;
    }
    set->m_block = block;
    return set;
}

AttributeSet::Block* AttributeSet::inlineBlock()
{
    return reinterpret_cast<Block*>(this + 1);
}

void AttributeSet::freeBlock()
{
    if (m_block != inlineBlock())
        smallBlockFree(m_block);
}

AttributeSet::~AttributeSet()
{
    freeBlock();
}

bool AttributeSet::ensureRoom(int bytes)
{
    if (m_block && m_block->capacity - m_block->used >= bytes)
        return true;
    int used = m_block ? m_block->used : 0;
    if (bytes > 0x3FFFFFFF - used)
        return false;
    int capacity = used + bytes;
    // Doubling keeps many additions to one element linear.
    if (m_block && capacity < 2 * m_block->capacity)
        capacity = 2 * m_block->capacity;
    Block* grown = static_cast<Block*>(smallBlockAlloc(sizeof(Block) + (size_t)capacity));
    if (!grown)
        return false;
    if (m_block) {
        memcpy(grown, m_block, sizeof(Block) + (size_t)m_block->used);
        freeBlock();
    } else {
        grown->used = 0;
        grown->pairs = 0;
    }
    grown->capacity = capacity;
    m_block = grown;
    return true;
}

void AttributeSet::addAttribute(const char* name, const char* value)
{
    if (!name || !*name)
        return;
    addAttributeN(name, (int)strlen(name), value, value ? (int)strlen(value) : 0);
}

bool AttributeSet::addAttributeN(const char* name, int nameLength, const char* value, int valueLength)
{
    if (!name || nameLength <= 0)
        return true;
    if (!value || valueLength < 0)
        valueLength = 0;
    if (nameLength > 0x3FFFFFFF - kLengthBytes - valueLength || !ensureRoom(kLengthBytes + nameLength + valueLength))
        return false;
    char* record = reinterpret_cast<char*>(m_block + 1) + m_block->used;
    memcpy(record, &nameLength, sizeof nameLength);
    memcpy(record + sizeof(int), &valueLength, sizeof valueLength);
    copyBytes(record + kLengthBytes, name, nameLength);
    if (valueLength > 64)
        memcpy(record + kLengthBytes + nameLength, value, valueLength);
    else
        copyBytes(record + kLengthBytes + nameLength, value, valueLength);
    m_block->used += kLengthBytes + nameLength + valueLength;
    ++m_block->pairs;
    return true;
}

int AttributeSet::getNumAttributes() const
{
    return m_block ? m_block->pairs : 0;
}

char* AttributeSet::recordAt(int index) const
{
    char* record = reinterpret_cast<char*>(m_block + 1);
    for (int i = 0; i < index; ++i)
        record += recordSize(record);
    return record;
}

void AttributeSet::getPair(int index, const char*& name, int& nameLength, const char*& value, int& valueLength) const
{
    if (index < 0 || index >= getNumAttributes()) {
        name = value = "";
        nameLength = valueLength = 0;
        return;
    }
    const char* record = recordAt(index);
    nameLength = nameLengthOf(record);
    valueLength = valueLengthOf(record);
    name = record + kLengthBytes;
    value = name + nameLength;
}

char* AttributeSet::findPair(const char* name) const
{
    if (!name || !*name || getNumAttributes() == 0)
        return nullptr;
    int length = (int)strlen(name);
    char* record = reinterpret_cast<char*>(m_block + 1);
    for (int i = 0; i < m_block->pairs; ++i) {
        if (nameLengthOf(record) == length && memcmp(record + kLengthBytes, name, length) == 0)
            return record;
        record += recordSize(record);
    }
    return nullptr;
}

bool AttributeSet::getAttribute(const char* name, kit::StringBuffer& out) const
{
    out.clear();
    const char* record = findPair(name);
    if (!record)
        return false;
    int valueLength = valueLengthOf(record);
    if (valueLength > 0)
        out.appendN(record + kLengthBytes + nameLengthOf(record), valueLength);
    return true;
}

bool AttributeSet::hasAttribute(const char* name) const
{
    return findPair(name) != nullptr;
}

bool AttributeSet::removeFirst(const char* name)
{
    char* record = findPair(name);
    if (!record)
        return false;
    int size = recordSize(record);
    char* end = reinterpret_cast<char*>(m_block + 1) + m_block->used;
    memmove(record, record + size, end - (record + size));
    m_block->used -= size;
    --m_block->pairs;
    return true;
}

void AttributeSet::serialize(kit::StringBuffer& out) const
{
    const char* record = m_block ? reinterpret_cast<const char*>(m_block + 1) : nullptr;
    for (int i = 0; i < getNumAttributes(); ++i) {
        int nameLength = nameLengthOf(record);
        int valueLength = valueLengthOf(record);
        out.appendChar(' ');
        out.appendN(record + kLengthBytes, nameLength);
        out.append("=\"");
        escapeValue(out, record + kLengthBytes + nameLength, valueLength);
        out.appendChar('"');
        record += kLengthBytes + nameLength + valueLength;
    }
}

void AttributeSet::removeAttribute(const char* name)
{
    for (int i = 0; i < 101 && removeFirst(name); ++i) {
    }
}
