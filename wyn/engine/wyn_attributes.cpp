#include "wyn/engine/wyn_attributes.h"

#include "base/msxml_ids.h"
#include "wyn/engine/no_case.h"

using kelvo::EqualsNoCase;
using kelvo::unique_bstr;
using kelvo::unique_variant;

CWynAttributes::CWynAttributes(IXMLDOMNode* node) {
    if (node)
        node->QueryInterface(kelvo::msxml::kIXMLDOMElement, m_element.put_void());
}

std::optional<std::wstring> CWynAttributes::Text(const wchar_t* name) const {
    if (!m_element)
        return std::nullopt;
    unique_variant value;
    if (m_element->getAttribute(unique_bstr(name).get(), value.get()) != S_OK ||
        value.get()->vt != VT_BSTR)
        return std::nullopt;
    const BSTR text = value.get()->bstrVal;
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

int CWynAttributes::Int(const wchar_t* name, int fallback) const {
    if (!m_element)
        return fallback;
    unique_variant value;
    if (m_element->getAttribute(unique_bstr(name).get(), value.get()) != S_OK)
        return fallback;
    unique_variant number;
    if (FAILED(::VariantChangeType(number.get(), value.get(), 0, VT_I4)))
        return fallback;
    return number.get()->lVal;
}

bool CWynAttributes::Bool(const wchar_t* name) const {
    const auto text = Text(name);
    return text && EqualsNoCase(*text, L"true");
}

bool CWynAttributes::BoolDefaultTrue(const wchar_t* name) const {
    const auto text = Text(name);
    return !text || !EqualsNoCase(*text, L"false");
}

int CWynAttributes::Enum(const wchar_t* name, std::initializer_list<std::wstring_view> words,
                         int fallback) const {
    const auto text = Text(name);
    if (!text)
        return fallback;
    int position = 0;
    for (const std::wstring_view word : words) {
        if (EqualsNoCase(*text, word))
            return position;
        ++position;
    }
    return fallback;
}
