// The three-form string: setters keep one form, getters convert lazily through the converter.
#include "xml/XString.h"
#include "xml/PageConvert.h"
#include <windows.h>
#include <string.h>

namespace {
const unsigned char kZeroUnit[2] = {0, 0};
const int kUtf8Page = 65001;
const int kUtf16Page = 1200;

size_t unitLength(const wchar_t* units)
{
    size_t n = 0;
    while (units[n])
        ++n;
    return n;
}
} // namespace

XString::XString()
{
    clear();
}

void XString::setOnlyValid(bool utf16, bool ansi, bool utf8)
{
    m_utf16Valid = utf16;
    m_ansiValid = ansi;
    m_utf8Valid = utf8;
}

uint32_t XString::utf16ByteLength() const
{
    uint32_t size = const_cast<DataBuffer&>(m_utf16).getSize();
    return size >= 2 ? size - 2 : 0;
}

void XString::clear()
{
    m_state = Undecided;
    m_lost = false;
    m_ansi.clear();
    m_utf8.clear();
    // The empty UTF-16 form is its terminator alone, in a block of just that size: left to the
    // buffer's growth step every string would hold 20,000 bytes, and a handle holds ten strings.
    m_utf16.clear();
    if (m_utf16.getCapacity() != sizeof kZeroUnit || m_utf16.isBorrowed())
        m_utf16.reallocate(sizeof kZeroUnit);
    m_utf16.append(kZeroUnit, 2);
    setOnlyValid(true, true, true);
    m_ansi.shrinkToFit();
    m_utf8.shrinkToFit();
}

void XString::setFromAnsi(const char* text)
{
    m_lost = false;
    if (!text || !*text) {
        clear();
        m_state = Exact;
        return;
    }
    m_ansi.setString(text);
    m_ansi.shrinkToFit();
    setOnlyValid(false, true, false);
    m_state = Exact;
}

void XString::setFromUtf8(const char* text)
{
    m_lost = false;
    if (!text || !*text) {
        clear();
        return;
    }
    m_utf8.setString(text);
    m_utf8.shrinkToFit();
    setOnlyValid(false, false, true);
    m_state = Undecided;
}

kit::StringBuffer& XString::beginUtf8Writing()
{
    m_utf8.clear();
    return m_utf8;
}

void XString::endUtf8Writing()
{
    m_lost = false;
    if (sbLength(m_utf8) == 0) {
        clear();
        return;
    }
    setOnlyValid(false, false, true);
    m_state = Undecided;
}

void XString::setFromText(const char* text, bool isUtf8)
{
    if (isUtf8)
        setFromUtf8(text);
    else
        setFromAnsi(text);
}

void XString::setFromUtf16(const wchar_t* units)
{
    m_lost = false;
    if (!units || !units[0]) {
        clear();
        return;
    }
    m_utf16.clear();
    m_utf16.append(reinterpret_cast<const unsigned char*>(units), (uint32_t)((unitLength(units) + 1) * 2));
    setOnlyValid(true, false, false);
    m_state = Undecided;
}

void XString::makeUtf16Valid()
{
    if (m_utf16Valid)
        return;
    if (!m_utf8Valid && !m_ansiValid) {
        clear();
        return;
    }
    m_utf16.clear();
    if (m_utf8Valid)
        convertPages(kUtf8Page, kUtf16Page, sbText(m_utf8), (uint32_t)sbLength(m_utf8), m_utf16);
    else
        convertPages((int)GetACP(), kUtf16Page, sbText(m_ansi), (uint32_t)sbLength(m_ansi), m_utf16);
    m_utf16.append(kZeroUnit, 2);
    m_lost = m_lost || m_utf16.lostBytes();
    m_utf16Valid = true;
}

void XString::makeAnsiValid()
{
    if (m_ansiValid)
        return;
    bool exact = true;
    if (m_utf8Valid) {
        DataBuffer scratch;
        exact = convertPages(kUtf8Page, (int)GetACP(), sbText(m_utf8), (uint32_t)sbLength(m_utf8), scratch);
        scratch.appendChar(0);
        m_lost = m_lost || scratch.lostBytes();
        m_ansi.takeDataBuffer(scratch);
    } else if (m_utf16Valid) {
        m_ansi.clear();
        if (m_utf16.getSize() > 3) {
            DataBuffer scratch;
            exact = convertPages(kUtf16Page, (int)GetACP(), m_utf16.getData(), utf16ByteLength(), scratch);
            m_lost = m_lost || scratch.lostBytes();
            m_ansi.appendN(reinterpret_cast<const char*>(scratch.getData()), (int)scratch.getSize());
        }
        m_ansi.shrinkToFit();
    } else {
        clear();
        return;
    }
    m_ansiValid = true;
    m_state = exact ? Exact : NotExact;
}

void XString::makeUtf8Valid()
{
    if (m_utf8Valid)
        return;
    // An ANSI form known to have lost characters is no source while the UTF-16 form stands.
    if (m_ansiValid && !(m_state == NotExact && m_utf16Valid)) {
        DataBuffer scratch;
        uint32_t n = (uint32_t)sbLength(m_ansi);
        scratch.ensureBuffer(n + n / 16 + 4);
        convertPages((int)GetACP(), kUtf8Page, sbText(m_ansi), n, scratch);
        scratch.appendChar(0);
        m_lost = m_lost || scratch.lostBytes();
        m_utf8.takeDataBuffer(scratch);
    } else if (m_utf16Valid) {
        m_utf8.clear();
        if (m_utf16.getSize() > 3) {
            DataBuffer scratch;
            convertPages(kUtf16Page, kUtf8Page, m_utf16.getData(), utf16ByteLength(), scratch);
            m_lost = m_lost || scratch.lostBytes();
            m_utf8.appendN(reinterpret_cast<const char*>(scratch.getData()), (int)scratch.getSize());
        }
        m_utf8.shrinkToFit();
    } else {
        clear();
        return;
    }
    m_utf8Valid = true;
}

const wchar_t* XString::getUtf16()
{
    makeUtf16Valid();
    return reinterpret_cast<const wchar_t*>(m_utf16.getData());
}

const char* XString::getAnsi()
{
    makeAnsiValid();
    return sbText(m_ansi);
}

const char* XString::getUtf8()
{
    makeUtf8Valid();
    return sbText(m_utf8);
}

bool XString::isAnsiExact()
{
    if (m_state == Exact)
        return true;
    if (m_state == NotExact)
        return false;
    if (m_utf16Valid || m_utf8Valid) {
        DataBuffer scratch;
        bool exact;
        if (m_utf16Valid)
            exact = convertPages(kUtf16Page, (int)GetACP(), m_utf16.getData(), utf16ByteLength(), scratch);
        else
            exact = convertPages(kUtf8Page, (int)GetACP(), sbText(m_utf8), (uint32_t)sbLength(m_utf8), scratch);
        m_ansi.clear();
        m_ansi.appendN(reinterpret_cast<const char*>(scratch.getData()), (int)scratch.getSize());
        m_ansi.shrinkToFit();
        m_ansiValid = true;
        m_state = exact ? Exact : NotExact;
        return exact;
    }
    return true;
}

int XString::getNumChars()
{
    if (m_ansiValid)
        return sbLength(m_ansi);
    makeUtf16Valid();
    return (int)(utf16ByteLength() / 2);
}

bool XString::beginsWithUtf8(const char* s)
{
    makeUtf8Valid();
    return m_utf8.beginsWith(s);
}

void XString::appendAnsi(const char* s)
{
    makeAnsiValid();
    setOnlyValid(false, true, false);
    m_ansi.append(s);
}

void XString::appendUtf8(const char* s)
{
    makeUtf8Valid();
    setOnlyValid(false, false, true);
    m_utf8.append(s);
}

void XString::appendUtf16(const wchar_t* units)
{
    makeUtf16Valid();
    setOnlyValid(true, false, false);
    if (m_utf16.getSize() > 1)
        m_utf16.shorten(2);
    if (units)
        m_utf16.append(reinterpret_cast<const unsigned char*>(units), (uint32_t)((unitLength(units) + 1) * 2));
    else
        m_utf16.append(kZeroUnit, 2);
}

void XString::appendX(XString& other)
{
    if (other.m_utf8Valid)
        appendUtf8(sbText(other.m_utf8));
    else if (other.m_utf16Valid)
        appendUtf16(reinterpret_cast<const wchar_t*>(other.m_utf16.getData()));
    else
        appendAnsi(sbText(other.m_ansi));
}

void XString::toLowerCase()
{
    makeUtf16Valid();
    m_utf16.toLowerUtf16();
    setOnlyValid(true, false, false);
}

void XString::replaceAnsiChar(char a, char b)
{
    char pair[2][2] = {{a, 0}, {b, 0}};
    XString ua, ub;
    ua.setFromAnsi(pair[0]);
    ub.setFromAnsi(pair[1]);
    wchar_t from = ua.getUtf16()[0];
    wchar_t to = ub.getUtf16()[0];
    makeUtf16Valid();
    m_utf16.replaceUtf16Unit(from, to);
    setOnlyValid(true, false, false);
}
