// CK_List: appending at the tail and deleting from the tail back.
#include "kit/CK_List.h"
#include <new>

CK_List::~CK_List() { deleteItems(); }

void CK_List::appendData(void* p)
{
    CK_ListItem* item = new (std::nothrow) CK_ListItem(p);
    appendItem(item);
}

void CK_List::appendItem(CK_ListItem* item)
{
    if (!item)
        return;
    if (!m_tail) {
        item->setPrev(nullptr);
        m_head = item;
    } else {
        item->setPrev(m_tail);
        m_tail->setNext(item);
    }
    item->setNext(nullptr);
    m_tail = item;
    m_count++;
}

void CK_List::deleteItems()
{
    CK_ListItem* item = m_tail;
    while (item) {
        CK_ListItem* prev = item->getPrev();
        delete item;
        item = prev;
    }
    m_count = 0;
    m_tail = m_head = nullptr;
}

void CK_List::deleteItemsAndData()
{
    CK_ListItem* item = m_tail;
    while (item) {
        CK_ListItem* prev = item->getPrev();
        delete[] (unsigned char*)item->getData();
        delete item;
        item = prev;
    }
    m_count = 0;
    m_tail = m_head = nullptr;
}
