// The container page's inputs and functions, emulated natively.
#include "viewer/ContainerPage.h"
#include "framework/TextEscapes.h"
#include "viewer/FormScript.h"
#include <cwctype>

namespace viewer {

namespace {
const wchar_t* const kInputIds[] = {L"MsgRsp1", L"MsgRsp2", L"MsgRsp3", L"MsgRsp4", L"MsgText1",
                                    L"MsgText2", L"MsgText3", L"MsgText4", L"docpath"};

} // namespace

const wchar_t* const ContainerPage::kTitle = L"PDF Javascript Test";

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    return true;
}

std::wstring PathFromAddress(const std::wstring& address)
{
    if (!StartsWithNoCase(address, L"file:")) return address;
    std::wstring rest = address.substr(5);
    size_t slashes = 0;
    while (slashes < rest.size() && rest[slashes] == L'/') ++slashes;
    // file:///C:/x -> C:/x; file://server/share -> \\server\share
    rest = slashes == 2 ? L"\\\\" + rest.substr(2) : rest.substr(slashes);
    // Written separators become backslashes; an escaped "/" stays as it is.
    for (wchar_t& c : rest)
        if (c == L'/') c = L'\\';
    return DecodePercentEscapes(rest);
}

bool IsContainerAddress(const std::wstring& address)
{
    std::wstring path = PathFromAddress(address);
    size_t cut = path.find_first_of(L"?#");
    if (cut != std::wstring::npos) path = path.substr(0, cut);
    const std::wstring name = L"container.htm";
    return path.size() >= name.size() && StartsWithNoCase(path.substr(path.size() - name.size()), name) &&
           (path.size() == name.size() || path[path.size() - name.size() - 1] == L'\\' ||
            path[path.size() - name.size() - 1] == L'/');
}

ContainerPage::ContainerPage(ContainerHost& host) : m_host(host)
{
    for (const wchar_t* id : kInputIds) m_inputs[id] = std::wstring();
}

bool ContainerPage::SetInputValue(const std::wstring& id, const std::wstring& value)
{
    auto it = m_inputs.find(id);
    if (it == m_inputs.end()) return false;
    it->second = value;
    return true;
}

bool ContainerPage::GetInputValue(const std::wstring& id, std::wstring& value) const
{
    auto it = m_inputs.find(id);
    if (it == m_inputs.end()) return false;
    value = it->second;
    return true;
}

bool ContainerPage::CallFunction(const std::wstring& name)
{
    if (name == L"Button2_onclick") Button2_onclick();
    else if (name == L"ClearStat") ClearStat();
    else if (name == L"SetMessageHandler") SetMessageHandler();
    else if (name == L"DoLoadDoc") DoLoadDoc();
    else if (name == L"SetReply") SetReply(L"", L""); // no arguments: the script finds no input
    else return false;
    return true;
}

void ContainerPage::SetReply(const std::wstring& id, const std::wstring& text)
{
    SetInputValue(id, text);
}

void ContainerPage::Button2_onclick()
{
    SetReply(L"MsgRsp1", L"--");
    if (!m_hasPdf) return;
    std::wstring items[4] = {m_inputs[L"MsgText1"], m_inputs[L"MsgText2"], m_inputs[L"MsgText3"], m_inputs[L"MsgText4"]};
    m_host.PostToPdf(items);
}

void ContainerPage::ClearStat()
{
    for (const wchar_t* id : {L"MsgRsp1", L"MsgRsp2", L"MsgRsp3", L"MsgRsp4"}) m_inputs[id].clear();
}

void ContainerPage::SetMessageHandler()
{
    if (m_hasPdf) m_handlerSet = true;
}

void ContainerPage::DoLoadDoc()
{
    // The page replaces its PDF area with a new element; a handler of the old element is gone.
    m_hasPdf = true;
    m_handlerSet = false;
    m_host.LoadPdf(m_inputs[L"docpath"]);
    m_host.ScheduleMessageHandler();
}

void ContainerPage::OnPdfMessage(const FormReply& reply)
{
    if (!m_handlerSet) return;
    m_inputs[L"MsgRsp1"] = reply.items[0];
    m_inputs[L"MsgRsp2"] = reply.items[1];
    m_inputs[L"MsgRsp3"] = reply.items[2];
    m_inputs[L"MsgRsp4"] = reply.items[3];
}

void ContainerPage::OnPdfError(const std::wstring& message)
{
    if (m_handlerSet) m_inputs[L"MsgRsp1"] = message;
}

} // namespace viewer
