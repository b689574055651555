#include "wyn/engine/wyn_engine.h"

#include <new>

#include "wyn/engine/element_names.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_element.h"

using kelvo::EqualsNoCase;

CWynEngine::CWynEngine(HINSTANCE module) noexcept : m_module(module) {}

CWynEngine::~CWynEngine() = default;

std::unique_ptr<CWynElement> CWynEngine::CreateElement(std::wstring_view name,
                                                       CWynElement* parent) {
    const kelvo::WynElementName* entry =
        kelvo::FindElementName(kelvo::StandardElementNames(), name);
    if (!entry || !entry->create)
        return nullptr;
    try {
        return entry->create(parent, this);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CWynEngine::DrawImage(HDC, int, int, int, int, const wchar_t*) {}

void CWynEngine::DrawImageGray(HDC dc, int x, int y, int width, int height, const wchar_t* image) {
    DrawImage(dc, x, y, width, height, image);
}

void CWynEngine::DrawImageSkin(HDC, int, int, int, int, const wchar_t*, int, int, bool) {}

void CWynEngine::OpenHelp(HWND, const wchar_t*, LPARAM) {}

bool CWynEngine::IsViewerMode() {
    return false;
}

const wchar_t* CWynEngine::GetString(std::wstring_view key, const wchar_t* attribute,
                                     const wchar_t* default_text) const {
    const std::wstring* text = Lookup(key, attribute);
    return text ? text->c_str() : default_text;
}

const std::wstring* CWynEngine::Lookup(std::wstring_view key, const wchar_t* attribute) const {
    for (const TextEntry& entry : m_strings) {
        if (!EqualsNoCase(entry.key, key) || entry.attribute.has_value() != (attribute != nullptr))
            continue;
        if (!attribute || EqualsNoCase(*entry.attribute, attribute))
            return &entry.text;
    }
    return nullptr;
}

void CWynEngine::AddString(std::wstring key, std::optional<std::wstring> attribute,
                           std::wstring text) {
    m_strings.push_back({std::move(key), std::move(attribute), std::move(text)});
}
