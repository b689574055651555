#pragma once
// Fixtures of the dialog engine's tests: a root that hosts its tree in a real
// dialog window and counts control ids like the dialog does, a windowed leaf
// element whose natural size is its `minwidth` x `minheight` in pixels, and a
// window-less one that may hold a text that wraps.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/com.h"
#include "base/msxml_ids.h"
#include "base/win_handles.h"
#include "wyn/engine/dialog_units.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_element.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/engine/wyn_window.h"

namespace wyn_test {

inline HINSTANCE Module() {
    return ::GetModuleHandleW(nullptr);
}

// An empty dialog with the system font.
// The top element of an XML text; null if it does not parse.
inline kelvo::ComPtr<IXMLDOMNode> ParseElement(std::wstring_view xml) {
    kelvo::ComPtr<IXMLDOMDocument> doc;
    ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                       kelvo::msxml::kIXMLDOMDocument, doc.PutVoid());
    VARIANT_BOOL ok = VARIANT_FALSE;
    IXMLDOMElement* element = nullptr;
    if (doc && SUCCEEDED(doc->loadXML(kelvo::UniqueBstr(xml).Get(), &ok)) && ok == VARIANT_TRUE)
        doc->get_documentElement(&element);
    return kelvo::ComPtr<IXMLDOMNode>::Attach(element);
}

inline kelvo::UniqueHwnd CreateTestDialog() {
    struct alignas(DWORD) Template {
        DLGTEMPLATE header;
        WORD menu = 0;
        WORD windowClass = 0;
        WORD title = 0;
    } dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION;
    dialog.header.cx = 300;
    dialog.header.cy = 200;
    return kelvo::UniqueHwnd(::CreateDialogIndirectParamW(
        Module(), &dialog.header, nullptr,
        [](HWND, UINT, WPARAM, LPARAM) noexcept -> INT_PTR { return FALSE; }, 0));
}

inline int Pixels(int dialog_units, bool horizontal, HWND dialog) {
    const RECT r = kelvo::DialogUnitsToPixels(dialog, {0, 0, dialog_units, dialog_units});
    return horizontal ? r.right : r.bottom;
}

struct Event {
    CWynElement* source = nullptr;
    std::wstring name;
    WPARAM first = 0;
    LPARAM second = 0;
};

class TestRoot : public CWynWindow {
public:
    explicit TestRoot(CWynEngine* engine)
        : CWynWindow(nullptr, engine), m_dialog(CreateTestDialog()) {
        m_hWnd = m_dialog.Get();
    }
    ~TestRoot() override { m_hWnd = nullptr; }

    int NextControlId() override { return m_nextId++; }

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        last = {source, std::wstring(name), first, second};
        return 42;
    }

    // Spacing and margins as the dialog takes them: 4 and 7 dialog units.
    void Create() override {
        const RECT pixels = ToPixels({4, 4, 7, 7});
        m_pixels.cellSpaceX = pixels.left;
        m_pixels.cellSpaceY = pixels.top;
        m_pixels.margins = {pixels.right, pixels.right, pixels.bottom, pixels.bottom};
        CWynWindow::Create();
    }

    HWND Dialog() const { return m_dialog.Get(); }
    Event last;

private:
    kelvo::UniqueHwnd m_dialog;
    int m_nextId = 100;
};

class TestLeaf : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override {
        return AnswerType(L"leaf", name, element);
    }

    void Create() override {
        DWORD style = WS_CHILD | WS_TABSTOP;
        if (!IsHidden())
            style |= WS_VISIBLE;
        if (IsDisabled())
            style |= WS_DISABLED;
        m_hWnd = ::CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 0, 0, m_parent->GetWindow(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_controlId)),
                                   Module(), nullptr);
        CWynElement::Create();
    }
};

// "block": no window; natural size `minwidth` x `minheight` pixels. With
// `text` (a width in pixels) it holds a text of lines `minheight` high that
// wraps: as many lines as the width it is given needs.
class TestBlock : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override {
        return AnswerType(L"block", name, element);
    }

    bool Parse(IXMLDOMNode* node) override {
        CWynElement::Parse(node);
        m_text = CWynAttributes(node).Int(L"text", 0);
        return true;
    }

    int HeightForWidth(int width) const override {
        if (m_text <= 0 || width <= 0)
            return CWynElement::HeightForWidth(width);
        return (m_text + width - 1) / width * m_pixels.minHeight;
    }

private:
    int m_text = 0;
};

// The engine's own types plus "leaf" and "block".
class TestEngine : public CWynEngine {
public:
    TestEngine() : CWynEngine(wyn_test::Module()) {}

    std::unique_ptr<CWynElement> CreateElement(std::wstring_view name,
                                               CWynElement* parent) override {
        if (name == L"leaf")
            return std::make_unique<TestLeaf>(parent, this);
        if (name == L"block")
            return std::make_unique<TestBlock>(parent, this);
        return CWynEngine::CreateElement(name, parent);
    }
};

// The rectangle of a child window in its parent's client coordinates.
inline RECT PlacedRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace wyn_test
