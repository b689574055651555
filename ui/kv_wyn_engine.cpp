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

// The sizes an image may also come in, as "<name><side>.png" beside "<name>.png".
constexpr int kVariantSides[] = {16, 20, 24, 32, 40, 48, 64, 80, 96, 128};

// The name of the variant of `image` to draw at `needed` pixels: the smallest
// at least that large, else the largest. The size of each is read from its
// header. An image that is no PNG is its own variant.
std::wstring ChooseVariant(HINSTANCE module, std::wstring_view image, int needed) {
    const std::size_t dot = image.rfind(L'.');
    const std::wstring stem(image.substr(0, dot)),
        extension(dot == image.npos ? L"" : image.substr(dot));
    std::vector<std::wstring> names;
    std::vector<int> sides;
    const auto offer = [&](std::wstring candidate) {
        const auto bytes = FindWynResource(module, candidate.c_str());
        if (const auto size = ReadPngSize(bytes.data(), bytes.size())) {
            names.push_back(std::move(candidate));
            sides.push_back(std::max(size->width, size->height));
        }
    };
    offer(std::wstring(image));
    for (int side : kVariantSides)
        offer(stem + std::to_wstring(side) + extension);
    const int chosen = PickVariant(sides, needed);
    return chosen >= 0 ? names[static_cast<std::size_t>(chosen)] : std::wstring(image);
}

// The delete icon of the hotkey box: the largest of 32, 24, 20 and 16 pixels
// that leaves 4 pixels around it.
int DeleteIconSize(int width) {
    const int room = width - 8;
    return room >= 32 ? 32 : room >= 24 ? 24 : room >= 20 ? 20 : 16;
}

std::wstring Upper(std::wstring text) {
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
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
    auto [known, added] = m_pictures.try_emplace(kelvo::Upper(name));
    if (added) {
        const auto bytes = kelvo::FindWynResource(Module(), name);
        kelvo::CVtDIB picture;
        if (!bytes.empty() && picture.LoadFromMemory(bytes.data(), bytes.size()))
            known->second = std::move(picture);
    }
    return known->second ? &*known->second : nullptr;
}

const kelvo::CVtDIB* CkvWynEngine::Variant(const wchar_t* image, int needed) {
    if (!image)
        return nullptr;
    auto [known, added] =
        m_variants.try_emplace(kelvo::Upper(image) + L"@" + std::to_wstring(needed));
    if (added)
        known->second = kelvo::ChooseVariant(Module(), image, needed);
    return Picture(known->second.c_str());
}

void CkvWynEngine::DrawImage(HDC dc, int x, int y, int width, int height, const wchar_t* image) {
    if (image && kelvo::EqualsNoCase(image, L"delhkicon.png")) {
        const int size = kelvo::DeleteIconSize(width);
        if (const kelvo::CVtDIB* icon = Variant(image, size))
            kelvo::Draw(*icon, dc, x + width / 2 - size / 2, y + height / 2 - size / 2, size, size);
        return;
    }
    if (const kelvo::CVtDIB* picture = Variant(image, std::max(width, height)))
        kelvo::Draw(*picture, dc, x, y, width, height);
}

void CkvWynEngine::DrawImageGray(HDC dc, int x, int y, int width, int height,
                                 const wchar_t* image) {
    const kelvo::CVtDIB* original = Variant(image, std::max(width, height));
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
