// kit::StringBuffer: construction, the three growth rules, editing and comparison.
#include "kit/StringBuffer.h"
#include <windows.h>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <new>
#include "kit/DataBuffer.h"
#include "kit/SmallBlocks.h"

namespace {
// The shared empty text of buffers whose allocation failed; never freed, only ever holds 0.
char g_sharedEmpty[1] = {0};


bool isTrimByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}

namespace kit {

char* StringBuffer::allocate(int n)
{
    if (n <= 0)
        return nullptr;
    return static_cast<char*>(smallBlockAlloc((size_t)n));
}

void StringBuffer::freeBlock()
{
    if (m_text && m_text != g_sharedEmpty)
        smallBlockFree(m_text);
    m_text = nullptr;
}

void StringBuffer::setEmptyShared()
{
    m_text = g_sharedEmpty;
    m_capacity = 1;
    m_length = 0;
}

StringBuffer::StringBuffer() : m_integrity(kIntact), m_flag(false), m_text(nullptr), m_capacity(0), m_length(0), m_step(202)
{
    m_text = allocate(202);
    if (m_text) {
        m_capacity = 202;
    } else if ((m_text = allocate(4)) != nullptr) {
        m_capacity = 4;
    } else {
        setEmptyShared();
        return;
    }
    m_text[0] = 0;
}

StringBuffer::StringBuffer(const char* s) : m_integrity(kIntact), m_flag(false), m_text(nullptr), m_capacity(0), m_length(0), m_step(200)
{
    int n = s ? (int)strlen(s) : 0;
    int size = s ? n + 1 : 4;
    m_text = allocate(size);
    if (!m_text) {
        setEmptyShared();
        m_flag = n > 0;
        return;
    }
    m_capacity = size;
    if (s)
        memcpy(m_text, s, n);
    m_text[n] = 0;
    m_length = n;
}

StringBuffer::StringBuffer(const StringBuffer& other)
    : KitObject(), m_integrity(kIntact), m_flag(other.m_flag), m_text(nullptr), m_capacity(0), m_length(0), m_step(200)
{
    other.checkIntegrity();
    m_text = allocate(other.m_length + 1);
    if (!m_text) {
        setEmptyShared();
        m_flag = m_flag || other.m_length > 0;
        return;
    }
    m_capacity = other.m_length + 1;
    memcpy(m_text, other.m_text, other.m_length);
    m_text[other.m_length] = 0;
    m_length = other.m_length;
}

StringBuffer::StringBuffer(const char* bytes, int length, int growthStep)
    : m_integrity(kIntact), m_flag(false), m_text(nullptr), m_capacity(0), m_length(0), m_step(growthStep > 0 ? growthStep : 200)
{
    if (!bytes || length < 0)
        length = 0;
    m_text = allocate(length + 1);
    if (!m_text) {
        setEmptyShared();
        m_flag = length > 0;
        return;
    }
    m_capacity = length + 1;
    if (length)
        memcpy(m_text, bytes, length);
    m_text[length] = 0;
    m_length = length;
}

StringBuffer::StringBuffer(int initialCapacity)
    : m_integrity(kIntact), m_flag(false), m_text(nullptr), m_capacity(0), m_length(0), m_step(initialCapacity > 0 ? initialCapacity : 200)
{
    m_text = allocate(m_step);
    if (!m_text) {
        setEmptyShared();
        return;
    }
    m_capacity = m_step;
    m_text[0] = 0;
}

StringBuffer::~StringBuffer()
{
    m_integrity = 0;
    freeBlock();
    m_capacity = m_length = m_step = 0;
    // Poison the fields so that a later use of the dead object fails its test or faults.
    memset((void*)&m_text, 0xDD, sizeof m_text);
    memset((void*)&m_capacity, 0xDD, sizeof m_capacity);
    memset((void*)&m_length, 0xDD, sizeof m_length);
    memset((void*)&m_step, 0xDD, sizeof m_step);
}

void StringBuffer::checkIntegrity() const
{
    if (m_integrity != kIntact)
        corruptObjectStop();
}

// Moves the text into a fresh block of newCapacity bytes; false (nothing changed) when that fails.
bool StringBuffer::growBlock(int newCapacity)
{
    char* block = allocate(newCapacity);
    if (!block)
        return false;
    memcpy(block, m_text, m_length);
    block[m_length] = 0;
    freeBlock();
    m_text = block;
    m_capacity = newCapacity;
    return true;
}

// Makes room for n more bytes and the terminator: a block with the growth step (and extra bytes)
// spare, at least half the old block, so that growth stays geometric even where the step is not
// adjusted (room made ahead of appends). False, nothing changed, when that block is refused or the
// text would pass 2 GB: a block that only just fits would be copied again by the next append, and
// a text near the memory limit would then cost a whole copy per append.
bool StringBuffer::growFor(int n, int extra)
{
    int64_t needed = (int64_t)m_length + n + 1;
    if (needed > INT32_MAX)
        return false;
    int spare = m_step > m_capacity / 2 ? m_step : m_capacity / 2;
    int64_t preferred = (int64_t)m_length + n + spare + extra;
    if (preferred > INT32_MAX)
        preferred = INT32_MAX;
    return growBlock((int)(preferred > needed ? preferred : needed));
}

// The step follows half the block, so that a text that keeps growing doubles its block each time
// and costs a bounded number of copies per byte however long it gets.
void StringBuffer::adjustStep()
{
    if (m_step < m_capacity)
        m_step = m_capacity / 2;
}

void StringBuffer::clear()
{
    checkIntegrity();
    m_text[0] = 0;
    m_length = 0;
    m_flag = false;
}

bool StringBuffer::pointsInside(const char* p) const { return p >= m_text && p < m_text + m_capacity; }

void StringBuffer::append(const char* s)
{
    checkIntegrity();
    if (!s)
        return;
    if (pointsInside(s)) {
        // Our own text: growing would free it before it is copied.
        StringBuffer copy(s);
        append(copy.m_text);
        m_flag = m_flag || copy.m_flag;
        return;
    }
    int n = (int)strlen(s);
    if (n == 0) {
        m_text[m_length] = 0;
        return;
    }
    if (m_length + n >= m_capacity) {
        if (!growFor(n, 1)) {
            m_flag = true;
            return;
        }
        adjustStep();
    }
    memcpy(m_text + m_length, s, n + 1);
    m_length += n;
}

void StringBuffer::appendN(const char* p, int n)
{
    checkIntegrity();
    if (!p || n <= 0)
        return;
    if (pointsInside(p)) {
        StringBuffer copy(p, n, 0);
        appendN(copy.m_text, copy.m_length);
        m_flag = m_flag || copy.m_flag;
        return;
    }
    if (m_length + n >= m_capacity) {
        if (!growFor(n, 0)) {
            m_flag = true;
            return;
        }
        adjustStep();
    }
    memmove(m_text + m_length, p, n);
    m_length += n;
    m_text[m_length] = 0;
}

void StringBuffer::appendChar(char b)
{
    checkIntegrity();
    if (m_length + 1 >= m_capacity) {
        if (!growFor(1, 1)) {
            m_flag = true;
            return;
        }
        adjustStep();
    }
    m_text[m_length++] = b;
    m_text[m_length] = 0;
}

void StringBuffer::appendCharN(char b, int n)
{
    checkIntegrity();
    for (int i = 0; i < n; i++)
        appendChar(b);
}

void StringBuffer::appendSb(const StringBuffer& other)
{
    checkIntegrity();
    appendN(other.m_text, other.m_length);
}

void StringBuffer::prepend(const char* s)
{
    checkIntegrity();
    if (!s)
        return;
    if (pointsInside(s)) {
        StringBuffer copy(s);
        prepend(copy.m_text);
        m_flag = m_flag || copy.m_flag;
        return;
    }
    int n = (int)strlen(s);
    if (n == 0) {
        m_text[m_length] = 0;
        return;
    }
    if (m_length + n >= m_capacity && !growFor(n, 1)) {
        m_flag = true;
        return;
    }
    memmove(m_text + n, m_text, m_length + 1);
    memcpy(m_text, s, n);
    m_length += n;
}

bool StringBuffer::ensureRoom(int n)
{
    checkIntegrity();
    if (m_length + n < m_capacity)
        return true;
    return n >= 0 && growFor(n, 1);
}

void StringBuffer::setString(const char* s)
{
    checkIntegrity();
    StringBuffer copy(s);
    clear();
    appendN(copy.m_text, copy.m_length);
    m_flag = m_flag || copy.m_flag;
}

void StringBuffer::setSb(const StringBuffer& other)
{
    checkIntegrity();
    if (&other == this)
        return;
    clear();
    appendN(other.m_text, other.m_length);
}

void StringBuffer::takeDataBuffer(DataBuffer& db)
{
    checkIntegrity();
    clear();
    if (db.getSize() < 2 || !db.getData())
        return;
    char* block = (char*)db.getData();
    if (db.isBorrowed()) {
        // A borrowed block is not ours to adopt: copy it instead.
        appendN(block, (int)db.getSize() - 1);
        return;
    }
    freeBlock();
    m_text = block;
    m_capacity = (int)db.getCapacity();
    m_length = (int)db.getSize() - 1;
    m_text[m_length] = 0;
    m_step = 1024;
    db.forget();
}

void StringBuffer::shrinkToFit()
{
    checkIntegrity();
    if (m_capacity > m_length + 4)
        growBlock(m_length + 1);
}

void StringBuffer::trim()
{
    checkIntegrity();
    int end = m_length;
    while (end > 0 && isTrimByte(m_text[end - 1]))
        end--;
    int start = 0;
    while (start < end && isTrimByte(m_text[start]))
        start++;
    if (start > 0)
        memmove(m_text, m_text + start, end - start);
    m_length = end - start;
    m_text[m_length] = 0;
}

void StringBuffer::replaceChar(char a, char b)
{
    checkIntegrity();
    for (int i = 0; i < m_length; i++)
        if (m_text[i] == a)
            m_text[i] = b;
}

void StringBuffer::removeChar(char b)
{
    checkIntegrity();
    removeCharFrom(b, 0);
}

void StringBuffer::removeCharFrom(char b, int start)
{
    checkIntegrity();
    if (start < 0)
        start = 0;
    if (start >= m_length)
        return;
    int out = start;
    for (int i = start; i < m_length; i++)
        if (m_text[i] != b)
            m_text[out++] = m_text[i];
    m_length = out;
    m_text[m_length] = 0;
}

void StringBuffer::removeRange(int index, int count)
{
    checkIntegrity();
    if (index < 0 || count < 0 || index >= m_length || index + count > m_length)
        return;
    memmove(m_text + index, m_text + index + count, m_length - index - count + 1);
    m_length -= count;
}

int StringBuffer::replaceAll(const char* find, const char* repl)
{
    checkIntegrity();
    if (!find || !*find)
        return 0;
    char* match = strstr(m_text, find);
    if (!match)
        return 0;
    char* oldText = m_text;
    int oldCapacity = m_capacity, oldLength = m_length;
    char* fresh = allocate(m_step);
    if (!fresh)
        return 0;
    m_text = fresh;
    m_text[0] = 0;
    m_capacity = m_step;
    m_length = 0;

    int findLength = (int)strlen(find);
    int count = 0;
    char* rest = oldText;
    while (match) {
        appendN(rest, (int)(match - rest));
        if (repl)
            append(repl);
        count++;
        rest = match + findLength;
        if (!*rest)
            break;
        match = strstr(rest, find);
        if (!match)
            append(rest);
    }
    (void)oldCapacity;
    (void)oldLength;
    if (oldText != g_sharedEmpty)
        smallBlockFree(oldText);
    return count;
}

void StringBuffer::encodeXmlEntities()
{
    checkIntegrity();
    replaceAll("&", "&amp;");
    replaceAll("<", "&lt;");
    replaceAll(">", "&gt;");
    replaceAll("\"", "&quot;");
}

void StringBuffer::toLowerCase()
{
    checkIntegrity();
    if (m_length <= 0)
        return;
    for (unsigned char* p = (unsigned char*)m_text; *p; p++) {
        if (*p < 0x80)
            *p = (unsigned char)tolower(*p);
        else if (*p >= 0xC0 && *p <= 0xDF)
            *p = (unsigned char)(*p + 0x20);
    }
}

void StringBuffer::keepXmlNameChars()
{
    checkIntegrity();
    int out = 0;
    for (int i = 0; i < m_length; i++) {
        unsigned char c = (unsigned char)m_text[i];
        bool keep = c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '-' || c == '_' || c == ':' || c == '!';
        if (keep)
            m_text[out++] = (char)c;
    }
    m_length = out;
    m_text[m_length] = 0;
}

char StringBuffer::lastChar()
{
    checkIntegrity();
    return m_length > 0 ? m_text[m_length - 1] : 0;
}

bool StringBuffer::beginsWith(const char* s)
{
    checkIntegrity();
    if (!s)
        return false;
    size_t n = strlen(s);
    if ((int)n > m_length)
        return false;
    return memcmp(m_text, s, n) == 0;
}

bool StringBuffer::endsWith(const char* s) const
{
    if (!s)
        return false;
    int n = (int)strlen(s);
    if (n == 0)
        return true;
    if (n > m_length)
        return false;
    return memcmp(m_text + m_length - n, s, n) == 0;
}

bool StringBuffer::equalsIgnoreCase(const char* s)
{
    checkIntegrity();
    if (!s)
        return m_length == 0;
    return _stricmp(m_text, s) == 0;
}

bool StringBuffer::containsIgnoreCase(const char* s)
{
    checkIntegrity();
    if (!s)
        return false;
    return findIgnoreCase(m_text, s) != nullptr;
}

void StringBuffer::appendWindowsError(uint32_t code)
{
    checkIntegrity();
    char* message = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&message, 0, nullptr);
    if (n && message) {
        append(message);
        trim();
    }
    if (message)
        LocalFree(message);
}

void StringBuffer::appendLastError()
{
    checkIntegrity();
    appendWindowsError(GetLastError());
}

} // namespace kit

char toUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 0x20) : c;
}

const char* findIgnoreCase(const char* haystack, const char* needle)
{
    if (!haystack || !needle || !*needle)
        return nullptr;
    for (const char* h = haystack; *h; h++) {
        const char* a = h;
        const char* b = needle;
        while (*a && *b && toUpperAscii(*a) == toUpperAscii(*b)) {
            a++;
            b++;
        }
        if (!*b)
            return h;
    }
    return nullptr;
}
