// The exchanges with the form that wait for its answer: "FieldList" for registration and "Save"
// for storing. Only one runs at a time; a second request while one waits does nothing, and a wait
// whose window goes away (the main window closed meanwhile) is reported as abandoned.
#pragma once
#include <functional>

#include "framework/CString.h"

class CHTMLCtrl;

enum class ExchangeResult
{
    Answered,  // the reply (possibly "--" after the bound) is in the reply string
    Busy,      // another exchange is waiting: nothing was sent
    Abandoned, // the control was destroyed during the wait: touch nothing of it
};

// The points of the "Save" exchange that a caller may follow (Update and Save logs each).
enum class SaveStep
{
    WillSaveSet,    // "MsgText1" holds "WillSave"
    WillSaveIssued, // the page function has run it
    SaveSet,        // "MsgRsp1" holds "--" and "MsgText1" "Save"
    SaveIssued,     // the page function has run it; the wait follows
};

// "WillSave", then "MsgRsp1" := "--" and "Save", then the page wait; the reply is "MsgRsp1".
// onStep, when given, is told of each step as it is done.
ExchangeResult RunSaveExchange(CHTMLCtrl& browser, CString& reply,
                               const std::function<void(SaveStep)>& onStep = nullptr);
// "MsgRsp1" := "--" and "FieldList", then the registration wait; the reply is "MsgRsp1".
ExchangeResult RunFieldListExchange(CHTMLCtrl& browser, CString& reply);
// True while an exchange waits.
bool IsExchangeRunning();
