// The exchanges with the form that wait for its answer: "FieldList" for registration and "Save"
// for storing. Only one runs at a time; a second request while one waits does nothing, and a wait
// whose window goes away (the main window closed meanwhile) is reported as abandoned.
#pragma once
#include "framework/CString.h"

class CHTMLCtrl;

enum class ExchangeResult
{
    Answered,  // the reply (possibly "--" after the bound) is in the reply string
    Busy,      // another exchange is waiting: nothing was sent
    Abandoned, // the control was destroyed during the wait: touch nothing of it
};

// "WillSave", then "MsgRsp1" := "--" and "Save", then the page wait; the reply is "MsgRsp1".
ExchangeResult RunSaveExchange(CHTMLCtrl& browser, CString& reply);
// "MsgRsp1" := "--" and "FieldList", then the registration wait; the reply is "MsgRsp1".
ExchangeResult RunFieldListExchange(CHTMLCtrl& browser, CString& reply);
// True while an exchange waits.
bool IsExchangeRunning();
