#pragma once
// File and folder pickers: no window; they open the system's dialog when the
// control they sit in (their owner, usually a button) is clicked, put the
// chosen path into the element `saveto`, and raise "fsselected" (0, path)
// and "changed".
//   "selectfile" (`type` "open" or "save") with its "ext" children, the file
//     types offered; before the dialog opens it raises "fsinitialdir"
//     (buffer, buffer length in characters): a nonzero answer means the
//     dialog filled the buffer with the folder to start in. Several chosen
//     files give their full paths separated by spaces (with `quoteSpaces`,
//     a path holding a space is quoted).
//   "selectfolder": its value is the folder chosen last.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynExt : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;

    const std::wstring& Text() const noexcept { return m_text; }
    // Patterns such as "*.txt;*.log".
    const std::wstring& Extension() const noexcept { return m_extension; }

private:
    std::wstring m_text;
    std::wstring m_extension;
};

class CWynSelectFile : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void OnOwnerAction(CWynElement* owner) override;

private:
    std::wstring Filter() const;
    // The dialog's answer as one text.
    std::wstring Selection(const std::wstring& buffer, DWORD file_offset) const;

    bool m_save = false;
    std::optional<std::wstring> m_title;
    std::optional<std::wstring> m_saveTo;
    std::optional<std::wstring> m_defaultExtension;
    DWORD m_flags = 0;
    bool m_quoteSpaces = false;
};

class CWynSelectFolder : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void OnOwnerAction(CWynElement* owner) override;
    // The folder chosen last; none before.
    const wchar_t* GetTextValue() override;

private:
    std::optional<std::wstring> m_title;
    std::optional<std::wstring> m_saveTo;
    std::optional<std::wstring> m_folder;
};
