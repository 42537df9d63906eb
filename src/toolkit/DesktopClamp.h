// Keeps a popup window's rectangle on the desktop of all monitors.
// Platform-free, shared by the plain hint window and the balloons.
#pragma once

namespace toolkit {

struct ScreenBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenBox&) const = default;
};

// Moves (never resizes) `box` so it lies on `desktop`: bottom and right
// edges first, then left and top, so a box larger than the desktop keeps its
// top-left corner on it. The edges are compared, not the desktop's width and
// height: the two differ whenever a monitor lies left of or above the
// primary one, and comparing with the sizes would leave a box that sticks out
// past the right or bottom edge where it is.
ScreenBox ClampToDesktop(ScreenBox box, const ScreenBox& desktop);

}  // namespace toolkit
