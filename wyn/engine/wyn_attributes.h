#pragma once
// Reads the attributes of a description element by the rules every element
// type shares: integers through the platform's variant conversion, booleans
// that only the word "true" sets, and enumerations by position in a word list.

#include <windows.h>

#include <msxml2.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "base/com.h"

class CWynAttributes {
public:
    // A node that is not an element has no attributes: every read gives its default.
    explicit CWynAttributes(IXMLDOMNode* node);

    std::optional<std::wstring> Text(const wchar_t* name) const;
    // Absent, or not convertible to a signed 32-bit integer: the fallback.
    int Int(const wchar_t* name, int fallback) const;
    // True only for "true" in any case.
    bool Bool(const wchar_t* name) const;
    // For attributes that default to true: false only for "false" in any case.
    bool BoolDefaultTrue(const wchar_t* name) const;
    // The position of the value in `words` (any case); absent or unknown: the fallback.
    int Enum(const wchar_t* name, std::initializer_list<std::wstring_view> words,
             int fallback) const;

private:
    kelvo::ComPtr<IXMLDOMElement> m_element;
};
