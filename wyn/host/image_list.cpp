#include "wyn/host/image_list.h"

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {

unique_himagelist CreateImageList(int width, int height) {
    return unique_himagelist(::ImageList_Create(width, height, ILC_COLOR32, 4, 4));
}

int AddEngineImage(HIMAGELIST list, CWynEngine& engine, const wchar_t* name) {
    int width = 0, height = 0;
    if (!list || !name || !::ImageList_GetIconSize(list, &width, &height))
        return -1;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // Fully transparent until the image is blended in.
    unique_hbitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc)
        return -1;
    {
        select_object selected(dc.get(), bitmap.get());
        engine.DrawImage(dc.get(), 0, 0, width, height, name);
        ::GdiFlush();
    }
    return ::ImageList_Add(list, bitmap.get(), nullptr);
}

} // namespace kelvo
