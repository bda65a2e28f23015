// Collection classes of the framework: growable arrays (CArray and its typed relatives) and the
// hash map CMap, with the member names application code expects. Arrays sit on std::vector; the map
// is a chained hash table whose POSITION is a node pointer, so an entry may be removed while walking.
#pragma once
#include <windows.h>
#include <vector>
#include <cstddef>
#include <utility>
#include "framework/CString.h"
#include "framework/Object.h"

// A growable array of TYPE; ARG_TYPE is how elements are passed in (by value or by reference).
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray
{
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_items.empty(); }
    // growBy is accepted for compatibility; the vector grows geometrically.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) { m_items.resize(newSize < 0 ? 0 : static_cast<size_t>(newSize)); }
    void RemoveAll() { m_items.clear(); }

    TYPE& operator[](INT_PTR index) { return m_items[static_cast<size_t>(index)]; }
    const TYPE& operator[](INT_PTR index) const { return m_items[static_cast<size_t>(index)]; }
    const TYPE& GetAt(INT_PTR index) const { return m_items[static_cast<size_t>(index)]; }
    void SetAt(INT_PTR index, ARG_TYPE value) { m_items[static_cast<size_t>(index)] = value; }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

    // Grows the array when index lies beyond its end.
    void SetAtGrow(INT_PTR index, ARG_TYPE value)
    {
        if (index >= GetSize())
            SetSize(index + 1);
        m_items[static_cast<size_t>(index)] = value;
    }
    INT_PTR Add(ARG_TYPE value) { m_items.push_back(value); return GetSize() - 1; }
    // Inserts count copies at index; an index beyond the end grows the array first.
    void InsertAt(INT_PTR index, ARG_TYPE value, INT_PTR count = 1)
    {
        if (index > GetSize())
            SetSize(index);
        m_items.insert(m_items.begin() + index, static_cast<size_t>(count), value);
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1)
    {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void Copy(const CArray& other) { m_items = other.m_items; }

private:
    std::vector<TYPE> m_items;
};

class CObArray : public CArray<CObject*, CObject*> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CStringArray : public CArray<CString, const CString&> {};

// An array of pointers of one type over a pointer array base.
template <class BASE, class TYPE>
class CTypedPtrArray : public BASE
{
public:
    TYPE GetAt(INT_PTR index) const { return static_cast<TYPE>(BASE::GetAt(index)); }
    TYPE operator[](INT_PTR index) const { return static_cast<TYPE>(BASE::GetAt(index)); }
    void SetAt(INT_PTR index, TYPE value) { BASE::SetAt(index, value); }
    void SetAtGrow(INT_PTR index, TYPE value) { BASE::SetAtGrow(index, value); }
    INT_PTR Add(TYPE value) { return BASE::Add(value); }
    void InsertAt(INT_PTR index, TYPE value, INT_PTR count = 1) { BASE::InsertAt(index, value, count); }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE::GetData()); }
};

// Hash value of a map key; integral keys hash to themselves.
template <class KEY>
inline UINT HashKey(KEY key) { return static_cast<UINT>(static_cast<DWORD_PTR>(key)); }

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap
{
public:
    CMap() = default;
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() { RemoveAll(); }

    // Sets the bucket count of an empty map; the table grows by itself as entries are added.
    void InitHashTable(UINT size, BOOL = TRUE)
    {
        if (m_count == 0 && size > 0)
            m_buckets.assign(size, nullptr);
    }
    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        const Node* node = Find(key);
        if (!node)
            return FALSE;
        value = node->value;
        return TRUE;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
    VALUE& operator[](ARG_KEY key)
    {
        if (Node* node = Find(key))
            return node->value;
        if (m_buckets.empty())
            m_buckets.assign(17, nullptr);
        else if (static_cast<size_t>(m_count) >= m_buckets.size() * 2)
            Rehash(m_buckets.size() * 4 + 1);
        Node* node = new Node{nullptr, key, VALUE()};
        size_t b = Bucket(key);
        node->next = m_buckets[b];
        m_buckets[b] = node;
        ++m_count;
        return node->value;
    }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        Node** link = &m_buckets[Bucket(key)];
        for (; *link; link = &(*link)->next)
        {
            if ((*link)->key == key)
            {
                Node* gone = *link;
                *link = gone->next;
                delete gone;
                --m_count;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (Node*& head : m_buckets)
        {
            while (head)
            {
                Node* next = head->next;
                delete head;
                head = next;
            }
        }
        m_count = 0;
    }

    // Walking: the position names the next entry; removing the entry just returned is safe.
    POSITION GetStartPosition() const { return ToPosition(FirstFrom(0)); }
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const
    {
        const Node* node = reinterpret_cast<const Node*>(pos);
        key = node->key;
        value = node->value;
        const Node* next = node->next ? node->next : FirstFrom(Bucket(node->key) + 1);
        pos = ToPosition(next);
    }

private:
    struct Node
    {
        Node* next;
        KEY key;
        VALUE value;
    };

    size_t Bucket(ARG_KEY key) const { return HashKey<KEY>(key) % m_buckets.size(); }
    Node* Find(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        for (Node* node = m_buckets[Bucket(key)]; node; node = node->next)
            if (node->key == key)
                return node;
        return nullptr;
    }
    const Node* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket])
                return m_buckets[bucket];
        return nullptr;
    }
    static POSITION ToPosition(const Node* node) { return reinterpret_cast<POSITION>(const_cast<Node*>(node)); }
    void Rehash(size_t size)
    {
        std::vector<Node*> old(size, nullptr);
        old.swap(m_buckets);
        for (Node* head : old)
        {
            while (head)
            {
                Node* next = head->next;
                size_t b = Bucket(head->key);
                head->next = m_buckets[b];
                m_buckets[b] = head;
                head = next;
            }
        }
    }

    std::vector<Node*> m_buckets;
    INT_PTR m_count = 0;
};
