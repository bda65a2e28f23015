// The print-options dialog: the mode radios and shift buttons send their commands at once; "Print"
// sends the print and stores the offsets, bound into the UPDATE as one text.
#include "pages/PrintForm.h"

#include "bridge/BridgeProtocol.h"
#include "formdb/RecordsDatabase.h"
#include "formdb/StoredText.h"
#include "framework/Seams.h"
#include "pages/FormPageHost.h"

namespace {
const int kVerticalEdit = 1024;
const int kHorizontalEdit = 1025;
const int kShiftUp = 1015;
const int kShiftDown = 1016;
const int kShiftRight = 1017;
const int kShiftLeft = 1018;
const int kEntireForm = 1028;
const int kFilledTextOnly = 1029;
const int kBlackWhiteForm = 1030;
const int kMaxEditText = 49;
} // namespace

BEGIN_MESSAGE_MAP(CPrintForm, CDialog)
    ON_BN_CLICKED(kShiftUp, OnShiftUp)
    ON_BN_CLICKED(kShiftDown, OnShiftDown)
    ON_BN_CLICKED(kShiftRight, OnShiftRight)
    ON_BN_CLICKED(kShiftLeft, OnShiftLeft)
    ON_BN_CLICKED(kEntireForm, OnEntireForm)
    ON_BN_CLICKED(kFilledTextOnly, OnFilledTextOnly)
    ON_BN_CLICKED(kBlackWhiteForm, OnBlackWhiteForm)
    ON_WM_MOVE()
END_MESSAGE_MAP()

BOOL CPrintForm::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SendDlgItemMessageW(m_hWnd, kVerticalEdit, EM_LIMITTEXT, kMaxEditText, 0);
    ::SendDlgItemMessageW(m_hWnd, kHorizontalEdit, EM_LIMITTEXT, kMaxEditText, 0);
    m_offsets = ParsePrintOffsets(ReadPrintOffsetsText(std::wstring(FormFilePath(m_host, L".gdb").GetString())));
    ShowOffsets();
    CString command;
    command.Format(L"StartPrint=%d,%d", m_offsets.horizontal, m_offsets.vertical);
    Send(command);
    ::CheckRadioButton(m_hWnd, kEntireForm, kBlackWhiteForm, kEntireForm);
    return TRUE;
}

void CPrintForm::ShowOffsets()
{
    SetDlgItemText(kHorizontalEdit, std::to_wstring(m_offsets.horizontal).c_str());
    SetDlgItemText(kVerticalEdit, std::to_wstring(m_offsets.vertical).c_str());
}

bool CPrintForm::ReadOffsets()
{
    CString horizontal, vertical;
    GetDlgItemText(kHorizontalEdit, horizontal);
    GetDlgItemText(kVerticalEdit, vertical);
    PrintOffsets read;
    if (!ParseOffsetText(std::wstring(horizontal.GetString()), read.horizontal) ||
        !ParseOffsetText(std::wstring(vertical.GetString()), read.vertical))
    {
        AfxShowMessageBox(m_hWnd, L"The offsets must be whole numbers, for example 3 or -2.", nullptr, MB_OK);
        ShowOffsets();
        return false;
    }
    m_offsets = read;
    return true;
}

void CPrintForm::Send(const wchar_t* command)
{
    SendBridgeCommand(m_browser, command);
}

void CPrintForm::SendShift(int horizontal, int vertical)
{
    if (!ReadOffsets())
        return;
    m_offsets.horizontal += horizontal;
    m_offsets.vertical += vertical;
    ShowOffsets();
    Send((L"Shift=" + FormatPrintOffsets(m_offsets)).c_str());
}

void CPrintForm::OnShiftUp() { SendShift(0, +1); }
void CPrintForm::OnShiftDown() { SendShift(0, -1); }
void CPrintForm::OnShiftRight() { SendShift(+1, 0); }
void CPrintForm::OnShiftLeft() { SendShift(-1, 0); }
void CPrintForm::SelectMode(int radio, const wchar_t* command)
{
    ::CheckRadioButton(m_hWnd, kEntireForm, kBlackWhiteForm, radio);
    Send(command);
}

void CPrintForm::OnEntireForm() { SelectMode(kEntireForm, L"PrintAllMode"); }
void CPrintForm::OnFilledTextOnly() { SelectMode(kFilledTextOnly, L"PrintTextMode"); }
void CPrintForm::OnBlackWhiteForm() { SelectMode(kBlackWhiteForm, L"PrintAllWBMode"); }

void CPrintForm::OnOK()
{
    if (!ReadOffsets())
        return;
    Send(IsDlgButtonChecked(kEntireForm) == BST_CHECKED ? L"PrintAll" : L"PrintText");
    StoreOffsets();
}

void CPrintForm::StoreOffsets()
{
    const RecordsOutcome stored =
        WritePrintOffsetsText(std::wstring(FormFilePath(m_host, L".gdb").GetString()), FormatPrintOffsets(m_offsets));
    if (!stored.ok)
        AfxShowMessageBox(m_hWnd, CString(DecodeStoredText(stored.message).c_str()), CString(stored.caption.c_str()),
                          MB_OK);
}

void CPrintForm::OnCancel()
{
    Send(L"CancelPrint");
    CDialog::OnCancel();
}

void CPrintForm::OnMove(int x, int y)
{
    Default();
    if (m_onMove)
        m_onMove();
}
