// The interactive form of a PDF file: its fields with full dotted names, types, values, choice
// options and widget rectangles, read from the file's AcroForm dictionary.
#pragma once
#include "viewer/PageResources.h"
#include <memory>
#include <string>
#include <vector>

namespace pdf {

enum class FieldType { Text, CheckBox, Radio, Choice, PushButton, Signature };

// A colour of a widget's appearance characteristics, as RGB from 0 to 1; absent when the entry
// is missing or empty (transparent).
struct WidgetColour
{
    bool present = false;
    double rgb[3] = {0, 0, 0};
};

struct Widget
{
    int page = 0;              // index into FormDocument::pages
    double rect[4] = {0, 0, 0, 0}; // x1 y1 x2 y2 in page units, normalised so x1 <= x2, y1 <= y2
    std::string onState;       // check boxes and radio buttons: the appearance state meaning "on"
    std::wstring exportValue;  // ... and the value it reports when on (its /Opt entry); empty: onState
    WidgetColour background;   // /MK /BG
    WidgetColour border;       // /MK /BC
    double borderWidth = 0;    // points; 0 when no border is drawn
    double fontSize = -1;      // text size of the default appearance: 0 fits the box, -1 not given
    bool hidden = false;       // annotation flags: neither shown nor printed
    bool printed = true;       // ... drawn when the page is printed (buttons often are not)
    bool printFlag = true;     // the print flag alone: whether a hidden widget prints once a script shows it
    std::wstring caption;      // push buttons: the caption (/MK /CA)
    std::wstring address;      // ... an address its action opens (/A /URI)
    std::string namedAction;   // ... or the reader command its action names (/A /Named /N)
};

struct PageInfo
{
    double box[4] = {0, 0, 612, 792};
    int rotation = 0;          // turn as shown, clockwise: 0, 90, 180 or 270 degrees (/Rotate)
    double Width() const { return box[2] - box[0]; }
    double Height() const { return box[3] - box[1]; }
    // The page's extent as shown, turned.
    double ShownWidth() const { return rotation % 180 ? Height() : Width(); }
    double ShownHeight() const { return rotation % 180 ? Width() : Height(); }
};

struct FormField
{
    std::wstring name;                 // full dotted name
    FieldType type = FieldType::Text;
    std::wstring value;                // text, chosen option's export value, or the on-state of a box ("" when off)
    std::vector<std::wstring> options; // choice fields: the texts shown
    std::vector<std::wstring> exports; // ... and the values they report (same order)
    bool multiline = false;
    bool combo = false;                // choice shown as a drop-down
    int maxLength = 0;                 // 0: no limit
    bool readOnly = false;
    std::vector<std::wstring> sumOf;   // a calculated field: the names of the fields it adds up
    std::vector<Widget> widgets;
};

// A link annotation that opens an address (a page-made navigation when clicked).
struct PageLink
{
    int page = 0;
    double rect[4] = {0, 0, 0, 0};
    std::wstring address;
};

struct FormDocument
{
    std::vector<PageInfo> pages;
    std::vector<FormField> fields;
    std::wstring title;                // the document information's Title
    std::wstring subject;              // ... and its Subject (the sample forms name their kind there)
    // The decoded content of each page (for drawing), never null: pages that draw one content stream
    // share its text, and so do the copies of the form.
    std::vector<std::shared_ptr<const std::string>> pageContents;
    std::vector<PageFonts> pageFonts;      // the fonts each page's content names
    std::vector<FormXObjects> pageForms;   // ... and its form XObjects
    std::vector<PageLink> links;
};

// Reads the form of a PDF file's bytes. On failure returns false and sets error to a sentence
// the user can read; never throws.
bool ReadPdfForm(const std::string& bytes, FormDocument& form, std::string& error);

// Why the program cannot show and register a form it has read (more fields than a form's table has
// columns, more widgets than a process may have windows); empty when it can.
std::string FormSizeRefusal(const FormDocument& form);

// PDF text strings: UTF-16BE with its byte-order mark, UTF-8 with its mark, else PDFDocEncoding.
std::wstring DecodeTextString(const std::string& bytes);

// Appends one Unicode code point as UTF-16 (a surrogate pair above U+FFFF).
void AppendCodePoint(std::wstring& out, unsigned long code);

} // namespace pdf
