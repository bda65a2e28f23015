// Page content read once per content stream and shared by the pages that draw it.
#include "viewer/PageContents.h"
#include "viewer/FormTrace.h"

namespace pdf {

namespace {
void TraceBlankPage(size_t pageIndex, const std::string& why)
{
    viewer::TraceFormLine("page " + std::to_string(pageIndex + 1) + " is drawn blank: " + why);
}
} // namespace

SharedContent PageContentReader::Blank()
{
    static const SharedContent blank = std::make_shared<const std::string>();
    return blank;
}

const PageContentReader::Decoded& PageContentReader::Decode(const ObjectPtr& stream)
{
    auto known = m_streams.find(stream.get());
    if (known != m_streams.end()) return known->second;
    Decoded decoded;
    decoded.stream = stream;
    try {
        decoded.text = std::make_shared<const std::string>(m_doc.DecodeStream(*stream));
    } catch (const PdfError& e) {
        decoded.error = e.what(); // kept, so that a stream of many pages is not decoded again
    }
    return m_streams.emplace(stream.get(), decoded).first->second;
}

bool PageContentReader::Fits(size_t bytes, size_t pageIndex)
{
    if (bytes <= kMaxContentBytes - m_bytes) return true;
    TraceBlankPage(pageIndex, "the pages' content passes " + std::to_string(kMaxContentBytes >> 20) + " MB");
    return false;
}

SharedContent PageContentReader::Kept(const SharedContent& text, size_t pageIndex)
{
    if (m_counted.count(text.get())) return text;
    if (!Fits(text->size(), pageIndex)) return Blank();
    m_bytes += text->size();
    m_counted.insert(text.get());
    return text;
}

SharedContent PageContentReader::Read(const ObjectPtr& page, size_t pageIndex)
{
    ObjectPtr contents;
    std::vector<ObjectPtr> parts;
    try {
        contents = m_doc.Resolve(page->Get("Contents"));
        if (contents->kind == Kind::Stream) parts.push_back(contents);
        if (contents->kind == Kind::Array)
            for (const ObjectPtr& part : contents->items) {
                ObjectPtr s = m_doc.Resolve(part);
                if (s->kind == Kind::Stream) parts.push_back(s);
            }
    } catch (const PdfError& e) {
        TraceBlankPage(pageIndex, e.what()); // a page that cannot be drawn still has its fields
        return Blank();
    }
    std::vector<const Decoded*> decoded;
    std::vector<const Object*> key;
    for (const ObjectPtr& part : parts) {
        decoded.push_back(&Decode(part));
        if (!decoded.back()->text) {
            TraceBlankPage(pageIndex, decoded.back()->error);
            return Blank();
        }
        key.push_back(part.get());
    }
    if (contents->kind == Kind::Stream) return Kept(decoded[0]->text, pageIndex);
    if (parts.empty()) return Blank();
    auto joined = m_joined.find(key);
    if (joined != m_joined.end()) return Kept(joined->second, pageIndex);
    size_t size = 0;
    for (const Decoded* part : decoded) size += part->text->size() + 1;
    if (!Fits(size, pageIndex)) return Blank();
    std::string text;
    text.reserve(size);
    for (const Decoded* part : decoded) text.append(*part->text).append("\n");
    SharedContent shared = std::make_shared<const std::string>(std::move(text));
    m_joined[key] = shared;
    return Kept(shared, pageIndex);
}

} // namespace pdf
