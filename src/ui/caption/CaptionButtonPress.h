// Where a caption button sits and how presses and releases on it become a
// click. Platform-free: the window side feeds it window coordinates (origin at
// the window's outer top-left corner).
#pragma once

#include "toolkit/PixelRect.h"

namespace ui {

using toolkit::PixelRect;

// `buttonLeft` counts from the window's right outer edge to the button's left
// edge, `buttonTop` from its top outer edge.
PixelRect CaptionButtonBounds(int windowWidth, int buttonLeft, int buttonTop, int buttonWidth, int buttonHeight);
// The same for a window at `dpi`, the four button values being given at 96
// DPI: each is scaled, the window's width (already the real one) is not.
PixelRect CaptionButtonBoundsForDpi(int windowWidth, int buttonLeft, int buttonTop, int buttonWidth,
                                    int buttonHeight, int dpi);

class CaptionButtonPress {
public:
    bool Down() const { return down_; }
    bool Toggle = false;

    // The platform asks what lies under the pointer. True: the button, which
    // the window then reports as plain border (no drag, no caption action).
    // Elsewhere a pending press is dropped.
    bool HitTest(const PixelRect& bounds, int x, int y);

    enum class PressResult { None, Pressed, Cancelled };
    // A left press reaching the window; `onButtonBorder` tells whether the
    // platform took the spot for the border we reported. The point is tested
    // two pixels further right and down than the hit test, so the button's
    // last two columns and rows start nothing.
    PressResult Press(const PixelRect& bounds, bool onButtonBorder, int x, int y);

    // The pointer moved while the window held the mouse: off the button drops
    // the press, as a platform that sends no hit tests during capture would not.
    // True when that changed Down.
    bool Track(const PixelRect& bounds, int x, int y);

    // A left release reaching the window: true when it completes a click.
    bool Release();

    // The mouse was taken away (another window captured it).
    void Cancel() { down_ = false; }

private:
    bool down_ = false;
};

}  // namespace ui
