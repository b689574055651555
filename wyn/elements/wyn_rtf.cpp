#include "wyn/elements/wyn_rtf.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

namespace {

// The plain text handed to EM_STREAMIN, piece by piece.
struct StreamSource {
    std::wstring_view text;
    std::size_t done = 0; // bytes
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t total = source->text.size() * sizeof(wchar_t);
    const std::size_t count =
        std::min<std::size_t>(total - source->done, static_cast<std::size_t>(wanted));
    std::memcpy(buffer, reinterpret_cast<const std::byte*>(source->text.data()) + source->done,
                count);
    source->done += count;
    *given = static_cast<LONG>(count);
    return 0;
}

// Only web and mail links are opened: a link in a text may name anything,
// a program on the disk included.
bool IsWebOrMailLink(std::wstring_view link) {
    for (const std::wstring_view scheme : {L"http://", L"https://", L"mailto:"}) {
        if (link.size() > scheme.size() &&
            kelvo::EqualsNoCase(link.substr(0, scheme.size()), scheme))
            return true;
    }
    return false;
}

// The rich-edit window class lives in riched20.dll. It is loaded once and
// kept for the life of the process, since its windows may live that long.
void EnsureRichEdit() {
    if (!::GetModuleHandleW(L"riched20.dll"))
        ::LoadLibraryW(L"riched20.dll");
}

} // namespace

bool CWynRTF::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"rtf", name, element);
}

bool CWynRTF::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_style = WS_TABSTOP;
    const std::pair<const wchar_t*, DWORD> on_by_default[] = {
        {L"autoHScroll", ES_AUTOHSCROLL}, {L"autoVScroll", ES_AUTOVSCROLL},
        {L"multiline", ES_MULTILINE},     {L"hScroll", WS_HSCROLL},
        {L"vScroll", WS_VSCROLL},         {L"wantReturn", ES_WANTRETURN}};
    for (const auto& [name, bit] : on_by_default) {
        if (attributes.BoolDefaultTrue(name))
            m_style |= bit;
    }
    if (attributes.Bool(L"readonly"))
        m_style |= ES_READONLY;
    if (attributes.Bool(L"savesel"))
        m_style |= ES_SAVESEL;
    const int align = attributes.Enum(L"textalign", {L"left", L"right", L"center"}, 0);
    if (align == 1)
        m_style |= ES_RIGHT;
    else if (align == 2)
        m_style |= ES_CENTER;
    return true;
}

void CWynRTF::Create() {
    EnsureRichEdit();
    kelvo::ControlWindow control;
    control.windowClass = L"RichEdit20W";
    control.style = m_style;
    control.exStyle = WS_EX_CLIENTEDGE;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        // Without these the control reports no changes and no links, and
        // takes no more than 32767 characters.
        ::SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_LINK);
        ::SendMessageW(m_hWnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    }
    CWynElement::Create();
}

LRESULT CWynRTF::OnNotify(int code, NMHDR* record) {
    if (static_cast<UINT>(code) != EN_LINK)
        return 0;
    const auto* link = reinterpret_cast<const ENLINK*>(record);
    // Other mouse messages over the link get the control's own treatment.
    kelvo::AnswerNotification(m_hWnd, 0);
    if (link->msg != WM_LBUTTONUP || link->chrg.cpMax <= link->chrg.cpMin)
        return 1;
    std::wstring target(static_cast<std::size_t>(link->chrg.cpMax - link->chrg.cpMin), L'\0');
    TEXTRANGEW range{link->chrg, target.data()};
    target.resize(static_cast<std::size_t>(
        ::SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    if (IsWebOrMailLink(target))
        ::ShellExecuteW(m_hWnd, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return kelvo::AnswerNotification(m_hWnd, 1);
}

LRESULT CWynRTF::OnCommand(int code, int, HWND) {
    if (code != EN_CHANGE || m_settingText)
        return 0;
    NotifyChildren(this);
    return RaiseEvent(L"changed");
}

void CWynRTF::SetTextValue(const wchar_t* text) {
    if (!m_hWnd)
        return;
    const bool was_setting = std::exchange(m_settingText, true);
    // Streamed in as plain text: WM_SETTEXT would read a text that begins
    // with "{\rtf" as rich text and drop its mark-up.
    StreamSource source{text ? std::wstring_view(text) : std::wstring_view()};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadStream};
    ::SendMessageW(m_hWnd, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    m_settingText = was_setting;
}

const wchar_t* CWynRTF::GetTextValue() {
    if (!m_hWnd)
        return nullptr;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    m_text.Clear();
    if (length <= 0)
        return nullptr;
    m_text.Resize(static_cast<std::size_t>(length));
    m_text.Resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hWnd, m_text.data(), static_cast<int>(m_text.size()) + 1)));
    return m_text.empty() ? nullptr : m_text.c_str();
}
