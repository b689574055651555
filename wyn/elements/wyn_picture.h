#pragma once
// "picture": an image of the engine's drawn over the parent's background,
// optionally an animation of frames cut from a strip.

#include <optional>
#include <string>

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynPicture : public CWynElement {
public:
    explicit CWynPicture(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;

    int Frame() const noexcept { return m_frame; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Paint(HDC dc);

    std::optional<std::wstring> m_pic;
    int m_picWidth = 0;
    int m_picHeight = 0;
    int m_frames = 1;
    int m_animInterval = 0;
    bool m_framesSideBySide = false;
    int m_frame = 0;
    kelvo::COwnWindow m_ownWindow;
};
