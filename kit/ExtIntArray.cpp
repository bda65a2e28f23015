// ExtIntArray: growth by a step that doubles with the array, so long lists are copied a bounded
// number of times per value.
#include "kit/ExtIntArray.h"
#include <cstdint>
#include <cstring>
#include <new>
#include "kit/SmallBlocks.h"

ExtIntArray::ExtIntArray(int initialCapacity, int growthStep)
    : m_growthStep(growthStep < 1 ? 1 : growthStep), m_capacity(initialCapacity < 1 ? 2 : initialCapacity), m_count(0), m_items(nullptr)
{
    m_items = static_cast<int32_t*>(smallBlockAlloc(m_capacity * sizeof(int32_t)));
    if (!m_items)
        m_capacity = 0;
}

ExtIntArray::~ExtIntArray() { smallBlockFree(m_items); }

int32_t ExtIntArray::getAt(int i) const
{
    if (i < 0 || i >= m_count || !m_items)
        return 0;
    return m_items[i];
}

bool ExtIntArray::incrementSize()
{
    int count = m_count + 1;
    if (count <= m_capacity) {
        m_count = count;
        return true;
    }
    int64_t wanted = (int64_t)m_capacity + m_growthStep;
    int capacity = wanted > INT32_MAX / (int)sizeof(int32_t) ? count : (int)wanted;
    if (capacity < count)
        capacity = count;
    // No smaller array when this one is refused: one that only just fits would be copied again by
    // the next append.
    int32_t* values = static_cast<int32_t*>(smallBlockAlloc(capacity * sizeof(int32_t)));
    if (!values)
        return false;
    if (m_items)
        memcpy(values, m_items, m_count * sizeof(int32_t));
    smallBlockFree(m_items);
    m_items = values;
    m_capacity = capacity;
    m_count = count;
    if (m_growthStep < capacity)
        m_growthStep = capacity;
    return true;
}

bool ExtIntArray::append(int32_t v)
{
    if (!incrementSize())
        return false;
    m_items[m_count - 1] = v;
    return true;
}

void ExtIntArray::removeAt(int i)
{
    if (i < 0 || i >= m_count)
        return;
    memmove(m_items + i, m_items + i + 1, (m_count - i - 1) * sizeof(int32_t));
    m_count--;
}
