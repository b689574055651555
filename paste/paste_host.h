#pragma once
// The main window as a paste and the tracking of its target see it. The
// chunk browser implements it.

#include <windows.h>

#include "paste/held_modifiers.h"

namespace kelvo {

class CPasteHost {
public:
    // Its window: never a paste target, owner of the paste's password dialog
    // and message boxes, and closed after a paste when the settings ask.
    virtual HWND Window() const = 0;
    // The modifiers its pastes hold down.
    virtual CHeldModifiers& HeldModifiers() = 0;
    // The paste target changed: the "paste" button is to show its title and
    // icon anew.
    virtual void PasteTargetChanged() = 0;

protected:
    ~CPasteHost() = default;
};

} // namespace kelvo
