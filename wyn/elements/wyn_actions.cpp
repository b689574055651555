#include "wyn/elements/wyn_actions.h"

#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"

bool CWynDisabler::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"disabler", name, element);
}

bool CWynDisabler::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_applyTo = attributes.Text(L"applyto");
    m_disable = attributes.BoolDefaultTrue(L"disable");
    m_type = attributes.Enum(L"type", {L"int", L"emptystring", L"nonemptystring"}, kInt);
    m_intValue = attributes.Int(L"intval", 0);
    return true;
}

void CWynDisabler::OnOwnerAction(CWynElement* owner) {
    if (!owner || !m_applyTo)
        return;
    CWynElement* target = Root()->FindById(*m_applyTo);
    if (!target)
        return;
    bool holds = false;
    switch (m_type) {
    case kInt:
        holds = owner->GetIntValue() == m_intValue;
        break;
    case kEmptyString:
        holds = owner->GetTextValue() == nullptr;
        break;
    case kNonEmptyString:
        holds = owner->GetTextValue() != nullptr;
        break;
    }
    target->SetDisabled(holds == m_disable);
}

bool CWynSendCMD::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"sendcmd", name, element);
}

bool CWynSendCMD::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_sendTo = attributes.Text(L"sendto");
    m_command = attributes.Text(L"cmd");
    m_inViewerOnly = attributes.Bool(L"inViewerOnly");
    return true;
}

void CWynSendCMD::OnOwnerAction(CWynElement*) {
    if (m_inViewerOnly && !m_engine->IsViewerMode())
        return;
    if (!m_sendTo || !m_command)
        return;
    if (CWynElement* target = Root()->FindById(*m_sendTo))
        target->DoCommand(m_command->c_str());
}

bool CWynOpenHelp::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"openhelp", name, element);
}

bool CWynOpenHelp::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_topic = CWynAttributes(node).Text(L"topic");
    return true;
}

void CWynOpenHelp::OnOwnerAction(CWynElement*) {
    m_engine->OpenHelp(Root()->GetWindow(), m_topic ? m_topic->c_str() : nullptr, 0);
}
