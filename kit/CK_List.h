// CK_List and CK_ListItem: a doubly linked list of data pointers that the list does not own
// (deleteItemsAndData frees data blocks explicitly).
#pragma once

class CK_ListItem
{
public:
    explicit CK_ListItem(void* data = nullptr) : m_data(data), m_prev(nullptr), m_next(nullptr) {}
    virtual ~CK_ListItem() {}
    virtual bool dataEquals(const CK_ListItem* other) const { return other && other->m_data == m_data; }

    void* getData() const { return m_data; }
    CK_ListItem* getPrev() const { return m_prev; }
    CK_ListItem* getNext() const { return m_next; }
    void setPrev(CK_ListItem* item) { m_prev = item; }
    void setNext(CK_ListItem* item) { m_next = item; }
    void setData(void* data) { m_data = data; }

private:
    void* m_data;
    CK_ListItem* m_prev;
    CK_ListItem* m_next;
};

class CK_List
{
public:
    CK_List() : m_count(0), m_tail(nullptr), m_head(nullptr) {}
    virtual ~CK_List();
    CK_List(const CK_List&) = delete;
    CK_List& operator=(const CK_List&) = delete;

    int getCount() const { return m_count; }
    CK_ListItem* getTail() const { return m_tail; }
    CK_ListItem* getHead() const { return m_head; }
    void appendData(void* p);
    void appendItem(CK_ListItem* item);
    void deleteItems();
    // Frees each item's data block (allocated with new[] of bytes) along with the item.
    void deleteItemsAndData();

private:
    int m_count;
    CK_ListItem* m_tail;
    CK_ListItem* m_head;
};
