// ExtPtrArray: a growable array of object pointers that never owns the objects it lists
// (only deleteAll deletes them).
#pragma once
#include "kit/KitObject.h"

class ExtPtrArray
{
public:
    ExtPtrArray();
    ExtPtrArray(int capacity, int growthStep);
    // Starts on the caller's slots (capacity of them, zeroed), which it uses until it grows and
    // never frees: an owner can place the first slots in the same block as the array.
    // Inline: the tree makes one for every element that has children. The first count slots are
    // in use already.
    ExtPtrArray(KitObject** slots, int capacity, int growthStep, int count = 0)
        : m_growthStep(growthStep < 1 ? 5 : growthStep), m_capacity(slots ? capacity : 0), m_count(slots ? count : 0),
          m_ownsItems(false), m_items(slots)
    {
    }
    virtual ~ExtPtrArray();
    ExtPtrArray(const ExtPtrArray&) = delete;
    ExtPtrArray& operator=(const ExtPtrArray&) = delete;

    int getSize() const { return m_count; }
    int getCapacity() const { return m_capacity; }
    int getGrowthStep() const { return m_growthStep; }
    // Inline, with appendPtr's common case: the tree calls them for every element it builds.
    KitObject* getAt(int i) const { return i < 0 || i >= m_count || !m_items ? nullptr : m_items[i]; }
    KitObject* lastElement() const { return m_count > 0 ? getAt(m_count - 1) : nullptr; }
    // False, nothing added, when the array could not grow.
    bool appendPtr(KitObject* p)
    {
        if (m_items && m_count < m_capacity) {
            m_items[m_count++] = p;
            return true;
        }
        return appendGrowing(p);
    }
    KitObject* removeAt(int i);
    KitObject* pop();
    void removeAll();
    void deleteAll();

private:
    bool ensureItems();
    bool incrementSize();
    bool appendGrowing(KitObject* p);

    int m_growthStep;
    int m_capacity;
    int m_count;
    bool m_ownsItems = true;
    KitObject** m_items;
};
