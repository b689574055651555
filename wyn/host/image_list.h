#pragma once
// Image lists filled with the engine's images, for the controls that show
// icons (toolbars, lists).

#include <windows.h>

#include <commctrl.h>

#include "base/unique_any.h"

class CWynEngine;

namespace kelvo {

namespace detail {
inline void FreeImageList(HIMAGELIST list) noexcept {
    ::ImageList_Destroy(list);
}
} // namespace detail

using UniqueHimagelist = UniqueAny<HIMAGELIST, detail::FreeImageList>;

// A 32-bit image list with per-pixel alpha for images of that size.
UniqueHimagelist CreateImageList(int width, int height);

// Adds the engine's image `name` drawn at the list's image size; its index,
// or -1 when it cannot be added.
int AddEngineImage(HIMAGELIST list, CWynEngine& engine, const wchar_t* name);

} // namespace kelvo
