#include "ui/kv_wyn_engine.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "draw/dib_draw.h"
#include "draw/image_variants.h"
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

// The sizes an image may also come in, as "<name><side>.png" beside "<name>.png".
constexpr int kVariantSides[] = {16, 20, 24, 32, 40, 48, 64, 80, 96, 128};

// Loads the variant of `image` to draw at `needed` pixels: the smallest at
// least that large, else the largest. The size of each is read from its
// header; only the one chosen is decoded.
bool LoadVariant(HINSTANCE module, const wchar_t* image, int needed, CVtDIB& picture) {
    if (!image)
        return false;
    const std::wstring_view name(image);
    const std::size_t dot = name.rfind(L'.');
    const std::wstring stem(name.substr(0, dot)),
        extension(dot == name.npos ? L"" : name.substr(dot));
    std::vector<std::wstring> names;
    std::vector<int> sides;
    const auto offer = [&](std::wstring candidate) {
        const auto bytes = FindWynResource(module, candidate.c_str());
        if (const auto size = ReadPngSize(bytes.data(), bytes.size())) {
            names.push_back(std::move(candidate));
            sides.push_back(std::max(size->width, size->height));
        }
    };
    offer(std::wstring(name));
    for (int side : kVariantSides)
        offer(stem + std::to_wstring(side) + extension);
    const int chosen = PickVariant(sides, needed);
    // An image that is no PNG still gets its say in LoadFromMemory.
    return LoadPicture(
        module, chosen >= 0 ? names[static_cast<std::size_t>(chosen)].c_str() : image, picture);
}

// The delete icon of the hotkey box: the largest of 32, 24, 20 and 16 pixels
// that leaves 4 pixels around it, drawn centred from its best variant.
void DrawDeleteIcon(HINSTANCE module, const wchar_t* image, HDC dc, int x, int y, int width,
                    int height) {
    const int room = width - 8;
    const int size = room >= 32 ? 32 : room >= 24 ? 24 : room >= 20 ? 20 : 16;
    CVtDIB icon;
    if (!LoadVariant(module, image, size, icon))
        return;
    Draw(icon, dc, x + width / 2 - size / 2, y + height / 2 - size / 2, size, size);
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
    if (image && kelvo::EqualsNoCase(image, L"delhkicon.png")) {
        kelvo::DrawDeleteIcon(Module(), image, dc, x, y, width, height);
        return;
    }
    kelvo::CVtDIB picture;
    if (kelvo::LoadVariant(Module(), image, std::max(width, height), picture))
        kelvo::Draw(picture, dc, x, y, width, height);
}

void CkvWynEngine::DrawImageGray(HDC dc, int x, int y, int width, int height,
                                 const wchar_t* image) {
    kelvo::CVtDIB picture;
    if (!kelvo::LoadVariant(Module(), image, std::max(width, height), picture))
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
