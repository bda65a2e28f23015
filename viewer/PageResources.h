// What a page's content draws with besides its own operators: its fonts, and its form XObjects
// (parts of a page drawn by their own content, placed by "Do"), each with resources of its own.
#pragma once
#include "viewer/PageFonts.h"
#include "viewer/PdfObject.h"
#include <map>
#include <memory>
#include <string>

namespace pdf {

class Document;
struct FormXObject;
struct PageResources;

// Form XObjects by their resource name ("Fm0", "X1").
using FormXObjects = std::map<std::string, std::shared_ptr<const FormXObject>>;

struct PageResources
{
    PageFonts fonts;
    FormXObjects forms;
};

struct FormXObject
{
    std::string content;                       // decoded content stream
    double matrix[6] = {1, 0, 0, 1, 0, 0};     // form space to the user space of the drawing content
    double bbox[4] = {0, 0, 0, 0};             // clip, in form space
    std::shared_ptr<const PageResources> resources; // null: those of the content that draws it
};

// Reads resource dictionaries of one document: the fonts each one names, and its form XObjects
// with theirs, nested as deep as drawing goes (the trace says when deeper ones are left out); a
// form that is already being read where it is named again (a form that draws itself) is left out.
class ResourceReader
{
public:
    explicit ResourceReader(Document& doc) : m_doc(doc) {}
    PageFonts Fonts(const ObjectPtr& resources);
    FormXObjects Forms(const ObjectPtr& resources);

private:
    std::shared_ptr<const FormXObject> Form(const ObjectPtr& stream);

    Document& m_doc;
    std::map<const Object*, std::shared_ptr<const FormXObject>> m_forms;
    std::map<const Object*, PageFont> m_fonts;
    std::map<const Object*, bool> m_reading;
    int m_depth = 0;
    bool m_depthTraced = false;
};

} // namespace pdf
