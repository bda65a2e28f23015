// The window that shows a loaded form PDF: its pages drawn to the window's width (with zoom), an
// edit, check-box, radio or list control over every field widget, and its links. It carries out the
// form's print, zoom and e-mail commands.
#pragma once
#include "viewer/FormScript.h"
#include "viewer/Letterhead.h"
#include "viewer/PageRenderer.h"
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace viewer {

// What the form window needs from the view that holds it.
class FormWindowHost
{
public:
    virtual ~FormWindowHost() = default;
    // A link of the form was clicked: a navigation made by the page.
    virtual void NavigateFromPage(const std::wstring& address) = 0;
    // Opens an address with its program (mailto:); false when nothing could open it.
    virtual bool OpenAddress(const std::wstring& address) = 0;
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The device context to print on: a printer chosen by the user, or null when cancelled.
    // ownsDc tells whether the caller deletes it after printing.
    virtual HDC ChoosePrinter(bool& ownsDc) = 0;
};

class FormWindow : public FormActions
{
public:
    explicit FormWindow(FormWindowHost& host) : m_host(host) {}
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    bool Create(HWND parent, const RECT& rect);
    HWND Hwnd() const { return m_hwnd; }

    // Reads the PDF at that path; on failure the window shows why, and Error() says it.
    bool Load(const std::wstring& path);
    const std::wstring& Error() const { return m_error; }
    const std::wstring& Path() const { return m_path; }
    FormScript& Script() { return m_script; }

    // The page let the form go while one of its commands still runs: the window is hidden and a
    // print whose printer is still being chosen is dropped.
    void Orphan();

    double ZoomFactor() const { return m_zoom; }
    // The control over a field's widget (tests and the keyboard reach fields through it); controls
    // not made yet are all made first.
    HWND ControlOf(size_t field, size_t widget = 0);

    // Moves the keyboard focus from a field control (or a window inside one) to the next or the
    // previous field and scrolls it into view; false when the window is not one of the fields.
    bool FocusNextField(HWND from, bool backwards);

    // Draws the form as printed: all (drawing and values), text only, or all in black and white,
    // shifted by the offsets (points; x to the right, y upwards) on a device of that resolution.
    // A page that fails to draw is left as far as it got; the trace says why.
    void Render(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const;

    // FormActions
    void Zoom(int direction) override;
    void Print(PrintMode mode, int shiftX, int shiftY) override;
    void CancelPrint() override {}
    void EmailForm() override;
    void FieldsChanged() override;

    // The statement letterhead drawn over the page, when the form has one.
    const Letterhead& LetterheadShown() const { return m_letterhead; }

private:
    // One per field widget, in field order; its control id is kFirstControlId + its index. The
    // control is made when its widget is in view, or later in slices between messages.
    struct FieldControl
    {
        HWND hwnd;
        size_t field;
        size_t widget;
        bool made;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void ListControls();
    void CreateControlsInView();
    void CreateControl(size_t index);
    void CreatePendingControls(size_t count);
    void CreateAllControls();
    void DestroyControls();
    void Layout();
    RECT ControlRect(const FieldControl& control) const;
    void UpdateControls();
    // Shows and hides the controls as the form shows its widgets now.
    void ShowControlsAsShown();
    void UpdateControl(const FieldControl& control);
    static void ShowValueStart(HWND edit);
    void OnControl(int index, int code);
    void RunButtonAction(const pdf::Widget& widget);
    void UpdateCalculatedControls();
    void InvalidateLetterhead();
    void OnScroll(int bar, int code);
    void ScrollIntoView(HWND control);
    void Paint();
    void PaintPages(HDC dc, const RECT& painted);
    // Render under the net: false when drawing the page failed (the trace says why).
    bool TryRender(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const;
    void RenderPage(HDC dc, int page, PrintMode mode, int shiftX, int shiftY) const;
    // The brush a field control paints its background with (its widget's fill), or null.
    HBRUSH FieldBrush(HWND control, HDC dc);
    HFONT FontOfHeight(int pixels, std::map<int, HFONT>& fonts) const;
    int ControlFontPixels(const FieldControl& control) const;
    RECT WidgetRect(const pdf::Widget& widget) const; // in window pixels
    double Scale() const;
    double PageTop(int page) const;   // in window pixels, scroll applied
    double PageLeft() const;
    PagePlacement Placement(int page) const; // the page in the window, turned as shown

    FormWindowHost& m_host;
    HWND m_hwnd = nullptr;
    FormScript m_script;
    Letterhead m_letterhead;
    std::wstring m_path;
    std::wstring m_error;
    std::vector<FieldControl> m_controls;
    size_t m_pending = 0;      // controls not made yet
    unsigned m_generation = 0; // changes whenever the controls are listed anew or destroyed
    std::map<int, HFONT> m_fonts;        // control fonts by pixel height, for the current scale
    std::map<COLORREF, HBRUSH> m_brushes; // field backgrounds
    double m_zoom = 1.0;
    int m_scrollX = 0, m_scrollY = 0;
    bool m_updating = false;
    bool m_orphaned = false;
};

// A text as a value of a mailto: address (subject, body): UTF-8, escaped with %XX.
std::wstring MailtoEncode(const std::wstring& text);

// Where the blank copy of a form goes for e-mail: <temporary folder>\Formstead\<file name>.
std::wstring BlankCopyPath(const std::wstring& formPath);

} // namespace viewer
