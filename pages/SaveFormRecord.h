// Stores one "Save" reply of the form as a record or template of the current form's database and
// shows the user what went wrong when nothing was stored.
#pragma once
#include "framework/CString.h"

class CHTMLCtrl;
class FormPageHost;

// Stores the reply with the form XML read from "MsgRsp3" of the browser. The values and the template
// name are stored as UTF-8, the form XML as ANSI (the form writes it in ASCII). With update, the
// row replacedRowId (the host's current record when 0 or less) of the table the template flag names
// is replaced. Returns the new row id, 0 when nothing was stored because every value was empty
// (emptyData is then set to 1), -1 after a database failure (the "db" message has been shown).
int SaveFormRecord(FormPageHost& host, const CString& reply, int isTemplate, const CString& templateName,
                   BOOL update, int& emptyData, CHTMLCtrl& browser, int replacedRowId = 0);
