// kit::StringBuffer: a growable zero-terminated 8-bit text with an integrity byte.
// It holds whatever bytes it is given (ANSI, UTF-8, markup); character sets are not its business.
#pragma once
#include <cstdint>
#include "kit/KitObject.h"

class DataBuffer;

namespace kit {

class StringBuffer : public KitObject
{
public:
    StringBuffer();
    StringBuffer(const char* s);
    StringBuffer(const StringBuffer& other);
    StringBuffer(const char* bytes, int length, int growthStep);
    explicit StringBuffer(int initialCapacity);
    ~StringBuffer() override;
    StringBuffer& operator=(const StringBuffer&) = delete;

    int getSize() const { return m_length; }
    char* pointerAt(int i) const { return m_text + i; }
    bool isValid() const { return m_integrity == kIntact; }
    int getCapacity() const { return m_capacity; }
    int getGrowthStep() const { return m_step; }
    // True when an append, prepend or copy since the last clear dropped bytes because the block
    // could not grow: the text is then incomplete and must not be used as if whole.
    bool lostBytes() const { return m_flag; }

    void clear();
    void append(const char* s);
    void appendN(const char* p, int n);
    void appendChar(char b);
    void appendCharN(char b, int n);
    void appendSb(const StringBuffer& other);
    void prepend(const char* s);
    bool ensureRoom(int n);
    void setString(const char* s);
    void setSb(const StringBuffer& other);
    void takeDataBuffer(DataBuffer& db);
    void shrinkToFit();
    void trim();
    void replaceChar(char a, char b);
    void removeChar(char b);
    void removeCharFrom(char b, int start);
    void removeRange(int index, int count);
    int replaceAll(const char* find, const char* repl);
    void encodeXmlEntities();
    void toLowerCase();
    void keepXmlNameChars();
    char lastChar();
    bool beginsWith(const char* s);
    bool endsWith(const char* s) const;
    bool equalsIgnoreCase(const char* s);
    bool containsIgnoreCase(const char* s);
    void appendWindowsError(uint32_t code);
    void appendLastError();

    static char* allocate(int n);
    void freeBlock();

private:
    static const unsigned char kIntact = 170;
    void checkIntegrity() const;
    bool growBlock(int newCapacity);
    bool growFor(int n, int extra);
    bool pointsInside(const char* p) const;
    void adjustStep();
    void setEmptyShared();

    unsigned char m_integrity;
    bool m_flag; // bytes were lost (see lostBytes)
    char* m_text;
    int m_capacity;
    int m_length;
    int m_step;
};

} // namespace kit

// First occurrence of needle in haystack with a-z folded to upper case; NULL when absent or empty.
const char* findIgnoreCase(const char* haystack, const char* needle);
char toUpperAscii(char c);
