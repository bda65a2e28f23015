// Walks the AcroForm field tree of a PDF: inherited entries (type, value, flags) come down from
// parents, names join with dots, and every widget annotation gives a rectangle on its page.
#include "viewer/PdfForm.h"
#include "viewer/PageContents.h"
#include "viewer/PdfDocument.h"
#include "viewer/FontEncodings.h"
#include "viewer/FormTrace.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>

namespace pdf {

namespace {
// Limits far beyond any real form; a form past one is refused, never read with fields missing.
// The field tree's nesting (the walk recurses once per level).
const int kMaxFieldDepth = 500;
// Nodes of the field tree (fields, their parents and nodes of no field; so fields too), widgets and
// annotations on pages: what a read may build, far past what the program can show.
const size_t kMaxFieldNodes = 65536;
const size_t kMaxWidgets = 65536;
// What the program can show and register: a form's fields are the columns of its table, which holds
// at most 8192 with its own three, and each widget becomes a window, of the 10,000 a process may have.
const size_t kMaxShownFields = 8189;
const size_t kMaxShownWidgets = 9000;
const size_t kMaxAnnotations = 65536;
const int kFlagReadOnly = 1;
const int kAnnotHidden = 1 << 1;
const int kAnnotPrint = 1 << 2;
const int kAnnotNoView = 1 << 5;
const int kFlagMultiline = 1 << 12;
const int kFlagRadio = 1 << 15;
const int kFlagPushButton = 1 << 16;
const int kFlagCombo = 1 << 17;

// A form refused by its field tree: a damaged field object, or a limit passed. The message says which.
class FieldTreeRefusal : public PdfError
{
public:
    explicit FieldTreeRefusal(const std::string& what) : PdfError(what) {}
};

std::string ObjectName(const ObjectPtr& ref)
{
    return std::to_string(ref->refNumber) + " " + std::to_string(ref->refGeneration);
}

struct Inherited
{
    std::wstring name;
    std::string type;
    ObjectPtr value;
    int flags = 0;
    ObjectPtr options;
    int maxLength = 0;
    std::string appearance;   // default appearance (/DA): font and colour operators
};

// The font size of a default appearance string ("/Helv 8 Tf 0 g"): the operand before "Tf";
// -1 when there is none.
double FontSizeOf(const std::string& appearance)
{
    std::vector<std::string> tokens;
    std::string token;
    for (char c : appearance + " ") {
        if (IsPdfWhitespace(static_cast<unsigned char>(c))) {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    for (size_t i = tokens.size(); i-- > 1;) {
        if (tokens[i] != "Tf") continue;
        char* end = nullptr;
        double size = std::strtod(tokens[i - 1].c_str(), &end);
        if (end && *end == '\0' && size >= 0) return size;
        return -1;
    }
    return -1;
}

class FieldWalker
{
public:
    FieldWalker(Document& doc, FormDocument& form) : m_doc(doc), m_form(form) {}

    // The document's default appearance, for fields and widgets that give none.
    void SetDefaultAppearance(const ObjectPtr& acroForm)
    {
        try {
            ObjectPtr da = acroForm->kind == Kind::Dict ? m_doc.Resolve(acroForm->Get("DA")) : MakeNull();
            if (da->kind == Kind::String) m_defaultAppearance = da->text;
        } catch (const PdfError& e) {
            viewer::TraceFormLine(std::string("the form's default appearance is damaged and left out: ") + e.what());
        }
    }

    // Notes the page of every annotation and reads the links. A damaged annotation is left out (the
    // trace says so): the field tree still reaches a widget it needs, and refuses the form there.
    void IndexPages(const std::vector<Document::Page>& pages)
    {
        m_pageAnnots.resize(pages.size());
        size_t count = 0;
        for (size_t i = 0; i < pages.size(); ++i) {
            m_pageObjects.push_back(pages[i].object.get());
            const std::string page = "page " + std::to_string(i + 1);
            ObjectPtr annots;
            try {
                annots = m_doc.Resolve(pages[i].object->Get("Annots"));
            } catch (const PdfError& e) {
                viewer::TraceFormLine("the annotations of " + page + " are damaged and left out: " + e.what());
                continue;
            }
            if (annots->kind != Kind::Array) continue;
            count += annots->items.size();
            if (count > kMaxAnnotations)
                throw FieldTreeRefusal("the form has more than " + std::to_string(kMaxAnnotations) + " annotations");
            for (const ObjectPtr& a : annots->items) {
                try {
                    ObjectPtr annot = m_doc.Resolve(a);
                    if (annot->kind != Kind::Dict) continue;
                    m_annotPage[annot.get()] = static_cast<int>(i);
                    m_pageAnnots[i].push_back(annot);
                    if (annot->Get("Subtype")->IsName("Link")) AddLink(annot, static_cast<int>(i));
                } catch (const PdfError& e) {
                    viewer::TraceFormLine("an annotation of " + page + " is damaged and left out: " + e.what());
                }
            }
        }
    }

    // Walks one node of the field tree and those below it. A damaged field object refuses the form,
    // naming the object (an inline node's damage names the object it is written in).
    void Walk(const ObjectPtr& ref, const Inherited& parent, int depth)
    {
        try {
            WalkNode(ref, parent, depth);
        } catch (const FieldTreeRefusal&) {
            throw;
        } catch (const PdfLimitError&) {
            throw;
        } catch (const PdfError& e) {
            if (ref->kind != Kind::Ref) throw;
            throw FieldTreeRefusal("field object " + ObjectName(ref) + " is damaged (" + e.what() + ")");
        }
    }

    // A reader shows every widget of a page, also those the field tree does not reach: a widget
    // whose /Parent does not list it among its kids, or one that repeats a field's name (each
    // choice of a radio group, where only the first is listed in the form's fields). Such a widget
    // joins the field of its name; a widget of no field of the form, or a damaged one, is left out.
    void CollectPageWidgets()
    {
        for (size_t i = 0; i < m_pageAnnots.size(); ++i) {
            for (const ObjectPtr& annot : m_pageAnnots[i]) {
                if (!annot->Get("Subtype")->IsName("Widget") || m_widgetAnnots.count(annot.get())) continue;
                try {
                    AddStrayWidget(annot);
                } catch (const FieldTreeRefusal&) {
                    throw;
                } catch (const PdfError& e) {
                    viewer::TraceFormLine("a widget of page " + std::to_string(i + 1) + " is damaged and left out: " + e.what());
                }
            }
        }
    }

private:
    void WalkNode(const ObjectPtr& ref, const Inherited& parent, int depth)
    {
        ObjectPtr node = m_doc.Resolve(ref);
        if (node->kind != Kind::Dict || !m_visited.insert(node.get()).second) return;
        if (depth > kMaxFieldDepth) throw TooDeep();
        if (m_visited.size() > kMaxFieldNodes)
            throw FieldTreeRefusal("the form's field tree has more than " + std::to_string(kMaxFieldNodes) + " nodes");
        Inherited here = parent;
        Inherit(here, node);

        // Kids with names of their own (or kids of their own) are fields; a kid without either is
        // one of this field's widgets, whatever entries of a field it repeats (a radio button's
        // widgets often carry /FT).
        ObjectPtr kids = m_doc.Resolve(node->Get("Kids"));
        std::vector<ObjectPtr> widgetKids;
        bool hasFieldKids = false;
        auto isWidget = [](const ObjectPtr& kid) { return kid->Get("T")->IsNull() && kid->Get("Kids")->IsNull(); };
        if (kids->kind == Kind::Array) {
            for (const ObjectPtr& k : kids->items) {
                ObjectPtr kid = ResolveKid(k);
                if (kid->kind != Kind::Dict) continue;
                if (isWidget(kid)) widgetKids.push_back(kid);
                else hasFieldKids = true;
                if (widgetKids.size() > kMaxWidgets) throw TooManyWidgets();
            }
        }
        if (hasFieldKids) {
            for (const ObjectPtr& k : kids->items) {
                ObjectPtr kid = m_doc.Resolve(k);
                if (kid->kind == Kind::Dict && !isWidget(kid)) Walk(k, here, depth + 1);
            }
            if (widgetKids.empty()) return;
        }
        if (here.name.empty()) return;
        AddField(node, here, widgetKids);
    }

    // A kid of a field node: a damaged kid object is named itself.
    ObjectPtr ResolveKid(const ObjectPtr& kid)
    {
        try {
            return m_doc.Resolve(kid);
        } catch (const PdfLimitError&) {
            throw;
        } catch (const PdfError& e) {
            throw FieldTreeRefusal("field object " + ObjectName(kid) + " is damaged (" + e.what() + ")");
        }
    }

    static FieldTreeRefusal TooDeep()
    {
        return FieldTreeRefusal("the form's fields are nested more than " + std::to_string(kMaxFieldDepth) + " levels deep");
    }
    static FieldTreeRefusal TooManyWidgets()
    {
        return FieldTreeRefusal("the form has more than " + std::to_string(kMaxWidgets) + " field widgets");
    }

    // Takes the entries of a field node over those inherited from its parents.
    void Inherit(Inherited& here, const ObjectPtr& node)
    {
        ObjectPtr partial = m_doc.Resolve(node->Get("T"));
        if (partial->kind == Kind::String) {
            std::wstring part = DecodeTextString(partial->text);
            here.name = here.name.empty() ? part : here.name + L"." + part;
        }
        ObjectPtr ft = m_doc.Resolve(node->Get("FT"));
        if (ft->kind == Kind::Name) here.type = ft->text;
        if (!node->Get("V")->IsNull()) here.value = m_doc.Resolve(node->Get("V"));
        ObjectPtr ff = m_doc.Resolve(node->Get("Ff"));
        if (ff->kind == Kind::Number) here.flags = static_cast<int>(ff->number);
        if (!node->Get("Opt")->IsNull()) here.options = m_doc.Resolve(node->Get("Opt"));
        ObjectPtr maxLen = m_doc.Resolve(node->Get("MaxLen"));
        if (maxLen->kind == Kind::Number) here.maxLength = static_cast<int>(maxLen->number);
        ObjectPtr da = m_doc.Resolve(node->Get("DA"));
        if (da->kind == Kind::String) here.appearance = da->text;
    }

    // A widget outside the field tree: its field is itself when it has a name, else its /Parent;
    // the field's entries come down from the top of its /Parent chain.
    void AddStrayWidget(const ObjectPtr& annot)
    {
        std::vector<ObjectPtr> chain;
        ObjectPtr node = annot->Get("T")->IsNull() ? m_doc.Resolve(annot->Get("Parent")) : annot;
        std::set<const Object*> seen;
        while (node->kind == Kind::Dict && seen.insert(node.get()).second) {
            if (chain.size() > kMaxFieldDepth) throw TooDeep();
            chain.push_back(node);
            node = m_doc.Resolve(node->Get("Parent"));
        }
        if (chain.empty() || node->kind == Kind::Dict) return; // no field, or a chain that loops
        Inherited info;
        for (size_t i = chain.size(); i-- > 0;) Inherit(info, chain[i]);
        auto found = m_fieldByName.find(info.name);
        if (info.name.empty() || found == m_fieldByName.end()) return;
        FormField& field = m_form.fields[found->second];
        std::vector<std::string> states;
        AddWidget(field, annot, info, field.widgets.size(), BoxExports(field, info), states);
        if (IsBox(field) && field.value.empty() && !states.empty() && states[0] == field.widgets.back().onState)
            field.value = DecodeName(field.widgets.back().onState);
    }

    static bool IsBox(const FormField& field)
    {
        return field.type == FieldType::CheckBox || field.type == FieldType::Radio;
    }
    void AddLink(const ObjectPtr& annot, int page)
    {
        ObjectPtr action = m_doc.Resolve(annot->Get("A"));
        ObjectPtr uri = action->kind == Kind::Dict ? m_doc.Resolve(action->Get("URI")) : MakeNull();
        ObjectPtr rect = m_doc.Resolve(annot->Get("Rect"));
        if (uri->kind != Kind::String || rect->kind != Kind::Array || rect->items.size() != 4) return;
        PageLink link;
        link.page = page;
        for (int i = 0; i < 4; ++i) {
            ObjectPtr v = m_doc.Resolve(rect->items[i]);
            if (v->kind != Kind::Number) return;
            link.rect[i] = v->number;
        }
        if (link.rect[0] > link.rect[2]) std::swap(link.rect[0], link.rect[2]);
        if (link.rect[1] > link.rect[3]) std::swap(link.rect[1], link.rect[3]);
        for (unsigned char c : uri->text) link.address += static_cast<wchar_t>(c); // URIs are 7-bit text
        m_form.links.push_back(link);
    }

    void AddField(const ObjectPtr& node, const Inherited& info, const std::vector<ObjectPtr>& widgetKids)
    {
        FormField field;
        field.name = info.name;
        field.multiline = (info.flags & kFlagMultiline) != 0;
        field.readOnly = (info.flags & kFlagReadOnly) != 0;
        field.sumOf = SumCalculation(node, info.name);
        field.maxLength = info.maxLength;
        if (info.type == "Btn") {
            field.type = (info.flags & kFlagPushButton) ? FieldType::PushButton
                       : (info.flags & kFlagRadio)      ? FieldType::Radio
                                                         : FieldType::CheckBox;
        } else if (info.type == "Ch") {
            field.type = FieldType::Choice;
            field.combo = (info.flags & kFlagCombo) != 0;
        } else if (info.type == "Sig") {
            field.type = FieldType::Signature;
        } else if (info.type == "Tx") {
            field.type = FieldType::Text;
        } else {
            return; // a node without a field type anywhere above it is not a field
        }
        if (info.value) {
            if (info.value->kind == Kind::String) field.value = DecodeTextString(info.value->text);
            else if (info.value->kind == Kind::Name && info.value->text != "Off") field.value = DecodeName(info.value->text);
            else if (info.value->kind == Kind::Array && !info.value->items.empty()) {
                ObjectPtr first = m_doc.Resolve(info.value->items[0]);
                if (first->kind == Kind::String) field.value = DecodeTextString(first->text);
            }
        }
        bool box = IsBox(field);
        if (field.type == FieldType::Choice) {
            ForEachOption(info, [&](const ObjectPtr& exported, const std::wstring& shown) {
                field.options.push_back(shown);
                field.exports.push_back(exported->kind == Kind::String ? DecodeTextString(exported->text) : shown);
            });
        }
        std::vector<std::wstring> boxExports = BoxExports(field, info);
        std::vector<std::string> appearanceStates;
        if (widgetKids.empty()) AddWidget(field, node, info, 0, boxExports, appearanceStates);
        for (size_t i = 0; i < widgetKids.size(); ++i) AddWidget(field, widgetKids[i], info, i, boxExports, appearanceStates);
        // A box without a value of its own is on where a widget shows its on appearance.
        if (box && !info.value) {
            for (size_t i = 0; i < field.widgets.size() && field.value.empty(); ++i)
                if (appearanceStates[i] == field.widgets[i].onState) field.value = DecodeName(field.widgets[i].onState);
        }
        // Nodes of one full name are one field (the form's fields may list each choice of a radio
        // group): their widgets join the first.
        auto known = m_fieldByName.find(field.name);
        if (known != m_fieldByName.end() && m_form.fields[known->second].type == field.type) {
            FormField& first = m_form.fields[known->second];
            first.widgets.insert(first.widgets.end(), field.widgets.begin(), field.widgets.end());
            if (first.value.empty()) first.value = field.value;
            return;
        }
        m_fieldByName.emplace(field.name, m_form.fields.size());
        m_form.fields.push_back(std::move(field));
    }

    // Calls take(export value, text shown) for each /Opt entry: a text, or a pair of the two.
    template <typename Take> void ForEachOption(const Inherited& info, Take take)
    {
        if (!info.options || info.options->kind != Kind::Array) return;
        for (const ObjectPtr& o : info.options->items) {
            ObjectPtr opt = m_doc.Resolve(o);
            ObjectPtr exported = opt;
            if (opt->kind == Kind::Array && opt->items.size() >= 2) {
                exported = m_doc.Resolve(opt->items[0]);
                opt = m_doc.Resolve(opt->items[1]);
            }
            if (opt->kind == Kind::String) take(exported, DecodeTextString(opt->text));
        }
    }

    // A check box's or radio group's /Opt: the values its widgets report, in the order of its kids.
    std::vector<std::wstring> BoxExports(const FormField& field, const Inherited& info)
    {
        std::vector<std::wstring> exports;
        if (IsBox(field)) ForEachOption(info, [&](const ObjectPtr&, const std::wstring& shown) { exports.push_back(shown); });
        return exports;
    }

    static std::wstring DecodeName(const std::string& name)
    {
        return DecodeTextString(name);
    }

    // Adds the widget at that place among the field's widgets (kidIndex picks its /Opt entry);
    // its /AS state is appended to states.
    void AddWidget(FormField& field, const ObjectPtr& annot, const Inherited& info, size_t kidIndex,
                   const std::vector<std::wstring>& boxExports, std::vector<std::string>& states)
    {
        ObjectPtr rect = m_doc.Resolve(annot->Get("Rect"));
        if (rect->kind != Kind::Array || rect->items.size() != 4) return;
        Widget widget;
        for (int i = 0; i < 4; ++i) {
            ObjectPtr v = m_doc.Resolve(rect->items[i]);
            if (v->kind != Kind::Number) return;
            widget.rect[i] = v->number;
        }
        if (widget.rect[0] > widget.rect[2]) std::swap(widget.rect[0], widget.rect[2]);
        if (widget.rect[1] > widget.rect[3]) std::swap(widget.rect[1], widget.rect[3]);
        widget.page = PageOf(annot);
        ObjectPtr ap = m_doc.Resolve(annot->Get("AP"));
        ObjectPtr normal = ap->kind == Kind::Dict ? m_doc.Resolve(ap->Get("N")) : MakeNull();
        if (normal->kind == Kind::Dict || normal->kind == Kind::Stream) {
            for (auto& entry : normal->dict)
                if (entry.first != "Off" && normal->kind == Kind::Dict) widget.onState = entry.first;
        }
        bool box = IsBox(field);
        if (widget.onState.empty() && box) widget.onState = "Yes";
        if (box) widget.exportValue = ExportValue(widget.onState, kidIndex, boxExports);
        ReadAppearance(annot, info, widget);
        ReadFlagsAndAction(annot, widget);
        if (++m_widgetCount > kMaxWidgets) throw TooManyWidgets();
        m_widgetAnnots.insert(annot.get());
        ObjectPtr state = m_doc.Resolve(annot->Get("AS"));
        states.push_back(state->kind == Kind::Name ? state->text : std::string());
        field.widgets.push_back(widget);
    }

    // With /Opt, the on-state names may be positions in it ("0", "1", ...); otherwise the entry
    // belongs to the widget at the same place among the field's kids. Without /Opt the state name
    // is the value.
    static std::wstring ExportValue(const std::string& onState, size_t kidIndex, const std::vector<std::wstring>& exports)
    {
        if (!exports.empty()) {
            bool digits = !onState.empty() && onState.size() < 6 &&
                          std::all_of(onState.begin(), onState.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (digits && std::stoul(onState) < exports.size()) return exports[std::stoul(onState)];
            if (kidIndex < exports.size()) return exports[kidIndex];
        }
        return DecodeName(onState);
    }

    // Whether the widget is shown and printed; a button's caption and the action it runs.
    void ReadFlagsAndAction(const ObjectPtr& annot, Widget& widget)
    {
        ObjectPtr flags = m_doc.Resolve(annot->Get("F"));
        int f = flags->kind == Kind::Number ? static_cast<int>(flags->number) : 0;
        widget.hidden = (f & (kAnnotHidden | kAnnotNoView)) != 0;
        widget.printFlag = (f & kAnnotPrint) != 0;
        widget.printed = widget.printFlag && (f & kAnnotHidden) == 0;
        ObjectPtr mk = m_doc.Resolve(annot->Get("MK"));
        ObjectPtr caption = mk->kind == Kind::Dict ? m_doc.Resolve(mk->Get("CA")) : MakeNull();
        if (caption->kind == Kind::String) widget.caption = DecodeTextString(caption->text);
        ObjectPtr action = m_doc.Resolve(annot->Get("A"));
        if (action->kind != Kind::Dict) return;
        ObjectPtr uri = m_doc.Resolve(action->Get("URI"));
        ObjectPtr named = m_doc.Resolve(action->Get("N"));
        if (uri->kind == Kind::String)
            for (unsigned char c : uri->text) widget.address += static_cast<wchar_t>(c); // URIs are 7-bit text
        else if (named->kind == Kind::Name)
            widget.namedAction = named->text;
    }

    // The fields a calculated field adds up: its calculation script is the common
    // AFSimple_Calculate("SUM", ...) over a list of quoted field names. Any other script: none.
    // Damaged actions are left out (the field keeps no calculation; the trace says so).
    std::vector<std::wstring> SumCalculation(const ObjectPtr& node, const std::wstring& field)
    {
        std::vector<std::wstring> names;
        ObjectPtr js;
        try {
            ObjectPtr actions = m_doc.Resolve(node->Get("AA"));
            ObjectPtr calculate = actions->kind == Kind::Dict ? m_doc.Resolve(actions->Get("C")) : MakeNull();
            js = calculate->kind == Kind::Dict ? m_doc.Resolve(calculate->Get("JS")) : MakeNull();
        } catch (const PdfError& e) {
            viewer::TraceFormLine(L"the actions of field " + field + L" are damaged and left out: " +
                                  std::wstring(e.what(), e.what() + std::strlen(e.what())));
            return names;
        }
        if (js->kind != Kind::String) return names;
        const std::string& script = js->text;
        size_t at = script.find("AFSimple_Calculate");
        if (at == std::string::npos) return names;
        at = script.find('"', at);
        if (at == std::string::npos || script.compare(at, 5, "\"SUM\"") != 0) return names;
        at += 5;
        for (size_t open = script.find('"', at); open != std::string::npos; open = script.find('"', open)) {
            size_t close = script.find('"', open + 1);
            if (close == std::string::npos) break;
            names.push_back(DecodeTextString(script.substr(open + 1, close - open - 1)));
            open = close + 1;
        }
        return names;
    }

    // The widget's background and border colours, border width and text size.
    void ReadAppearance(const ObjectPtr& annot, const Inherited& info, Widget& widget)
    {
        ObjectPtr mk = m_doc.Resolve(annot->Get("MK"));
        if (mk->kind == Kind::Dict) {
            widget.background = Colour(mk->Get("BG"));
            widget.border = Colour(mk->Get("BC"));
        }
        if (widget.border.present) {
            // /BS /W wins over the older /Border [h v width]; both missing: 1 point.
            widget.borderWidth = 1;
            ObjectPtr bs = m_doc.Resolve(annot->Get("BS"));
            ObjectPtr border = m_doc.Resolve(annot->Get("Border"));
            ObjectPtr width = bs->kind == Kind::Dict ? m_doc.Resolve(bs->Get("W")) : MakeNull();
            if (width->kind != Kind::Number && border->kind == Kind::Array && border->items.size() >= 3)
                width = m_doc.Resolve(border->items[2]);
            if (width->kind == Kind::Number) widget.borderWidth = std::max(0.0, std::min(width->number, 100.0));
        }
        ObjectPtr da = m_doc.Resolve(annot->Get("DA"));
        std::string appearance = da->kind == Kind::String ? da->text : !info.appearance.empty() ? info.appearance : m_defaultAppearance;
        widget.fontSize = FontSizeOf(appearance);
    }

    // A colour array: none (transparent), grey, RGB or CMYK components.
    WidgetColour Colour(const ObjectPtr& entry)
    {
        WidgetColour colour;
        ObjectPtr array = m_doc.Resolve(entry);
        if (array->kind != Kind::Array) return colour;
        std::vector<double> c;
        for (const ObjectPtr& item : array->items) {
            ObjectPtr v = m_doc.Resolve(item);
            if (v->kind != Kind::Number) return colour;
            c.push_back(std::max(0.0, std::min(1.0, v->number)));
        }
        if (c.size() == 1) colour.rgb[0] = colour.rgb[1] = colour.rgb[2] = c[0];
        else if (c.size() == 3) std::copy(c.begin(), c.end(), colour.rgb);
        else if (c.size() == 4)
            for (int i = 0; i < 3; ++i) colour.rgb[i] = (1 - c[i]) * (1 - c[3]);
        else return colour;
        colour.present = true;
        return colour;
    }

    int PageOf(const ObjectPtr& annot)
    {
        auto it = m_annotPage.find(annot.get());
        if (it != m_annotPage.end()) return it->second;
        ObjectPtr page = m_doc.Resolve(annot->Get("P"));
        auto found = std::find(m_pageObjects.begin(), m_pageObjects.end(), page.get());
        return found == m_pageObjects.end() ? 0 : static_cast<int>(found - m_pageObjects.begin());
    }

    Document& m_doc;
    FormDocument& m_form;
    std::set<const Object*> m_visited;
    std::set<const Object*> m_widgetAnnots;   // annotations already placed as widgets
    std::map<std::wstring, size_t> m_fieldByName; // index into m_form.fields
    std::map<const Object*, int> m_annotPage;
    std::vector<std::vector<ObjectPtr>> m_pageAnnots; // the readable annotations of each page
    size_t m_widgetCount = 0;
    std::vector<const Object*> m_pageObjects;
    std::string m_defaultAppearance;
};

// Why the page tree could not be read, naming the first page object (page or node of the tree) that is
// damaged: the tree is walked again, each object resolved with what the pages take from it.
std::string PageTreeDamage(Document& doc, const std::string& error)
{
    std::vector<ObjectPtr> pending;
    try {
        pending.push_back(doc.Catalog()->Get("Pages"));
    } catch (const PdfError& e) {
        return std::string("the document catalog is damaged (") + e.what() + ")";
    }
    std::set<int> seen; // a diagnosis, not a reading: it looks at no more objects than a field tree may have
    while (!pending.empty() && seen.size() <= kMaxFieldNodes) {
        ObjectPtr ref = pending.back();
        pending.pop_back();
        if (ref->kind != Kind::Ref || !seen.insert(ref->refNumber).second) continue;
        ObjectPtr kids;
        try {
            ObjectPtr node = doc.Resolve(ref);
            doc.Resolve(node->Get("Rotate"));
            kids = doc.Resolve(node->Get("Kids"));
        } catch (const PdfError& e) {
            return "page object " + ObjectName(ref) + " is damaged (" + e.what() + ")";
        }
        if (kids->kind == Kind::Array) pending.insert(pending.end(), kids->items.rbegin(), kids->items.rend());
    }
    return "the page tree is damaged (" + error + ")";
}

// The document information's title and subject; a damaged dictionary is left out (the trace says so).
void ReadInformation(Document& doc, FormDocument& form)
{
    try {
        ObjectPtr info = doc.Resolve(doc.Trailer()->Get("Info"));
        if (info->kind != Kind::Dict) return;
        ObjectPtr title = doc.Resolve(info->Get("Title"));
        if (title->kind == Kind::String) form.title = DecodeTextString(title->text);
        ObjectPtr subject = doc.Resolve(info->Get("Subject"));
        if (subject->kind == Kind::String) form.subject = DecodeTextString(subject->text);
    } catch (const PdfError& e) {
        form.title.clear();
        form.subject.clear();
        viewer::TraceFormLine(std::string("the document information is damaged and left out: ") + e.what());
    }
}
} // namespace

void AppendCodePoint(std::wstring& out, unsigned long code)
{
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
        out += static_cast<wchar_t>(code);
    }
}

std::wstring DecodeTextString(const std::string& bytes)
{
    std::wstring out;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out += static_cast<wchar_t>((static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]));
        return out;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        for (size_t i = 3; i < bytes.size();) {
            unsigned char c = bytes[i];
            unsigned long cp = c;
            int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            if (extra) cp = c & (0x3F >> extra);
            ++i;
            for (int k = 0; k < extra && i < bytes.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
            AppendCodePoint(out, cp);
        }
        return out;
    }
    for (unsigned char c : bytes) out += PdfDocEncodingChar(c);
    return out;
}

std::string FormSizeRefusal(const FormDocument& form)
{
    if (form.fields.size() > kMaxShownFields)
        return "the form has more than " + std::to_string(kMaxShownFields) + " fields";
    size_t widgets = 0;
    for (const FormField& field : form.fields) widgets += field.widgets.size();
    if (widgets > kMaxShownWidgets) return "the form has more than " + std::to_string(kMaxShownWidgets) + " field widgets";
    return std::string();
}

bool ReadPdfForm(const std::string& bytes, FormDocument& form, std::string& error)
{
    form = FormDocument();
    try {
        Document doc(bytes);
        std::vector<Document::Page> pages;
        try {
            pages = doc.Pages();
        } catch (const PdfLimitError&) {
            throw;
        } catch (const PdfError& e) {
            throw PdfError(PageTreeDamage(doc, e.what()));
        }
        if (pages.empty()) throw PdfError("the document has no pages");
        ResourceReader resources(doc);
        PageContentReader contents(doc);
        for (const Document::Page& p : pages) {
            PageInfo info;
            std::copy(p.box, p.box + 4, info.box);
            if (info.Width() <= 0 || info.Height() <= 0) info = PageInfo();
            info.rotation = p.rotation;
            form.pages.push_back(info);
            form.pageContents.push_back(contents.Read(p.object, form.pages.size() - 1));
            form.pageFonts.push_back(resources.Fonts(p.resources));
            form.pageForms.push_back(resources.Forms(p.resources));
        }
        ReadInformation(doc, form);
        FieldWalker walker(doc, form);
        walker.IndexPages(pages);
        ObjectPtr acroForm, fields;
        try {
            acroForm = doc.Resolve(doc.Catalog()->Get("AcroForm"));
            fields = acroForm->kind == Kind::Dict ? doc.Resolve(acroForm->Get("Fields")) : MakeNull();
        } catch (const PdfError& e) {
            throw PdfError(std::string("the form's list of fields is damaged (") + e.what() + ")");
        }
        walker.SetDefaultAppearance(acroForm);
        if (fields->kind == Kind::Array) {
            for (const ObjectPtr& f : fields->items) walker.Walk(f, Inherited(), 0);
        }
        walker.CollectPageWidgets();
        return true;
    } catch (const PdfError& e) {
        error = e.what();
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory to read it";
    } catch (const std::exception& e) {
        error = std::string("the file could not be read: ") + e.what();
    }
    form = FormDocument();
    return false;
}

} // namespace pdf
