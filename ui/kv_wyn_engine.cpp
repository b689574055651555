#include "ui/kv_wyn_engine.h"

#include <new>

#include "draw/dib_draw.h"
#include "draw/vt_dib.h"
#include "draw/vt_skin_dib.h"
#include "ui/colored_text_box.h"
#include "ui/custom_button.h"
#include "ui/custom_list.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_element.h"
#include "wyn/engine/wyn_resource.h"

namespace kelvo {
namespace {

template <typename T> std::unique_ptr<CWynElement> Make(CWynElement* parent, CWynEngine* engine) {
    return std::make_unique<T>(parent, engine);
}

// The key-code editor's name is matched exactly: "CodEdit" is no editor.
constexpr WynElementName kApplication[] = {
    {L"customlist", false, &Make<CWynCustomList>},
    {L"custombutton", false, &Make<CWynCustomButton>},
    {L"codedit", true, &Make<CColoredTextBox>},
};

// The delete icon of the hotkey box comes in three sizes; the largest that
// leaves 4 pixels around it is drawn, centred.
int DeleteIconSize(int width) {
    const int room = width - 8;
    return room >= 24 ? 24 : room >= 20 ? 20 : 16;
}

} // namespace

std::span<const WynElementName> ApplicationElementNames() noexcept {
    return kApplication;
}

} // namespace kelvo

std::unique_ptr<CWynElement> CkvWynEngine::CreateElement(std::wstring_view name,
                                                         CWynElement* parent) {
    const kelvo::WynElementName* entry =
        kelvo::FindElementName(kelvo::ApplicationElementNames(), name);
    if (!entry)
        return CWynEngine::CreateElement(name, parent);
    if (!entry->create)
        return nullptr;
    try {
        return entry->create(parent, this);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const kelvo::CVtDIB* CkvWynEngine::Picture(const wchar_t* name) {
    if (!name)
        return nullptr;
    std::wstring key = name;
    ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    auto [known, added] = m_pictures.try_emplace(std::move(key));
    if (added) {
        const auto bytes = kelvo::FindWynResource(Module(), name);
        kelvo::CVtDIB picture;
        if (!bytes.empty() && picture.LoadFromMemory(bytes.data(), bytes.size()))
            known->second = std::move(picture);
    }
    return known->second ? &*known->second : nullptr;
}

void CkvWynEngine::DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t* image) {
    const kelvo::CVtDIB* picture = Picture(image);
    if (!picture)
        return;
    if (!kelvo::EqualsNoCase(image, L"delhkicon.png")) {
        kelvo::Draw(*picture, dc, x, y, width, height);
        return;
    }
    // A missing smaller size falls back to the large picture resized.
    const int size = kelvo::DeleteIconSize(width);
    const kelvo::CVtDIB* sized = size == 20   ? Picture(L"delhkicon20.png")
                                 : size == 16 ? Picture(L"delhkicon16.png")
                                              : picture;
    kelvo::Draw(sized ? *sized : *picture, dc, x + width / 2 - size / 2, y + height / 2 - size / 2,
                size, size);
}

void CkvWynEngine::DrawImageGray(HDC dc, int x, int y, int width, int height,
                                 const wchar_t* image) {
    const kelvo::CVtDIB* original = Picture(image);
    if (!original)
        return;
    kelvo::CVtDIB picture = *original;
    for (std::uint32_t& pixel : picture.Pixels()) {
        const std::uint32_t grey =
            (((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3;
        pixel = (pixel & 0xFF000000) | grey << 16 | grey << 8 | grey;
    }
    kelvo::Draw(picture, dc, x, y, width, height);
}

void CkvWynEngine::DrawImageSkin(HDC dc, int x, int y, int width, int height, const wchar_t* image,
                                 int frame_count, int frame_index, bool frames_side_by_side) {
    const kelvo::CVtDIB* original = Picture(image);
    if (!original)
        return;
    kelvo::CVtDIB picture = *original;
    if (frame_count > 0) {
        if (frame_index < 0 || frame_index >= frame_count)
            return;
        const bool cut =
            frames_side_by_side
                ? picture.Crop(frame_index * (picture.Width() / frame_count), 0,
                               (frame_index + 1) * (picture.Width() / frame_count),
                               picture.Height())
                : picture.Crop(0, frame_index * (picture.Height() / frame_count), picture.Width(),
                               (frame_index + 1) * (picture.Height() / frame_count));
        if (!cut)
            return;
    }
    const std::uint32_t margin = kelvo::EqualsNoCase(image, L"delhkbg.png") ? 3 : 0;
    kelvo::CVtSkinDIB skin;
    skin.Slice(picture, {margin, margin, margin, margin}, false, false);
    const RECT rect{x, y, x + width, y + height};
    kelvo::Draw(skin, dc, rect);
}
