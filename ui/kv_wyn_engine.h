#pragma once
// The application's dialog engine: the element types the application adds,
// and images drawn from the PNG resources of the module.

#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "draw/vt_dib.h"
#include "wyn/engine/element_names.h"
#include "wyn/engine/wyn_engine.h"

class CkvWynEngine : public CWynEngine {
public:
    using CWynEngine::CWynEngine;

    std::unique_ptr<CWynElement> CreateElement(std::wstring_view name,
                                               CWynElement* parent) override;
    // Images are PNG resources of type "WYNLIB", decoded once and
    // alpha-blended; an image that cannot be loaded draws nothing. An image
    // "x.png" may come in more sizes as "x<side>.png": the smallest at least
    // as large as the rectangle is drawn, reduced by area averaging (the
    // largest, enlarged, when none is). "delhkicon.png" is drawn centred at
    // 32, 24, 20 or 16 pixels, whichever fits the rectangle with 4 pixels to
    // spare on each side (16 when none does); every other image fills the
    // rectangle.
    void DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t* image) override;
    // Red, green and blue become their average.
    void DrawImageGray(HDC dc, int x, int y, int width, int height, const wchar_t* image) override;
    // The frame is a nine-part skin, with 3-pixel margins for "delhkbg.png".
    void DrawImageSkin(HDC dc, int x, int y, int width, int height, const wchar_t* image,
                       int frame_count, int frame_index, bool frames_side_by_side) override;

private:
    // The decoded picture of a resource name (case ignored); null when it
    // cannot be loaded. Decoded on first use and kept: a list paints the
    // same few pictures on every row.
    const kelvo::CVtDIB* Picture(const wchar_t* name);
    // The picture of the variant of `image` for `needed` pixels, chosen once
    // for each size asked.
    const kelvo::CVtDIB* Variant(const wchar_t* image, int needed);

    std::unordered_map<std::wstring, std::optional<kelvo::CVtDIB>> m_pictures;
    std::unordered_map<std::wstring, std::wstring> m_variants; // "<NAME>@<needed>": its variant
};

namespace kelvo {

// The names the application adds, tested before the engine's own.
std::span<const WynElementName> ApplicationElementNames() noexcept;

} // namespace kelvo
