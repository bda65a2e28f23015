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
    ExtPtrArray(KitObject** slots, int capacity, int growthStep);
    virtual ~ExtPtrArray();
    ExtPtrArray(const ExtPtrArray&) = delete;
    ExtPtrArray& operator=(const ExtPtrArray&) = delete;

    int getSize() const { return m_count; }
    int getCapacity() const { return m_capacity; }
    int getGrowthStep() const { return m_growthStep; }
    KitObject* getAt(int i) const;
    KitObject* lastElement() const;
    // False, nothing added, when the array could not grow.
    bool appendPtr(KitObject* p);
    KitObject* removeAt(int i);
    KitObject* pop();
    void removeAll();
    void deleteAll();

private:
    bool ensureItems();
    bool incrementSize();

    int m_growthStep;
    int m_capacity;
    int m_count;
    bool m_ownsItems = true;
    KitObject** m_items;
};
