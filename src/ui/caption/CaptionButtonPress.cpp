// Caption button geometry and its press/release rules.
#include "ui/caption/CaptionButtonPress.h"

#include "toolkit/DpiScale.h"

namespace ui {

PixelRect CaptionButtonBounds(int windowWidth, int buttonLeft, int buttonTop, int buttonWidth, int buttonHeight) {
    const int left = windowWidth - buttonLeft;
    return {left, buttonTop, left + buttonWidth, buttonTop + buttonHeight};
}

PixelRect CaptionButtonBoundsForDpi(int windowWidth, int buttonLeft, int buttonTop, int buttonWidth,
                                    int buttonHeight, int dpi) {
    using toolkit::ScaleForDpi;
    return CaptionButtonBounds(windowWidth, ScaleForDpi(buttonLeft, dpi), ScaleForDpi(buttonTop, dpi),
                               ScaleForDpi(buttonWidth, dpi), ScaleForDpi(buttonHeight, dpi));
}

bool CaptionButtonPress::HitTest(const PixelRect& bounds, int x, int y) {
    if (bounds.Contains(x, y))
        return true;
    down_ = false;
    return false;
}

CaptionButtonPress::PressResult CaptionButtonPress::Press(const PixelRect& bounds, bool onButtonBorder, int x, int y) {
    if (onButtonBorder && bounds.Contains(x + 2, y + 2)) {
        down_ = Toggle ? !down_ : true;
        return PressResult::Pressed;
    }
    if (down_) {
        down_ = false;
        return PressResult::Cancelled;
    }
    return PressResult::None;
}

bool CaptionButtonPress::Track(const PixelRect& bounds, int x, int y) {
    if (!down_ || Toggle || bounds.Contains(x, y))
        return false;
    down_ = false;
    return true;
}

bool CaptionButtonPress::Release() {
    const bool click = down_;
    if (!Toggle)
        down_ = false;
    return click;
}

}  // namespace ui
