// CObject with run-time class information, CCmdTarget, and the message-map tables and macros by
// which windows route messages to member handlers.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "framework/Types.h"
#include "framework/CString.h"

#ifndef afx_msg
#define afx_msg
#endif

// An iteration position in a collection: opaque, null at the end.
typedef struct POSITION_* POSITION;

class CObject;
class CCmdTarget;
class CWnd;

// The class information of a CObject class: its name, its base, and a factory for classes declared
// with DECLARE_DYNCREATE.
struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(className) (&className::class##className)

#define DECLARE_DYNAMIC(className)                                   \
public:                                                              \
    static const CRuntimeClass class##className;                     \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(className)                                 \
    DECLARE_DYNAMIC(className)                                       \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS_(className, baseClassName, factory)   \
    const CRuntimeClass className::class##className = {              \
        #className, (int)sizeof(className), factory, RUNTIME_CLASS(baseClassName)}; \
    const CRuntimeClass* className::GetRuntimeClass() const { return RUNTIME_CLASS(className); }

#define IMPLEMENT_DYNAMIC(className, baseClassName) \
    IMPLEMENT_RUNTIMECLASS_(className, baseClassName, nullptr)

#define IMPLEMENT_DYNCREATE(className, baseClassName)                \
    CObject* className::CreateObject() { return new className; }     \
    IMPLEMENT_RUNTIMECLASS_(className, baseClassName, &className::CreateObject)

// One message as the dispatcher hands it to a handler; the handler leaves its answer in result.
struct AFX_MSG_CALL
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// A map entry: which message (and for WM_COMMAND/WM_NOTIFY which code and id range) it takes, and
// the function that unpacks the message and calls the member handler.
typedef void (*AFX_MSG_HANDLER)(CCmdTarget* target, AFX_MSG_CALL& call);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    AFX_MSG_HANDLER pfn;
    const UINT* pRegisteredMessage;   // for ON_REGISTERED_MESSAGE: the variable holding the number
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages: a parent passes a control's notification back to the control's own map under
// the message number plus this base.
const UINT WM_REFLECT_BASE = 0xBC00;

// The base of every object that takes messages or commands.
class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Looks the message up in this object's maps (most derived first) and calls the handler.
    // True when a handler took it; call.result then holds its answer.
    bool DispatchThroughMaps(AFX_MSG_CALL& call, UINT code, UINT id);
    // Command routing: WM_COMMAND (nCode = notification code) or WM_NOTIFY (nCode = notify code).
    virtual BOOL OnCmdMsg(UINT nID, UINT nMessage, UINT nCode, AFX_MSG_CALL& call);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                        \
public:                                              \
    static const AFX_MSGMAP* GetThisMessageMap();    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                 \
    {                                                                               \
        typedef theClass ThisClass;                                                 \
        typedef baseClass TheBaseClass;                                             \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                           \
            {0, 0, 0, 0, nullptr, nullptr}};                                        \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};  \
        return &map;                                                                \
    }

// Builds an entry whose unpacking function casts the target to the class of the map.
#define AFX_MAP_ENTRY_(msg, code, id, lastId, body) \
    {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId), \
     [](CCmdTarget* target_, AFX_MSG_CALL& m_) { ThisClass* self_ = static_cast<ThisClass*>(target_); (void)self_; (void)m_; body; }, nullptr},

#define AFX_PT_(lp) CPoint((int)(short)LOWORD(lp), (int)(short)HIWORD(lp))
#define AFX_WND_(h) CWnd::FromHandle((HWND)(h))

// Window messages.
#define ON_WM_CREATE() AFX_MAP_ENTRY_(WM_CREATE, 0, 0, 0, m_.result = self_->OnCreate((LPCREATESTRUCT)m_.lParam))
#define ON_WM_DESTROY() AFX_MAP_ENTRY_(WM_DESTROY, 0, 0, 0, self_->OnDestroy())
#define ON_WM_NCDESTROY() AFX_MAP_ENTRY_(WM_NCDESTROY, 0, 0, 0, self_->OnNcDestroy())
#define ON_WM_CLOSE() AFX_MAP_ENTRY_(WM_CLOSE, 0, 0, 0, self_->OnClose())
#define ON_WM_SIZE() AFX_MAP_ENTRY_(WM_SIZE, 0, 0, 0, self_->OnSize((UINT)m_.wParam, (short)LOWORD(m_.lParam), (short)HIWORD(m_.lParam)))
#define ON_WM_MOVE() AFX_MAP_ENTRY_(WM_MOVE, 0, 0, 0, self_->OnMove((short)LOWORD(m_.lParam), (short)HIWORD(m_.lParam)))
#define ON_WM_PAINT() AFX_MAP_ENTRY_(WM_PAINT, 0, 0, 0, self_->OnPaint())
#define ON_WM_ERASEBKGND() AFX_MAP_ENTRY_(WM_ERASEBKGND, 0, 0, 0, m_.result = self_->OnEraseBkgnd(CDC::FromHandle((HDC)m_.wParam)))
#define ON_WM_SHOWWINDOW() AFX_MAP_ENTRY_(WM_SHOWWINDOW, 0, 0, 0, self_->OnShowWindow((BOOL)m_.wParam, (UINT)m_.lParam))
#define ON_WM_SETFOCUS() AFX_MAP_ENTRY_(WM_SETFOCUS, 0, 0, 0, self_->OnSetFocus(AFX_WND_(m_.wParam)))
#define ON_WM_KILLFOCUS() AFX_MAP_ENTRY_(WM_KILLFOCUS, 0, 0, 0, self_->OnKillFocus(AFX_WND_(m_.wParam)))
#define ON_WM_TIMER() AFX_MAP_ENTRY_(WM_TIMER, 0, 0, 0, self_->OnTimer((UINT_PTR)m_.wParam))
#define ON_WM_HSCROLL() AFX_MAP_ENTRY_(WM_HSCROLL, 0, 0, 0, self_->OnHScroll(LOWORD(m_.wParam), (short)HIWORD(m_.wParam), (CScrollBar*)AFX_WND_(m_.lParam)))
#define ON_WM_VSCROLL() AFX_MAP_ENTRY_(WM_VSCROLL, 0, 0, 0, self_->OnVScroll(LOWORD(m_.wParam), (short)HIWORD(m_.wParam), (CScrollBar*)AFX_WND_(m_.lParam)))
#define ON_WM_KEYDOWN() AFX_MAP_ENTRY_(WM_KEYDOWN, 0, 0, 0, self_->OnKeyDown((UINT)m_.wParam, LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_KEYUP() AFX_MAP_ENTRY_(WM_KEYUP, 0, 0, 0, self_->OnKeyUp((UINT)m_.wParam, LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_SYSKEYDOWN() AFX_MAP_ENTRY_(WM_SYSKEYDOWN, 0, 0, 0, self_->OnSysKeyDown((UINT)m_.wParam, LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_CHAR() AFX_MAP_ENTRY_(WM_CHAR, 0, 0, 0, self_->OnChar((UINT)m_.wParam, LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_SYSCHAR() AFX_MAP_ENTRY_(WM_SYSCHAR, 0, 0, 0, self_->OnSysChar((UINT)m_.wParam, LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_LBUTTONDOWN() AFX_MAP_ENTRY_(WM_LBUTTONDOWN, 0, 0, 0, self_->OnLButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_LBUTTONUP() AFX_MAP_ENTRY_(WM_LBUTTONUP, 0, 0, 0, self_->OnLButtonUp((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_LBUTTONDBLCLK() AFX_MAP_ENTRY_(WM_LBUTTONDBLCLK, 0, 0, 0, self_->OnLButtonDblClk((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_RBUTTONDOWN() AFX_MAP_ENTRY_(WM_RBUTTONDOWN, 0, 0, 0, self_->OnRButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_RBUTTONUP() AFX_MAP_ENTRY_(WM_RBUTTONUP, 0, 0, 0, self_->OnRButtonUp((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_MBUTTONDOWN() AFX_MAP_ENTRY_(WM_MBUTTONDOWN, 0, 0, 0, self_->OnMButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_MOUSEMOVE() AFX_MAP_ENTRY_(WM_MOUSEMOVE, 0, 0, 0, self_->OnMouseMove((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_MOUSEWHEEL() AFX_MAP_ENTRY_(WM_MOUSEWHEEL, 0, 0, 0, m_.result = self_->OnMouseWheel(LOWORD(m_.wParam), (short)HIWORD(m_.wParam), AFX_PT_(m_.lParam)))
#define ON_WM_NCLBUTTONDOWN() AFX_MAP_ENTRY_(WM_NCLBUTTONDOWN, 0, 0, 0, self_->OnNcLButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_NCRBUTTONDOWN() AFX_MAP_ENTRY_(WM_NCRBUTTONDOWN, 0, 0, 0, self_->OnNcRButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_NCMBUTTONDOWN() AFX_MAP_ENTRY_(WM_NCMBUTTONDOWN, 0, 0, 0, self_->OnNcMButtonDown((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_NCMOUSEMOVE() AFX_MAP_ENTRY_(WM_NCMOUSEMOVE, 0, 0, 0, self_->OnNcMouseMove((UINT)m_.wParam, AFX_PT_(m_.lParam)))
#define ON_WM_NCHITTEST() AFX_MAP_ENTRY_(WM_NCHITTEST, 0, 0, 0, m_.result = self_->OnNcHitTest(AFX_PT_(m_.lParam)))
#define ON_WM_SETCURSOR() AFX_MAP_ENTRY_(WM_SETCURSOR, 0, 0, 0, m_.result = self_->OnSetCursor(AFX_WND_(m_.wParam), LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_MOUSEACTIVATE() AFX_MAP_ENTRY_(WM_MOUSEACTIVATE, 0, 0, 0, m_.result = self_->OnMouseActivate(AFX_WND_(m_.wParam), LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_CAPTURECHANGED() AFX_MAP_ENTRY_(WM_CAPTURECHANGED, 0, 0, 0, self_->OnCaptureChanged(AFX_WND_(m_.lParam)))
#define ON_WM_GETDLGCODE() AFX_MAP_ENTRY_(WM_GETDLGCODE, 0, 0, 0, m_.result = self_->OnGetDlgCode())
#define ON_WM_SYSCOLORCHANGE() AFX_MAP_ENTRY_(WM_SYSCOLORCHANGE, 0, 0, 0, self_->OnSysColorChange())
#define ON_WM_SETTINGCHANGE() AFX_MAP_ENTRY_(WM_SETTINGCHANGE, 0, 0, 0, self_->OnSettingChange((UINT)m_.wParam, (LPCTSTR)m_.lParam))
#define ON_WM_CONTEXTMENU() AFX_MAP_ENTRY_(WM_CONTEXTMENU, 0, 0, 0, self_->OnContextMenu(AFX_WND_(m_.wParam), AFX_PT_(m_.lParam)))
#define ON_WM_DRAWITEM() AFX_MAP_ENTRY_(WM_DRAWITEM, 0, 0, 0, self_->OnDrawItem((int)m_.wParam, (LPDRAWITEMSTRUCT)m_.lParam); m_.result = TRUE)
#define ON_WM_MEASUREITEM() AFX_MAP_ENTRY_(WM_MEASUREITEM, 0, 0, 0, self_->OnMeasureItem((int)m_.wParam, (LPMEASUREITEMSTRUCT)m_.lParam); m_.result = TRUE)
#define ON_WM_WINDOWPOSCHANGED() AFX_MAP_ENTRY_(WM_WINDOWPOSCHANGED, 0, 0, 0, self_->OnWindowPosChanged((WINDOWPOS*)m_.lParam))
#define ON_WM_GETMINMAXINFO() AFX_MAP_ENTRY_(WM_GETMINMAXINFO, 0, 0, 0, self_->OnGetMinMaxInfo((MINMAXINFO*)m_.lParam))
#define ON_WM_ACTIVATE() AFX_MAP_ENTRY_(WM_ACTIVATE, 0, 0, 0, self_->OnActivate(LOWORD(m_.wParam), AFX_WND_(m_.lParam), (BOOL)HIWORD(m_.wParam)))
// Every WM_CTLCOLOR* message: nCtlColor is one of the CTLCOLOR_* values.
#define ON_WM_CTLCOLOR() AFX_MAP_ENTRY_(WM_CTLCOLOR_ANY_, 0, 0, 0, \
    m_.result = (LRESULT)self_->OnCtlColor(CDC::FromHandle((HDC)m_.wParam), AFX_WND_(m_.lParam), m_.message - WM_CTLCOLORMSGBOX))
const UINT WM_CTLCOLOR_ANY_ = 0x0019;

// Any message with the raw parameters: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) AFX_MAP_ENTRY_(message, 0, 0, 0, m_.result = self_->memberFxn(m_.wParam, m_.lParam))
#define ON_REGISTERED_MESSAGE(messageVariable, memberFxn) \
    {0xC000, 0, 0, 0, [](CCmdTarget* target_, AFX_MSG_CALL& m_) { \
        m_.result = static_cast<ThisClass*>(target_)->memberFxn(m_.wParam, m_.lParam); }, &(messageVariable)},

// Commands and control notifications (WM_COMMAND).
#define ON_COMMAND(id, memberFxn) AFX_MAP_ENTRY_(WM_COMMAND, 0, id, id, self_->memberFxn())
#define ON_COMMAND_RANGE(id, lastId, memberFxn) AFX_MAP_ENTRY_(WM_COMMAND, 0, id, lastId, self_->memberFxn((UINT)LOWORD(m_.wParam)))
#define ON_CONTROL(code, id, memberFxn) AFX_MAP_ENTRY_(WM_COMMAND, code, id, id, self_->memberFxn())
#define ON_CONTROL_RANGE(code, id, lastId, memberFxn) AFX_MAP_ENTRY_(WM_COMMAND, code, id, lastId, self_->memberFxn((UINT)LOWORD(m_.wParam)))
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
// A control's own notification reflected back to it by its parent: void handler().
#define ON_CONTROL_REFLECT(code, memberFxn) AFX_MAP_ENTRY_(WM_COMMAND + WM_REFLECT_BASE, code, 0, 0, self_->memberFxn())

// Notifications (WM_NOTIFY): void handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn) AFX_MAP_ENTRY_(WM_NOTIFY, code, id, id, \
    self_->memberFxn((NMHDR*)m_.lParam, &m_.result))
#define ON_NOTIFY_RANGE(code, id, lastId, memberFxn) AFX_MAP_ENTRY_(WM_NOTIFY, code, id, lastId, \
    self_->memberFxn((UINT)((NMHDR*)m_.lParam)->idFrom, (NMHDR*)m_.lParam, &m_.result))
#define ON_NOTIFY_REFLECT(code, memberFxn) AFX_MAP_ENTRY_(WM_NOTIFY + WM_REFLECT_BASE, code, 0, 0, \
    self_->memberFxn((NMHDR*)m_.lParam, &m_.result))
