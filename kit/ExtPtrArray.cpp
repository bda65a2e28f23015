// ExtPtrArray: growth by a step that doubles with the array, so long lists are copied a bounded
// number of times per slot.
#include "kit/ExtPtrArray.h"
#include <cstdint>
#include <cstring>
#include <new>
#include "kit/SmallBlocks.h"

namespace {
KitObject** allocateSlots(int n)
{
    if (n <= 0 || (uint64_t)n * sizeof(KitObject*) > 0xFFFFFFFFu)
        return nullptr;
    KitObject** slots = static_cast<KitObject**>(smallBlockAlloc(n * sizeof(KitObject*)));
    if (slots)
        memset(slots, 0, n * sizeof(KitObject*));
    return slots;
}
}

ExtPtrArray::ExtPtrArray() : m_growthStep(5), m_capacity(0), m_count(0), m_items(nullptr) {}

ExtPtrArray::ExtPtrArray(int capacity, int growthStep)
    : m_growthStep(growthStep < 1 ? 5 : growthStep), m_capacity(capacity < 1 ? 5 : capacity), m_count(0), m_items(nullptr)
{
    m_items = allocateSlots(m_capacity);
    if (!m_items)
        m_capacity = 0;
}

ExtPtrArray::~ExtPtrArray()
{
    if (m_ownsItems)
        smallBlockFree(m_items);
}


bool ExtPtrArray::ensureItems()
{
    if (m_items)
        return true;
    m_ownsItems = true;
    m_items = allocateSlots(5);
    m_capacity = m_items ? 5 : 0;
    return m_items != nullptr;
}

bool ExtPtrArray::incrementSize()
{
    if (!ensureItems())
        return false;
    int count = m_count + 1;
    if (count <= m_capacity) {
        m_count = count;
        return true;
    }
    int64_t wanted = (int64_t)m_capacity + m_growthStep;
    int capacity = wanted > INT32_MAX / (int)sizeof(KitObject*) ? count + 1 : (int)wanted;
    if (capacity <= count)
        capacity = count + 1;
    // No smaller array when this one is refused: one that only just fits would be copied again by
    // the next append.
    KitObject** slots = allocateSlots(capacity);
    if (!slots)
        return false;
    memcpy(slots, m_items, m_count * sizeof(KitObject*));
    if (m_ownsItems)
        smallBlockFree(m_items);
    m_ownsItems = true;
    m_items = slots;
    m_capacity = capacity;
    m_count = count;
    if (m_growthStep < capacity)
        m_growthStep = capacity;
    return true;
}

bool ExtPtrArray::appendGrowing(KitObject* p)
{
    if (!incrementSize())
        return false;
    m_items[m_count - 1] = p;
    return true;
}

KitObject* ExtPtrArray::removeAt(int i)
{
    if (!m_items || i < 0 || i >= m_count)
        return nullptr;
    KitObject* p = m_items[i];
    memmove(m_items + i, m_items + i + 1, (m_count - i - 1) * sizeof(KitObject*));
    m_count--;
    m_items[m_count] = nullptr;
    return p;
}

KitObject* ExtPtrArray::pop()
{
    if (m_count <= 0 || !m_items)
        return nullptr;
    KitObject* p = m_items[--m_count];
    m_items[m_count] = nullptr;
    return p;
}

void ExtPtrArray::removeAll() { m_count = 0; }

void ExtPtrArray::deleteAll()
{
    for (int i = 0; i < m_count; i++) {
        if (m_items[i]) {
            delete m_items[i];
            m_items[i] = nullptr;
        }
    }
    m_count = 0;
}
