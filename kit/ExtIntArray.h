// ExtIntArray: a growable array of 32-bit integers.
#pragma once
#include <cstdint>

class ExtIntArray
{
public:
    ExtIntArray(int initialCapacity, int growthStep);
    virtual ~ExtIntArray();
    ExtIntArray(const ExtIntArray&) = delete;
    ExtIntArray& operator=(const ExtIntArray&) = delete;

    int getSize() const { return m_count; }
    int getCapacity() const { return m_capacity; }
    int32_t getAt(int i) const;
    // False, nothing added, when the array could not grow.
    bool append(int32_t v);
    void removeAt(int i);

private:
    bool incrementSize();

    int m_growthStep;
    int m_capacity;
    int m_count;
    int32_t* m_items;
};
