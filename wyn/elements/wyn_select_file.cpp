#include "wyn/elements/wyn_select_file.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <utility>

#include "base/com.h"
#include "base/unique_any.h"
#include "wyn/engine/wyn_attributes.h"

namespace {

// Big enough for many names chosen at once.
constexpr DWORD kFileBuffer = 32768;

void FreeTaskMemory(wchar_t* text) noexcept {
    ::CoTaskMemFree(text);
}
using UniqueTaskText = kelvo::UniqueAny<wchar_t*, FreeTaskMemory>;

// Puts the chosen path where the description asked and tells the dialog.
void Deliver(CWynElement& picker, const std::optional<std::wstring>& save_to,
             const std::wstring& path) {
    if (save_to) {
        if (CWynElement* target = picker.Root()->FindById(*save_to))
            target->SetTextValue(path.c_str());
    }
    picker.RaiseEvent(L"fsselected", 0, reinterpret_cast<LPARAM>(path.c_str()));
    picker.NotifyChildren(&picker);
    picker.RaiseEvent(L"changed");
}

} // namespace

bool CWynExt::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"ext", name, element);
}

bool CWynExt::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_text = GetLocalizedAttribute(node, L"text").value_or(L"");
    m_extension = CWynAttributes(node).Text(L"extension").value_or(L"*.*");
    return true;
}

bool CWynSelectFile::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"selectfile", name, element);
}

bool CWynSelectFile::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_save = attributes.Enum(L"type", {L"open", L"save"}, 0) == 1;
    m_title = GetLocalizedAttribute(node, L"title");
    m_saveTo = attributes.Text(L"saveto");
    m_defaultExtension = attributes.Text(L"defExt");
    const std::pair<const wchar_t*, DWORD> flags[] = {{L"allowMultiSelect", OFN_ALLOWMULTISELECT},
                                                      {L"dontAddRecent", OFN_DONTADDTORECENT},
                                                      {L"enableSizing", OFN_ENABLESIZING},
                                                      {L"explorer", OFN_EXPLORER},
                                                      {L"fileMustExist", OFN_FILEMUSTEXIST},
                                                      {L"forceHidden", OFN_FORCESHOWHIDDEN},
                                                      {L"hideReadOnly", OFN_HIDEREADONLY},
                                                      {L"longNames", OFN_LONGNAMES},
                                                      {L"noNetworkButton", OFN_NONETWORKBUTTON},
                                                      {L"noReadOnlyReturn", OFN_NOREADONLYRETURN},
                                                      {L"noTestFileCreate", OFN_NOTESTFILECREATE},
                                                      {L"noValidate", OFN_NOVALIDATE},
                                                      {L"overwriteprompt", OFN_OVERWRITEPROMPT},
                                                      {L"pathmustexist", OFN_PATHMUSTEXIST},
                                                      {L"readonly", OFN_READONLY},
                                                      {L"shareaware", OFN_SHAREAWARE},
                                                      {L"showhelp", OFN_SHOWHELP},
                                                      {L"createprompt", OFN_CREATEPROMPT}};
    for (const auto& [name, bit] : flags) {
        if (attributes.Bool(name))
            m_flags |= bit;
    }
    // Several names come back in one buffer only in the explorer form.
    if (m_flags & OFN_ALLOWMULTISELECT)
        m_flags |= OFN_EXPLORER;
    m_quoteSpaces = attributes.Bool(L"quoteSpaces");
    return true;
}

void CWynSelectFile::OnOwnerAction(CWynElement*) {
    std::wstring folder(MAX_PATH, L'\0');
    const bool has_folder =
        RaiseEvent(L"fsinitialdir", reinterpret_cast<WPARAM>(folder.data()), MAX_PATH) != 0;
    folder.back() = L'\0'; // whatever the dialog wrote, the text ends in the buffer
    std::wstring buffer(kFileBuffer, L'\0');
    if (m_saveTo) {
        if (CWynElement* target = Root()->FindById(*m_saveTo)) {
            // The current path as the starting name, when it fits.
            const std::wstring current = target->GetTextValueOr(L"");
            if (current.size() < buffer.size())
                buffer.replace(0, current.size(), current);
        }
    }
    const std::wstring filter = Filter();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Root()->GetWindow();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileBuffer;
    dialog.lpstrInitialDir = has_folder && folder[0] ? folder.c_str() : nullptr;
    dialog.lpstrTitle = m_title ? m_title->c_str() : nullptr;
    dialog.Flags = m_flags;
    dialog.lpstrDefExt = m_defaultExtension ? m_defaultExtension->c_str() : nullptr;
    const BOOL chosen = m_save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (chosen)
        Deliver(*this, m_saveTo, Selection(buffer, dialog.nFileOffset));
}

std::wstring CWynSelectFile::Filter() const {
    std::wstring filter;
    for (const auto& child : m_children) {
        if (const auto* ext = dynamic_cast<const CWynExt*>(child.get())) {
            filter += ext->Text();
            filter += L'\0';
            filter += ext->Extension();
            filter += L'\0';
        }
    }
    if (!filter.empty())
        filter += L'\0';
    return filter;
}

std::wstring CWynSelectFile::Selection(const std::wstring& buffer, DWORD file_offset) const {
    const auto quoted = [this](std::wstring path) {
        if (m_quoteSpaces && path.find(L' ') != std::wstring::npos)
            path = L'"' + path + L'"';
        return path;
    };
    const std::wstring first(buffer.c_str());
    // One name: the whole path. Several: the folder, then each name after a zero.
    if (!(m_flags & OFN_ALLOWMULTISELECT) || file_offset <= first.size())
        return quoted(first);
    std::wstring result;
    for (std::size_t at = first.size() + 1; at < buffer.size() && buffer[at];) {
        const std::wstring name(buffer.c_str() + at);
        if (!result.empty())
            result += L' ';
        result += quoted(first + L'\\' + name);
        at += name.size() + 1;
    }
    return result;
}

bool CWynSelectFolder::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"selectfolder", name, element);
}

bool CWynSelectFolder::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_title = GetLocalizedAttribute(node, L"title");
    m_saveTo = CWynAttributes(node).Text(L"saveto");
    return true;
}

void CWynSelectFolder::OnOwnerAction(CWynElement*) {
    kelvo::ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileOpenDialog, dialog.PutVoid())))
        return;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    if (m_title)
        dialog->SetTitle(m_title->c_str());
    if (m_saveTo) {
        // Start in the folder the target names, if it names one.
        CWynElement* target = Root()->FindById(*m_saveTo);
        const wchar_t* current = target ? target->GetTextValue() : nullptr;
        kelvo::ComPtr<IShellItem> start;
        if (current && SUCCEEDED(::SHCreateItemFromParsingName(current, nullptr, IID_IShellItem,
                                                               start.PutVoid())))
            dialog->SetFolder(start.Get());
    }
    kelvo::ComPtr<IShellItem> result;
    if (dialog->Show(Root()->GetWindow()) != S_OK || FAILED(dialog->GetResult(result.Put())))
        return;
    UniqueTaskText path;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.Put())) || !path)
        return;
    m_folder = path.Get();
    Deliver(*this, m_saveTo, *m_folder);
}

const wchar_t* CWynSelectFolder::GetTextValue() {
    return m_folder ? m_folder->c_str() : nullptr;
}
