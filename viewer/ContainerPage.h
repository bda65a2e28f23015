// The container page: its hidden inputs (MsgRsp1..4, MsgText1..4, docpath) and its five page
// functions, with the effects and order the page's own script has.
#pragma once
#include "viewer/HtmlDocument.h"
#include <map>

namespace viewer {

struct FormReply;

// What the page asks of the plug-in element ("ThePDF") it embeds.
class ContainerHost
{
public:
    virtual ~ContainerHost() = default;
    // Creates the "ThePDF" element showing the document at that address (DoLoadDoc).
    virtual void LoadPdf(const std::wstring& address) = 0;
    // Posts the four-item message to the element; the form answers later, through the queue.
    virtual void PostToPdf(const std::wstring (&items)[4]) = 0;
    // Asks for SetMessageHandler to run a moment later (the page's 1 ms timeout).
    virtual void ScheduleMessageHandler() = 0;
};

class ContainerPage : public HtmlDocument
{
public:
    explicit ContainerPage(ContainerHost& host);

    bool SetInputValue(const std::wstring& id, const std::wstring& value) override;
    bool GetInputValue(const std::wstring& id, std::wstring& value) const override;
    bool CallFunction(const std::wstring& name) override;

    // The page function SetReply (input id, text): it takes arguments, so the program's
    // argument-less calls cannot reach it; the form's messages use it through the handler.
    void SetReply(const std::wstring& id, const std::wstring& text);

    // The element's message handler: a message from the form fills all four replies; an error
    // puts its text into MsgRsp1. Ignored until SetMessageHandler has run.
    void OnPdfMessage(const FormReply& reply);
    void OnPdfError(const std::wstring& message);

    bool HasMessageHandler() const { return m_handlerSet; }

    static const wchar_t* const kTitle;

private:
    void Button2_onclick();
    void ClearStat();
    void SetMessageHandler();
    void DoLoadDoc();

    ContainerHost& m_host;
    std::map<std::wstring, std::wstring> m_inputs;
    bool m_hasPdf = false;
    bool m_handlerSet = false;
};

// True for an address whose last path element is container.htm (any case).
bool IsContainerAddress(const std::wstring& address);

} // namespace viewer
