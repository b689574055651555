#include "wyn/host/image_list.h"

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {

UniqueHimagelist CreateImageList(int width, int height) {
    return UniqueHimagelist(::ImageList_Create(width, height, ILC_COLOR32, 4, 4));
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
    UniqueHbitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueHdc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc)
        return -1;
    {
        SelectedObject selected(dc.Get(), bitmap.Get());
        engine.DrawImage(dc.Get(), 0, 0, width, height, name);
        ::GdiFlush();
    }
    return ::ImageList_Add(list, bitmap.Get(), nullptr);
}

} // namespace kelvo
