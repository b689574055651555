#pragma once
// Action elements: no window; they act when the control they sit in (their
// owner) was clicked or changed its value.
//   "disabler": disables the element `applyto` while a condition on the
//     owner's value holds (`type` "int": the value equals `intval`;
//     "emptystring" / "nonemptystring": the owner has no text / a text), and
//     enables it otherwise; `disable` "false" turns that round.
//   "sendcmd": sends the command `cmd` to the element `sendto` (with
//     `inViewerOnly`, only when the engine runs in viewer mode).
//   "openhelp": asks the engine to show the help topic `topic`.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynDisabler : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void OnOwnerAction(CWynElement* owner) override;

private:
    enum Condition { kInt = 0, kEmptyString = 1, kNonEmptyString = 2 };

    std::optional<std::wstring> m_applyTo;
    bool m_disable = true;
    int m_type = kInt;
    int m_intValue = 0;
};

class CWynSendCMD : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void OnOwnerAction(CWynElement* owner) override;

private:
    std::optional<std::wstring> m_sendTo;
    std::optional<std::wstring> m_command;
    bool m_inViewerOnly = false;
};

class CWynOpenHelp : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void OnOwnerAction(CWynElement* owner) override;

private:
    std::optional<std::wstring> m_topic;
};
