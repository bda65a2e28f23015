// The document a browser view shows, as the program reaches it: hidden inputs read and written by
// id, and page functions called by name. Pages without inputs or functions answer false.
#pragma once
#include <string>

namespace viewer {

class HtmlDocument
{
public:
    virtual ~HtmlDocument() = default;
    // False when the page has no input of that id.
    virtual bool SetInputValue(const std::wstring& id, const std::wstring& value) { return false; }
    virtual bool GetInputValue(const std::wstring& id, std::wstring& value) const { return false; }
    // Runs a page function with no arguments; false when the page has no such function.
    virtual bool CallFunction(const std::wstring& name) { return false; }
};

// A local path from what a page is given as a document address: a Windows path as it is, or a
// "file:" address with its escapes undone and forward slashes turned into backslashes.
std::wstring PathFromAddress(const std::wstring& address);

// Compares the start of text with prefix, ignoring case (ASCII letters).
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);

} // namespace viewer
