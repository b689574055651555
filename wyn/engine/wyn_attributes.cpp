#include "wyn/engine/wyn_attributes.h"

#include "base/msxml_ids.h"
#include "wyn/engine/no_case.h"

using kelvo::EqualsNoCase;
using kelvo::UniqueBstr;
using kelvo::UniqueVariant;

CWynAttributes::CWynAttributes(IXMLDOMNode* node) {
    if (node)
        node->QueryInterface(kelvo::msxml::kIXMLDOMElement, m_element.PutVoid());
}

std::optional<std::wstring> CWynAttributes::Text(const wchar_t* name) const {
    if (!m_element)
        return std::nullopt;
    UniqueVariant value;
    if (m_element->getAttribute(UniqueBstr(name).Get(), value.Get()) != S_OK ||
        value.Get()->vt != VT_BSTR)
        return std::nullopt;
    const BSTR text = value.Get()->bstrVal;
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

int CWynAttributes::Int(const wchar_t* name, int fallback) const {
    if (!m_element)
        return fallback;
    UniqueVariant value;
    if (m_element->getAttribute(UniqueBstr(name).Get(), value.Get()) != S_OK)
        return fallback;
    UniqueVariant number;
    if (FAILED(::VariantChangeType(number.Get(), value.Get(), 0, VT_I4)))
        return fallback;
    return number.Get()->lVal;
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
