// ExtIntArray: growth by a step that doubles with the array, capped at 500000 values.
#include "kit/ExtIntArray.h"
#include <cstring>
#include <new>
#include "kit/SmallBlocks.h"

namespace {
const int kMaxIntStep = 500000;
}

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
    int capacity = m_capacity + m_growthStep;
    if (capacity < count)
        capacity = count;
    int32_t* values = (uint64_t)capacity * 4 > 0xFFFFFFFFu ? nullptr : static_cast<int32_t*>(smallBlockAlloc(capacity * sizeof(int32_t)));
    if (!values)
        return false;
    if (m_items)
        memcpy(values, m_items, m_count * sizeof(int32_t));
    smallBlockFree(m_items);
    m_items = values;
    m_capacity = capacity;
    m_count = count;
    if (m_growthStep < kMaxIntStep)
        m_growthStep = capacity < kMaxIntStep ? capacity : kMaxIntStep;
    return true;
}

void ExtIntArray::append(int32_t v)
{
    if (incrementSize())
        m_items[m_count - 1] = v;
}

void ExtIntArray::removeAt(int i)
{
    if (i < 0 || i >= m_count)
        return;
    memmove(m_items + i, m_items + i + 1, (m_count - i - 1) * sizeof(int32_t));
    m_count--;
}
