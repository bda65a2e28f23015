// Resource dictionaries read once per document: fonts and form XObjects shared by the pages and
// forms that name them.
#include "viewer/PageResources.h"
#include "framework/Seams.h"
#include "viewer/DrawingBudget.h"
#include "viewer/FontReader.h"
#include "viewer/PdfDocument.h"
#include <cwchar>

namespace pdf {

namespace {

ObjectPtr Entry(Document& doc, const ObjectPtr& resources, const char* key)
{
    ObjectPtr res = doc.Resolve(resources);
    return res->kind == Kind::Dict ? doc.Resolve(res->Get(key)) : MakeNull();
}

bool ReadNumbers(Document& doc, const ObjectPtr& array, double* out, size_t count)
{
    ObjectPtr a = doc.Resolve(array);
    if (a->kind != Kind::Array || a->items.size() != count) return false;
    for (size_t i = 0; i < count; ++i) {
        ObjectPtr v = doc.Resolve(a->items[i]);
        if (v->kind != Kind::Number) return false;
        out[i] = v->number;
    }
    return true;
}
} // namespace

// A font that cannot be read is left out (its text is drawn in the default font).
PageFonts ResourceReader::Fonts(const ObjectPtr& resources)
{
    PageFonts fonts;
    try {
        ObjectPtr dict = Entry(m_doc, resources, "Font");
        if (dict->kind != Kind::Dict) return fonts;
        for (const auto& entry : dict->dict) {
            try {
                ObjectPtr font = m_doc.Resolve(entry.second);
                if (font->kind != Kind::Dict) continue;
                auto known = m_fonts.find(font.get());
                if (known == m_fonts.end()) known = m_fonts.emplace(font.get(), ReadPageFont(m_doc, font)).first;
                fonts[entry.first] = known->second;
            } catch (const PdfError&) {
            }
        }
    } catch (const PdfError&) {
    }
    return fonts;
}

// Image XObjects are not drawn, so only forms are kept.
FormXObjects ResourceReader::Forms(const ObjectPtr& resources)
{
    FormXObjects forms;
    try {
        ObjectPtr dict = Entry(m_doc, resources, "XObject");
        if (dict->kind != Kind::Dict) return forms;
        for (const auto& entry : dict->dict) {
            try {
                ObjectPtr stream = m_doc.Resolve(entry.second);
                if (stream->kind != Kind::Stream || !stream->Get("Subtype")->IsName("Form")) continue;
                if (auto form = Form(stream)) forms[entry.first] = form;
            } catch (const PdfError&) {
            }
        }
    } catch (const PdfError&) {
    }
    return forms;
}

std::shared_ptr<const FormXObject> ResourceReader::Form(const ObjectPtr& stream)
{
    auto known = m_forms.find(stream.get());
    if (known != m_forms.end()) return known->second;
    if (m_reading[stream.get()]) return nullptr;
    if (m_depth >= viewer::kMaxDrawnFormDepth) {
        if (!m_depthTraced) {
            wchar_t line[128];
            swprintf(line, sizeof line / sizeof line[0], L"Forms nested deeper than %d levels are left out of the pages",
                     viewer::kMaxDrawnFormDepth);
            AfxTraceLine(line);
        }
        m_depthTraced = true;
        return nullptr;
    }
    auto form = std::make_shared<FormXObject>();
    form->content = m_doc.DecodeStream(*stream);
    ReadNumbers(m_doc, stream->Get("Matrix"), form->matrix, 6);
    if (!ReadNumbers(m_doc, stream->Get("BBox"), form->bbox, 4)) return nullptr; // a form must have its box
    ObjectPtr resources = m_doc.Resolve(stream->Get("Resources"));
    if (resources->kind == Kind::Dict) {
        m_reading[stream.get()] = true;
        ++m_depth;
        auto own = std::make_shared<PageResources>();
        try {
            own->fonts = Fonts(resources);
            own->forms = Forms(resources);
        } catch (...) {
            --m_depth;
            m_reading[stream.get()] = false;
            throw;
        }
        --m_depth;
        m_reading[stream.get()] = false;
        form->resources = own;
    }
    m_forms[stream.get()] = form;
    return form;
}

} // namespace pdf
