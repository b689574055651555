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

bool LoadPicture(HINSTANCE module, const wchar_t* name, CVtDIB& image) {
    if (!name)
        return false;
    const auto bytes = FindWynResource(module, name);
    return !bytes.empty() && image.LoadFromMemory(bytes.data(), bytes.size());
}

// The delete icon of the hotkey box comes in three sizes; the largest that
// leaves 4 pixels around it is drawn, centred. A missing smaller size falls
// back to the large picture resized.
void DrawDeleteIcon(HINSTANCE module, CVtDIB& icon, HDC dc, int x, int y, int width, int height) {
    const int room = width - 8;
    const int size = room >= 24 ? 24 : room >= 20 ? 20 : 16;
    if (size == 20)
        LoadPicture(module, L"delhkicon20.png", icon);
    else if (size == 16)
        LoadPicture(module, L"delhkicon16.png", icon);
    if ((icon.Width() != size || icon.Height() != size) && !icon.Resize(size, size))
        return;
    Draw(icon, dc, x + width / 2 - size / 2, y + height / 2 - size / 2);
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

void CkvWynEngine::DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t* image) {
    kelvo::CVtDIB picture;
    if (!kelvo::LoadPicture(Module(), image, picture))
        return;
    if (kelvo::EqualsNoCase(image, L"delhkicon.png"))
        kelvo::DrawDeleteIcon(Module(), picture, dc, x, y, width, height);
    else
        kelvo::Draw(picture, dc, x, y, width, height);
}

void CkvWynEngine::DrawImageGray(HDC dc, int x, int y, int width, int height,
                                 const wchar_t* image) {
    kelvo::CVtDIB picture;
    if (!kelvo::LoadPicture(Module(), image, picture))
        return;
    for (std::uint32_t& pixel : picture.Pixels()) {
        const std::uint32_t grey =
            (((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3;
        pixel = (pixel & 0xFF000000) | grey << 16 | grey << 8 | grey;
    }
    kelvo::Draw(picture, dc, x, y, width, height);
}

void CkvWynEngine::DrawImageSkin(HDC dc, int x, int y, int width, int height, const wchar_t* image,
                                 int frame_count, int frame_index, bool frames_side_by_side) {
    kelvo::CVtDIB picture;
    if (!kelvo::LoadPicture(Module(), image, picture))
        return;
    if (frame_count > 0) {
        if (frame_index < 0 || frame_index >= frame_count)
            return;
        const bool cut =
            frames_side_by_side
                ? picture.Crop(frame_index * (picture.Width() / frame_count), 0,
                               (frame_index + 1) * (picture.Width() / frame_count), picture.Height())
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
