// Attribute pairs of one element: lengths in an integer array, names and values back to back in one
// text, in order of insertion, duplicates kept.
#include "xml/TreeNode.h"
#include <string.h>

AttributeSet::~AttributeSet()
{
    poolDelete(m_lengths);
    poolDelete(m_data);
}

bool AttributeSet::ensureArrays()
{
    if (!m_lengths)
        m_lengths = poolNew<ExtIntArray>(6, 15);
    if (!m_data)
        m_data = poolNew<kit::StringBuffer>(50);
    return m_lengths && m_data;
}

void AttributeSet::addAttribute(const char* name, const char* value)
{
    if (!name || !*name)
        return;
    addAttributeN(name, (int)strlen(name), value, value ? (int)strlen(value) : 0);
}

void AttributeSet::addAttributeN(const char* name, int nameLength, const char* value, int valueLength)
{
    if (!name || nameLength <= 0 || !ensureArrays())
        return;
    if (!value)
        valueLength = 0;
    m_lengths->append(nameLength);
    m_data->appendN(name, nameLength);
    m_lengths->append(valueLength);
    if (valueLength > 0)
        m_data->appendN(value, valueLength);
}

int AttributeSet::getNumAttributes() const
{
    return m_lengths ? m_lengths->getSize() / 2 : 0;
}

void AttributeSet::getPair(int index, const char*& name, int& nameLength, const char*& value, int& valueLength) const
{
    int offset = 0;
    for (int i = 0; i < 2 * index; ++i)
        offset += m_lengths->getAt(i);
    nameLength = m_lengths->getAt(2 * index);
    valueLength = m_lengths->getAt(2 * index + 1);
    name = sbText(*m_data) + offset;
    value = name + nameLength;
}

int AttributeSet::findPair(const char* name, int& offset) const
{
    offset = 0;
    if (!name || !*name || getNumAttributes() == 0)
        return -1;
    int length = (int)strlen(name);
    const char* data = sbText(*m_data);
    int pairs = getNumAttributes();
    for (int i = 0; i < pairs; ++i) {
        int nameLength = m_lengths->getAt(2 * i);
        if (nameLength == length && memcmp(data + offset, name, length) == 0)
            return i;
        offset += nameLength + m_lengths->getAt(2 * i + 1);
    }
    return -1;
}

bool AttributeSet::getAttribute(const char* name, kit::StringBuffer& out) const
{
    out.clear();
    int offset;
    int index = findPair(name, offset);
    if (index < 0)
        return false;
    int nameLength = m_lengths->getAt(2 * index);
    int valueLength = m_lengths->getAt(2 * index + 1);
    if (valueLength > 0)
        out.appendN(sbText(*m_data) + offset + nameLength, valueLength);
    return true;
}

bool AttributeSet::hasAttribute(const char* name) const
{
    int offset;
    return findPair(name, offset) >= 0;
}

bool AttributeSet::removeFirst(const char* name)
{
    int offset;
    int index = findPair(name, offset);
    if (index < 0)
        return false;
    int total = m_lengths->getAt(2 * index) + m_lengths->getAt(2 * index + 1);
    m_data->removeRange(offset, total);
    m_lengths->removeAt(2 * index + 1);
    m_lengths->removeAt(2 * index);
    return true;
}

void AttributeSet::removeAttribute(const char* name)
{
    for (int i = 0; i < 101 && removeFirst(name); ++i) {
    }
}
