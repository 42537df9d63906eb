// The desktop clamp of popup windows.
#include "toolkit/DesktopClamp.h"

namespace toolkit {

ScreenBox ClampToDesktop(ScreenBox box, const ScreenBox& desktop) {
    const int w = box.Width(), h = box.Height();
    if (box.top + h > desktop.bottom)
        box.top = desktop.bottom - h;
    if (box.left + w > desktop.right)
        box.left = desktop.right - w;
    if (box.left < desktop.left)
        box.left = desktop.left;
    if (box.top < desktop.top)
        box.top = desktop.top;
    box.right = box.left + w;
    box.bottom = box.top + h;
    return box;
}

}  // namespace toolkit
