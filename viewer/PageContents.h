// The decoded content of a document's pages, each content stream decoded once: pages that draw the
// same stream share one text, and so do the copies made of the form.
#pragma once
#include "viewer/PdfDocument.h"
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace pdf {

using SharedContent = std::shared_ptr<const std::string>;

class PageContentReader
{
public:
    // The texts kept for the pages together stay under this many bytes.
    static const size_t kMaxContentBytes = 256u << 20;

    explicit PageContentReader(Document& doc) : m_doc(doc) {}

    // The content of a page (pageIndex counts from 0); never null. A page whose /Contents is an
    // array of streams gets its parts joined, one text for the pages that list the same parts. A page
    // whose content cannot be decoded, or that would pass the budget, is blank and the trace says so.
    SharedContent Read(const ObjectPtr& page, size_t pageIndex);

private:
    struct Decoded
    {
        ObjectPtr stream;    // kept alive: its address is the key
        SharedContent text;  // null when the stream could not be decoded
        std::string error;
    };
    const Decoded& Decode(const ObjectPtr& stream);
    // Whether that many more bytes may be kept; traces the page left blank when not.
    bool Fits(size_t bytes, size_t pageIndex);
    // The text, counted once against the budget; blank when it does not fit.
    SharedContent Kept(const SharedContent& text, size_t pageIndex);
    static SharedContent Blank();

    Document& m_doc;
    std::map<const Object*, Decoded> m_streams;                      // by stream object
    std::map<std::vector<const Object*>, SharedContent> m_joined;   // by the parts of an array
    std::set<const std::string*> m_counted;                         // texts already counted in m_bytes
    size_t m_bytes = 0;
};

} // namespace pdf
