// The user-facing side of storing a record: reads the form XML, stores, reports.
#include "pages/SaveFormRecord.h"

#include "common/Diagnostics.h"
#include "formdb/FormDatabase.h"
#include "formdb/StoredText.h"
#include "framework/Wnd.h"
#include "pages/FormPageHost.h"
#include "bridge/HTMLCtrl.h"

int SaveFormRecord(FormPageHost& host, const CString& reply, int isTemplate, const CString& templateName,
                   BOOL update, int& emptyData, CHTMLCtrl& browser, int replacedRowId)
{
    CString xml;
    browser.GetInputValue(L"MsgRsp3", xml);

    RecordToStore record;
    record.reply = EncodeStoredText(reply.GetString(), static_cast<size_t>(reply.GetLength()));
    const CStringA ansiXml(xml);
    record.formXml.assign(ansiXml.GetString(), ansiXml.GetLength());
    record.isTemplate = isTemplate != 0;
    record.templateName = EncodeStoredText(templateName.GetString(), static_cast<size_t>(templateName.GetLength()));
    record.update = update != FALSE;
    record.replacedRowId = replacedRowId > 0 ? replacedRowId : host.GetCurrentRecordId();

    DebugTraceA(update ? "SaveFormRecord: update" : "SaveFormRecord: insert", TRUE);
    const StoreResult result = StoreFormRecord(std::wstring(FormFilePath(host, L".gdb").GetString()), record);
    DebugTraceA(("SaveFormRecord: row " + std::to_string(result.rowId)).c_str(), TRUE);

    if (result.outcome == StoreOutcome::Empty)
        emptyData = 1;
    if (!result.message.empty())
    {
        CWnd* owner = result.outcome == StoreOutcome::Empty ? host.GetMainFrame() : &browser;
        const CString text(result.message.c_str());
        const CString caption(result.caption.c_str());
        if (owner && owner->GetSafeHwnd())
            owner->MessageBox(text, caption, MB_OK);
        else
            browser.MessageBox(text, caption, MB_OK);
    }
    return static_cast<int>(result.rowId);
}
