#include "ui/program_icon.h"

namespace kelvo {

UniqueHicon ProgramIcon(int side) {
    return UniqueHicon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(kProgramIconResource),
                                                       IMAGE_ICON, side, side, 0)));
}

} // namespace kelvo
