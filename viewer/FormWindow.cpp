// The form window: pages, field controls, scrolling, zoom, printing and e-mail of a blank copy.
#include "viewer/FormWindow.h"
#include "viewer/FormGuard.h"
#include "viewer/PageRenderer.h"
#include "viewer/FormTrace.h"
#include <algorithm>
#include <cmath>

namespace viewer {

namespace {
const wchar_t kClassName[] = L"FormsteadFormWindow";
const int kMargin = 8;
const int kFirstControlId = 1000;
const double kZoomSteps[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
const double kControlFontPoints = 7.5; // fields whose appearance names no text size
const int kMinFontPixels = 6;
// A line of text takes about this many times its font size in height.
const double kLineHeight = 1.15;
const double kMaxAutoMultilinePoints = 12;
// Field controls out of view are made after the first paint, this many at each posted message, so
// that input is handled between slices.
const UINT kCreateMoreControls = WM_APP + 0x2F1; // wParam: the generation of the controls
const size_t kControlsPerSlice = 12;

bool RegisterFormClass()
{
    static bool registered = false;
    if (registered) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW; // replaced per window by FormWindow::WindowProc through the creation data
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kClassName;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

std::wstring ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return L"The file cannot be opened.";
    LARGE_INTEGER size{};
    std::wstring error;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > (256 << 20)) {
        error = L"The file is too large to be a form.";
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() && (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
            error = L"The file cannot be read.";
    }
    CloseHandle(file);
    return error;
}

std::wstring Widen(const std::string& text)
{
    std::wstring out;
    for (unsigned char c : text) out += static_cast<wchar_t>(c);
    return out;
}

std::wstring WindowText(HWND hwnd)
{
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}
} // namespace

std::wstring MailtoEncode(const std::wstring& text)
{
    // UTF-8 bytes as %XX except letters, digits and "-._~": "&", "#", "%", "+" and blanks in a
    // file name must not end or change the subject or the body.
    std::string utf8;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        utf8.resize(n > 0 ? static_cast<size_t>(n) : 0);
        if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    }
    const wchar_t* hex = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : utf8) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
            c == '~') {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::wstring BlankCopyPath(const std::wstring& formPath)
{
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH, temp);
    std::wstring folder = (n > 0 && n <= MAX_PATH) ? std::wstring(temp) : std::wstring(L".\\");
    if (folder.back() != L'\\') folder += L'\\';
    folder += L"Formstead\\";
    size_t slash = formPath.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? formPath : formPath.substr(slash + 1);
    if (name.empty()) name = L"form.pdf";
    return folder + name;
}

FormWindow::~FormWindow()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
    for (auto& font : m_fonts) DeleteObject(font.second);
    for (auto& brush : m_brushes) DeleteObject(brush.second);
}

void FormWindow::Orphan()
{
    m_orphaned = true;
    if (m_hwnd) ShowWindow(m_hwnd, SW_HIDE);
}

bool FormWindow::Create(HWND parent, const RECT& rect)
{
    if (!RegisterFormClass()) return false;
    m_hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                             rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd) return false;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::WindowProc));
    return true;
}

bool FormWindow::Load(const std::wstring& path)
{
    DestroyControls();
    m_script.Unload();
    m_letterhead = Letterhead();
    m_path = path;
    m_error.clear();
    m_scrollX = m_scrollY = 0;
    // Everything done with the file runs under one net: a file that makes any step fail, or run out
    // of memory, is a form that could not be opened, never the end of the program.
    std::wstring failure = RunGuarded(L"opening a form", [&] {
        FormStep("read");
        std::string bytes;
        std::wstring error = path.empty() ? L"No document was given." : ReadFileBytes(path, bytes);
        pdf::FormDocument form;
        std::string reason;
        FormStep("parse");
        if (error.empty() && (!pdf::ReadPdfForm(bytes, form, reason) || !(reason = pdf::FormSizeRefusal(form)).empty()))
            error = L"The file is not a readable PDF form (" + Widen(reason) + L").";
        if (!error.empty()) {
            m_error = L"The form " + path + L" could not be opened. " + error;
            return;
        }
        FormStep("script");
        m_script.Load(std::move(form), std::move(bytes));
        FormStep("controls");
        ListControls();
        FormStep("letterhead");
        m_letterhead.Update(m_script);
        Layout(); // makes the controls in view
    });
    if (!failure.empty()) {
        DestroyControls();
        m_script.Unload();
        m_letterhead = Letterhead();
        m_error = L"The form " + path + L" could not be opened. The file could not be read (" + failure + L").";
    }
    if (!m_error.empty()) {
        TraceFormLine(m_error);
        Layout(); // an empty form: nothing to scroll
    }
    if (m_pending) PostMessageW(m_hwnd, kCreateMoreControls, m_generation, 0);
    if (m_hwnd) InvalidateRect(m_hwnd, nullptr, TRUE);
    return m_error.empty();
}

HWND FormWindow::ControlOf(size_t field, size_t widget)
{
    for (const FieldControl& c : m_controls) {
        if (c.field != field || c.widget != widget) continue;
        // Asked for by name: the caller may go on to the next fields, so every control is made now.
        if (!c.made) CreateAllControls();
        return c.hwnd;
    }
    return nullptr;
}

void FormWindow::ListControls()
{
    if (!m_hwnd) return;
    const pdf::FormDocument& form = m_script.Form();
    for (size_t f = 0; f < form.fields.size(); ++f) {
        const pdf::FormField& field = form.fields[f];
        if (field.type == pdf::FieldType::Signature) continue;
        for (size_t w = 0; w < field.widgets.size(); ++w)
            if (field.widgets[w].page < static_cast<int>(form.pages.size()) && (!field.widgets[w].hidden || m_script.MayBeShown(f)))
                m_controls.push_back({nullptr, f, w, false});
    }
    m_pending = m_controls.size();
    ++m_generation;
}

void FormWindow::CreateControlsInView()
{
    // Making hundreds of controls takes a good part of a second: those over the part of the page in
    // view are made at once, the rest in slices between the messages that follow.
    if (!m_pending) return;
    RECT client, shown;
    GetClientRect(m_hwnd, &client);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].made) continue;
        RECT rc = ControlRect(m_controls[i]);
        if (IntersectRect(&shown, &rc, &client)) CreateControl(i);
    }
}

void FormWindow::CreateControl(size_t index)
{
    FieldControl& c = m_controls[index];
    if (c.made) return;
    c.made = true;
    --m_pending;
    const pdf::FormField& field = m_script.Form().fields[c.field];
    const wchar_t* cls = L"EDIT";
    DWORD style = WS_CHILD | WS_TABSTOP | (m_script.IsShown(c.field, c.widget) ? WS_VISIBLE : 0);
    switch (field.type) {
    case pdf::FieldType::Text:
        style |= field.multiline ? (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN) : ES_AUTOHSCROLL;
        if (field.readOnly) style |= ES_READONLY;
        break;
    case pdf::FieldType::CheckBox: cls = L"BUTTON"; style |= BS_CHECKBOX; break;
    case pdf::FieldType::Radio: cls = L"BUTTON"; style |= BS_RADIOBUTTON; break;
    case pdf::FieldType::Choice:
        cls = field.combo ? L"COMBOBOX" : L"LISTBOX";
        style |= field.combo ? (CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL) : (LBS_NOTIFY | WS_VSCROLL);
        break;
    case pdf::FieldType::PushButton: cls = L"BUTTON"; style |= BS_PUSHBUTTON; break;
    case pdf::FieldType::Signature: return;
    }
    // Made in place and shown, then its font, options and value: no message more than it needs.
    int id = kFirstControlId + static_cast<int>(index);
    RECT rc = ControlRect(c);
    const pdf::Widget& widget = field.widgets[c.widget];
    const std::wstring caption = field.type != pdf::FieldType::PushButton ? std::wstring()
                                 : widget.caption.empty()                  ? field.name
                                                                           : widget.caption;
    HWND control = CreateWindowExW(0, cls, caption.c_str(), style,
                                   rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) return;
    c.hwnd = control;
    // The tab order is the field order whatever order the controls are made in: a new control goes
    // at the end, unless a later one is already made; then it goes right after the nearest made
    // control before it (or first).
    bool laterMade = false;
    for (size_t i = index + 1; i < m_controls.size() && !laterMade; ++i) laterMade = m_controls[i].hwnd != nullptr;
    if (laterMade) {
        HWND after = HWND_TOP;
        for (size_t i = index; i-- > 0;)
            if (m_controls[i].hwnd) {
                after = m_controls[i].hwnd;
                break;
            }
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOfHeight(ControlFontPixels(c), m_fonts)), FALSE);
    if (field.type == pdf::FieldType::Text && field.maxLength > 0) SendMessageW(control, EM_LIMITTEXT, field.maxLength, 0);
    for (const std::wstring& option : field.options)
        SendMessageW(control, field.combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
    // A new control is empty, unchecked, with nothing selected: a value set before it was made is
    // shown now.
    if (!m_script.Value(c.field).empty()) {
        bool updating = m_updating;
        m_updating = true;
        UpdateControl(c);
        m_updating = updating;
    }
}

void FormWindow::CreatePendingControls(size_t count)
{
    for (size_t i = 0; i < m_controls.size() && count > 0 && m_pending; ++i)
        if (!m_controls[i].made) {
            CreateControl(i);
            --count;
        }
}

void FormWindow::CreateAllControls()
{
    CreatePendingControls(m_controls.size());
}

void FormWindow::ShowValueStart(HWND edit)
{
    // A single-line edit keeps its text scrolled to wherever the caret last was (the end of a
    // long value after typing or selecting it all); away from the focus it shows the value's start.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void FormWindow::DestroyControls()
{
    for (const FieldControl& c : m_controls)
        if (c.hwnd) DestroyWindow(c.hwnd);
    m_controls.clear();
    m_pending = 0;
    ++m_generation; // a slice message still queued finds nothing to do
}

void FormWindow::UpdateControls()
{
    m_updating = true;
    for (const FieldControl& c : m_controls)
        if (c.hwnd) UpdateControl(c);
    m_updating = false;
}

void FormWindow::UpdateControl(const FieldControl& c)
{
    const pdf::FormField& field = m_script.Form().fields[c.field];
    const std::wstring& value = m_script.Value(c.field);
    switch (field.type) {
    case pdf::FieldType::Text:
        if (WindowText(c.hwnd) != value) SetWindowTextW(c.hwnd, value.c_str());
        if (!field.multiline && GetFocus() != c.hwnd) ShowValueStart(c.hwnd);
        break;
    case pdf::FieldType::CheckBox:
    case pdf::FieldType::Radio:
        SendMessageW(c.hwnd, BM_SETCHECK, m_script.IsChecked(c.field, c.widget) ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case pdf::FieldType::Choice: {
        // The value is an option's export value; the list holds the option texts in the same order.
        auto found = std::find(field.exports.begin(), field.exports.end(), value);
        int at = found == field.exports.end() ? -1 : static_cast<int>(found - field.exports.begin());
        if (field.combo) {
            SendMessageW(c.hwnd, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
            if (at < 0) SetWindowTextW(c.hwnd, value.c_str());
        } else {
            SendMessageW(c.hwnd, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        }
        break;
    }
    default:
        break;
    }
}

void FormWindow::OnControl(int index, int code)
{
    if (m_updating || index < 0 || index >= static_cast<int>(m_controls.size()) || !m_controls[index].hwnd) return;
    const FieldControl& c = m_controls[index];
    const pdf::FormField& field = m_script.Form().fields[c.field];
    switch (field.type) {
    case pdf::FieldType::Text:
        if (code == EN_CHANGE) {
            m_script.SetValue(c.field, WindowText(c.hwnd));
            // A statement shows each line's balance as its charge or payments are typed; the sums
            // of calculated fields follow.
            if (m_script.IsBalanceInput(c.field) && m_script.UpdateLineBalances()) UpdateControls();
            else UpdateCalculatedControls();
        } else if (code == EN_KILLFOCUS && !field.multiline) {
            ShowValueStart(c.hwnd);
        }
        return;
    case pdf::FieldType::PushButton:
        if (code == BN_CLICKED) RunButtonAction(field.widgets[c.widget]);
        return;
    case pdf::FieldType::CheckBox:
    case pdf::FieldType::Radio:
        if (code != BN_CLICKED) return;
        if (field.type == pdf::FieldType::CheckBox && m_script.IsChecked(c.field, c.widget)) m_script.SetValue(c.field, L"");
        else m_script.SetValue(c.field, pdf::DecodeTextString(field.widgets[c.widget].onState));
        UpdateControls();
        return;
    case pdf::FieldType::Choice:
        if (field.combo && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE)) {
            LRESULT sel = SendMessageW(c.hwnd, CB_GETCURSEL, 0, 0);
            if (code == CBN_SELCHANGE && sel >= 0 && static_cast<size_t>(sel) < field.exports.size()) m_script.SetValue(c.field, field.exports[sel]);
            else m_script.SetValue(c.field, WindowText(c.hwnd));
        } else if (!field.combo && code == LBN_SELCHANGE) {
            LRESULT sel = SendMessageW(c.hwnd, LB_GETCURSEL, 0, 0);
            if (sel >= 0 && static_cast<size_t>(sel) < field.exports.size()) m_script.SetValue(c.field, field.exports[sel]);
        }
        return;
    default:
        return;
    }
}

void FormWindow::RunButtonAction(const pdf::Widget& widget)
{
    // The reader's own print command prints the form as it is shown; an address is a navigation
    // made by the page (the window may be replaced by it).
    if (widget.namedAction == "Print") {
        Print(PrintMode::All, 0, 0);
    } else if (!widget.address.empty()) {
        std::wstring address = m_script.ResolveAddress(widget.address);
        m_host.NavigateFromPage(address);
    }
}

void FormWindow::UpdateCalculatedControls()
{
    if (!m_script.HasCalculations()) return;
    m_updating = true;
    for (const FieldControl& c : m_controls)
        if (c.hwnd && !m_script.Form().fields[c.field].sumOf.empty()) UpdateControl(c);
    m_updating = false;
}

void FormWindow::ShowControlsAsShown()
{
    // A list form shows a row only while it holds a record: the page under a row that came or went
    // is drawn again (its frames are drawn only for rows shown).
    bool changed = false;
    for (const FieldControl& c : m_controls) {
        if (!c.hwnd) continue;
        const bool shown = m_script.IsShown(c.field, c.widget);
        if (shown == ((GetWindowLongW(c.hwnd, GWL_STYLE) & WS_VISIBLE) != 0)) continue;
        ShowWindow(c.hwnd, shown ? SW_SHOWNA : SW_HIDE);
        changed = true;
    }
    if (changed && m_hwnd) InvalidateRect(m_hwnd, nullptr, TRUE);
}

void FormWindow::FieldsChanged()
{
    UpdateControls();
    ShowControlsAsShown();
    m_letterhead.Update(m_script);
    InvalidateLetterhead();
}

void FormWindow::InvalidateLetterhead()
{
    const pdf::FormDocument& form = m_script.Form();
    if (!m_hwnd || m_letterhead.Page() >= static_cast<int>(form.pages.size())) return;
    RECT area = Placement(m_letterhead.Page()).ToDevice(m_letterhead.Box());
    InflateRect(&area, 1, 1);
    InvalidateRect(m_hwnd, &area, TRUE);
}

double FormWindow::Scale() const
{
    if (!m_hwnd || m_script.Form().pages.empty()) return 1;
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    double widest = 1;
    for (const pdf::PageInfo& p : m_script.Form().pages) widest = std::max(widest, p.ShownWidth());
    double fit = std::max(50.0, static_cast<double>(rc.right - 2 * kMargin)) / widest;
    return fit * m_zoom;
}

double FormWindow::PageLeft() const
{
    return kMargin - m_scrollX;
}

double FormWindow::PageTop(int page) const
{
    double top = kMargin - m_scrollY, scale = Scale();
    for (int i = 0; i < page && i < static_cast<int>(m_script.Form().pages.size()); ++i)
        top += m_script.Form().pages[i].ShownHeight() * scale + kMargin;
    return top;
}

PagePlacement FormWindow::Placement(int page) const
{
    return PlacePage(m_script.Form().pages[page], Scale(), PageLeft(), PageTop(page));
}

void FormWindow::Layout()
{
    if (!m_hwnd) return;
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    const pdf::FormDocument& form = m_script.Form();
    double scale = Scale();
    // Scroll ranges: the pages' extent against the window.
    double width = 2 * kMargin, height = kMargin;
    for (const pdf::PageInfo& p : form.pages) {
        width = std::max(width, p.ShownWidth() * scale + 2 * kMargin);
        height += p.ShownHeight() * scale + kMargin;
    }
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    m_scrollX = std::max(0, std::min(m_scrollX, static_cast<int>(width - rc.right)));
    m_scrollY = std::max(0, std::min(m_scrollY, static_cast<int>(height - rc.bottom)));
    si.nMax = static_cast<int>(width);
    si.nPage = rc.right + 1;
    si.nPos = m_scrollX;
    SetScrollInfo(m_hwnd, SB_HORZ, &si, TRUE);
    si.nMax = static_cast<int>(height);
    si.nPage = rc.bottom + 1;
    si.nPos = m_scrollY;
    SetScrollInfo(m_hwnd, SB_VERT, &si, TRUE);

    // Moving hundreds of controls one by one with redrawing off, then one repaint of everything.
    // Each control sits inside its widget's border, which the window draws around it.
    // Controls not made yet are made in place later, with the fonts of the scale then.
    std::map<int, HFONT> fonts;
    SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
    for (const FieldControl& c : m_controls) {
        if (!c.hwnd) continue;
        RECT area = ControlRect(c);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOfHeight(ControlFontPixels(c), fonts)), FALSE);
        SetWindowPos(c.hwnd, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    }
    for (auto& font : m_fonts) DeleteObject(font.second); // no control uses them any more
    m_fonts.swap(fonts);
    // Scrolled or zoomed before all were made: the controls now in view are made at once.
    CreateControlsInView();
    SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// Where a widget's control goes in the window: inside the widget's border, which the window draws
// around it (a drop-down's height includes its list).
RECT FormWindow::ControlRect(const FieldControl& control) const
{
    const pdf::FormField& field = m_script.Form().fields[control.field];
    const pdf::Widget& w = field.widgets[control.widget];
    RECT area = WidgetRect(w);
    int border = BorderPixels(w, Scale());
    if (area.right - area.left > 2 * border + 4 && area.bottom - area.top > 2 * border + 4) InflateRect(&area, -border, -border);
    int cx = std::max(4L, area.right - area.left), cy = std::max(4L, area.bottom - area.top);
    if (field.type == pdf::FieldType::Choice && field.combo) cy = std::max(cy, 20) * 6;
    return RECT{area.left, area.top, area.left + cx, area.top + cy};
}

RECT FormWindow::WidgetRect(const pdf::Widget& widget) const
{
    return Placement(widget.page).ToDevice(widget.rect);
}

HFONT FormWindow::FontOfHeight(int pixels, std::map<int, HFONT>& fonts) const
{
    HFONT& font = fonts[pixels];
    if (!font)
        font = CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Arial");
    return font;
}

int FormWindow::ControlFontPixels(const FieldControl& control) const
{
    const pdf::FormField& field = m_script.Form().fields[control.field];
    const pdf::Widget& widget = field.widgets[control.widget];
    double points = kControlFontPoints;
    if (field.type == pdf::FieldType::Text && widget.fontSize > 0) {
        points = widget.fontSize;
    } else if (field.type == pdf::FieldType::Text && widget.fontSize == 0) {
        // Automatic size: one line fills the box inside its border; several lines stay readable.
        // On a page turned a quarter, the box's width in the file is its height as shown.
        bool quarter = m_script.Form().pages[widget.page].rotation % 180 != 0;
        double shownHeight = quarter ? widget.rect[2] - widget.rect[0] : widget.rect[3] - widget.rect[1];
        double inner = shownHeight - 2 * (widget.border.present ? widget.borderWidth : 0) - 2;
        points = inner / kLineHeight;
        if (field.multiline) points = std::min(points, kMaxAutoMultilinePoints);
    }
    return std::max(kMinFontPixels, static_cast<int>(std::lround(points * Scale())));
}

HBRUSH FormWindow::FieldBrush(HWND control, HDC dc)
{
    // The control is found by its id (its place in m_controls); a drop-down's edit asks through the
    // drop-down, so its parent is tried as well.
    for (HWND hwnd : {control, GetParent(control)}) {
        size_t index = static_cast<size_t>(GetDlgCtrlID(hwnd) - kFirstControlId);
        if (!hwnd || index >= m_controls.size() || m_controls[index].hwnd != hwnd) continue;
        const FieldControl& c = m_controls[index];
        COLORREF colour;
        if (!WidgetFill(m_script.Form().fields[c.field].widgets[c.widget], true, colour)) return nullptr;
        HBRUSH& brush = m_brushes[colour];
        if (!brush) brush = CreateSolidBrush(colour);
        if (!brush) return nullptr;
        SetBkColor(dc, colour);
        return brush;
    }
    return nullptr;
}

void FormWindow::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    // What a page fails to draw leaves the window as far as it got; the paint still ends.
    RunGuarded(L"painting a form", [&] {
        FormStep("paint");
        PaintPages(dc, ps.rcPaint);
    });
    EndPaint(m_hwnd, &ps);
}

void FormWindow::PaintPages(HDC dc, const RECT& painted)
{
    const pdf::FormDocument& form = m_script.Form();
    if (!m_error.empty()) {
        RECT rc;
        GetClientRect(m_hwnd, &rc);
        InflateRect(&rc, -16, -16);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, m_error.c_str(), -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
    }
    double scale = Scale();
    for (size_t p = 0; p < form.pages.size(); ++p) {
        int page = static_cast<int>(p);
        PagePlacement place = Placement(page);
        RECT paper = place.ToDevice(form.pages[p].box);
        RECT visible;
        if (!IntersectRect(&visible, &paper, &painted)) continue;
        FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawFormPage(dc, form, p, place, false);
        m_letterhead.Draw(dc, page, place);
        // The fields' backgrounds and borders (each inside its widget's rectangle, so only those the
        // paint reaches are drawn); their controls cover the inside.
        for (size_t f = 0; f < form.fields.size(); ++f)
            for (size_t w = 0; w < form.fields[f].widgets.size(); ++w) {
                const pdf::Widget& widget = form.fields[f].widgets[w];
                if (widget.page != page || !m_script.IsShown(f, w)) continue;
                RECT area = WidgetRect(widget), reached;
                if (IntersectRect(&reached, &area, &painted)) DrawWidgetFrame(dc, widget, area, scale, true, false);
            }
    }
}

void FormWindow::Render(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const
{
    TryRender(dc, page, mode, shiftX, shiftY);
}

bool FormWindow::TryRender(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const
{
    return RunGuarded(L"printing a form", [&] {
               FormStep("print");
               RenderPage(dc, page, mode, shiftX, shiftY);
           }).empty();
}

void FormWindow::RenderPage(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const
{
    const pdf::FormDocument& form = m_script.Form();
    if (page < 0 || page >= static_cast<int>(form.pages.size())) return;
    double dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpiX <= 0) dpiX = 72;
    if (dpiY <= 0) dpiY = dpiX;
    // A page shown across (a landscape form on upright paper, or the other way) is printed a quarter
    // turn back, so that it fills the paper as it was laid out.
    pdf::PageInfo printed = form.pages[page];
    int paperWidth = GetDeviceCaps(dc, PHYSICALWIDTH), paperHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    bool paperAcross = paperWidth > paperHeight;
    bool pageAcross = printed.ShownWidth() > printed.ShownHeight();
    if (printed.rotation % 180 && paperWidth > 0 && paperHeight > 0 && paperAcross != pageAcross)
        printed.rotation = (printed.rotation + 270) % 360;
    // The printable area starts at the physical offset: page position 0 is the paper's edge.
    PagePlacement place = PlacePage(printed, dpiX / 72.0, -GetDeviceCaps(dc, PHYSICALOFFSETX) + shiftX * dpiX / 72.0,
                                    -GetDeviceCaps(dc, PHYSICALOFFSETY) - shiftY * dpiY / 72.0);
    if (mode != PrintMode::Text) {
        DrawFormPage(dc, form, page, place, mode == PrintMode::AllBlackWhite);
        DrawWidgetFrames(dc, m_script, page, place, mode == PrintMode::AllBlackWhite);
        m_letterhead.Draw(dc, page, place);
    }
    DrawFieldValues(dc, m_script, page, place);
}

void FormWindow::Print(PrintMode mode, int shiftX, int shiftY)
{
    if (!m_script.IsLoaded()) return;
    bool ownsDc = false;
    HDC dc = m_host.ChoosePrinter(ownsDc);
    if (!dc) return;
    if (m_orphaned) {
        // The page went away while the printer was chosen (the host may be gone as well).
        if (ownsDc) DeleteDC(dc);
        return;
    }
    if (GetObjectType(dc) == OBJ_ENHMETADC) {
        // A metafile records one page and has no print job around it.
        bool drawn = TryRender(dc, 0, mode, shiftX, shiftY);
        if (ownsDc) DeleteDC(dc);
        if (!drawn) m_host.ShowMessage(L"The form could not be printed.");
        return;
    }
    DOCINFOW doc = {sizeof doc};
    std::wstring title = m_script.Form().title.empty() ? std::wstring(L"Form") : m_script.Form().title;
    doc.lpszDocName = title.c_str();
    bool ok = StartDocW(dc, &doc) > 0;
    for (int page = 0; ok && page < static_cast<int>(m_script.Form().pages.size()); ++page) {
        ok = StartPage(dc) > 0;
        ok = ok && TryRender(dc, page, mode, shiftX, shiftY);
        ok = ok && EndPage(dc) > 0;
    }
    if (ok) EndDoc(dc);
    else AbortDoc(dc);
    if (ownsDc) DeleteDC(dc);
    if (!ok) m_host.ShowMessage(L"The form could not be printed.");
}

void FormWindow::EmailForm()
{
    if (!m_script.IsLoaded()) return;
    std::wstring copy = BlankCopyPath(m_path);
    std::wstring folder = copy.substr(0, copy.find_last_of(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE file = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const std::string& bytes = m_script.PdfBytes();
    bool saved = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!saved) {
        m_host.ShowMessage(L"A blank copy of the form could not be saved to " + copy + L".");
        return;
    }
    std::wstring name = copy.substr(copy.find_last_of(L'\\') + 1);
    std::wstring address = L"mailto:?subject=" + MailtoEncode(name) +
                           L"&body=" + MailtoEncode(L"The blank form is attached: " + copy);
    if (!m_host.OpenAddress(address))
        m_host.ShowMessage(L"No e-mail program could be started. A blank copy of the form was saved to " + copy +
                           L"; attach it to a message yourself.");
}

bool FormWindow::FocusNextField(HWND from, bool backwards)
{
    if (!m_hwnd || !from || !IsChild(m_hwnd, from)) return false;
    CreateAllControls(); // the next field's control may not be made yet
    while (GetParent(from) != m_hwnd) from = GetParent(from);
    HWND next = GetNextDlgTabItem(m_hwnd, from, backwards);
    if (!next) return false;
    ScrollIntoView(next);
    SetFocus(next);
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
    return true;
}

void FormWindow::ScrollIntoView(HWND control)
{
    RECT client, rc;
    GetClientRect(m_hwnd, &client);
    GetWindowRect(control, &rc);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rc), 2);
    int dy = rc.top < 0 ? rc.top - kMargin : rc.bottom > client.bottom ? rc.bottom - client.bottom + kMargin : 0;
    int dx = rc.left < 0 ? rc.left - kMargin : rc.right > client.right ? std::min(rc.right - client.right + kMargin, rc.left - kMargin) : 0;
    if (!dx && !dy) return;
    m_scrollX = std::max(0, m_scrollX + dx);
    m_scrollY = std::max(0, m_scrollY + dy);
    Layout();
}

void FormWindow::Zoom(int direction)
{
    const int count = sizeof kZoomSteps / sizeof kZoomSteps[0];
    int at = 0;
    while (at + 1 < count && kZoomSteps[at] < m_zoom - 1e-9) ++at;
    at = std::max(0, std::min(count - 1, at + direction));
    if (kZoomSteps[at] == m_zoom) return;
    // The page point at the view's top left stays there: as a page and an offset in points
    // (the margins between pages do not scale), taken before and placed after the zoom.
    const std::vector<pdf::PageInfo>& pages = m_script.Form().pages;
    double before = Scale();
    double left = kMargin, top = kMargin;
    size_t page = 0;
    while (page + 1 < pages.size() && top + pages[page].ShownHeight() * before + kMargin <= m_scrollY) {
        top += pages[page].ShownHeight() * before + kMargin;
        ++page;
    }
    double pointX = (m_scrollX - left) / before, pointY = (m_scrollY - top) / before;
    m_zoom = kZoomSteps[at];
    double after = Scale();
    top = kMargin;
    for (size_t i = 0; i < page; ++i) top += pages[i].ShownHeight() * after + kMargin;
    m_scrollX = std::max(0, static_cast<int>(std::lround(left + pointX * after)));
    m_scrollY = std::max(0, static_cast<int>(std::lround(top + pointY * after)));
    Layout(); // keeps the positions inside the new scroll ranges
}

void FormWindow::OnScroll(int bar, int code)
{
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(m_hwnd, bar, &si);
    int pos = si.nPos;
    switch (code) {
    case SB_LINEUP: pos -= 20; break;
    case SB_LINEDOWN: pos += 20; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    (bar == SB_VERT ? m_scrollY : m_scrollX) = std::max(0, pos);
    Layout();
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->m_hwnd != hwnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // Nothing a form makes fail may leave through the window procedure (the system's code is between
    // it and whoever could catch it).
    LRESULT result = 0;
    if (!RunGuarded(L"handling a message of a form", [&] { result = self->Handle(msg, wParam, lParam); }).empty())
        return 0;
    return result;
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = FieldBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case kCreateMoreControls:
        if (wParam == m_generation && m_pending) {
            CreatePendingControls(kControlsPerSlice);
            if (m_pending) PostMessageW(m_hwnd, kCreateMoreControls, m_generation, 0);
        }
        return 0;
    case WM_COMMAND:
        if (lParam) OnControl(LOWORD(wParam) - kFirstControlId, HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnScroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (const pdf::PageLink& link : m_script.Form().links) {
            RECT area = Placement(link.page).ToDevice(link.rect);
            if (PtInRect(&area, pt)) {
                std::wstring address = link.address; // the navigation may replace this window
                m_host.NavigateFromPage(address);
                return 0;
            }
        }
        return 0;
    }
    case WM_NCDESTROY: {
        HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        m_controls.clear();
        m_pending = 0;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

} // namespace viewer
