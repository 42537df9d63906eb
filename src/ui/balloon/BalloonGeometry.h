// A balloon's numbers: its measured size, where its stem tip lies for each
// placement, how it flips to stay on the work area, its outline and its
// close button. Platform-free; text is measured through a port.
#pragma once

#include <string>

#include "toolkit/PixelRect.h"
#include "ui/balloon/BalloonTypes.h"

namespace ui {

using toolkit::PixelRect;

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

inline bool IsEmpty(const PixelRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline PixelRect Offset(PixelRect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Measures text as word-broken drawing in a width would lay it out:
// (0, 0, width, height) of what it needs.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual PixelRect Measure(const std::string& text, bool bold, int maxWidth) = 0;
};

// What the heading row holds.
struct BalloonHeading {
    bool headingVisible = false;
    std::string heading;
    bool iconVisible = false;
    int iconWidth = 0, iconHeight = 0;
};

// Every margin, stem and button size below is given at 96 DPI and scaled
// for the DPI of the monitor the balloon shows on (`dpi`); the measurer
// measures with fonts made for that DPI.

// The heading row's rectangle: bold heading with its margins, the icon
// beside or instead of it; empty when the row holds neither.
PixelRect MeasureHeadingRow(TextMeasurer& measurer, int maxWidth, const BalloonHeading& row, int dpi = 96);
// The row of a help balloon grows by its close button.
PixelRect WithCloseButton(PixelRect row, int dpi = 96);
// The message's rectangle with its margin; empty for no message.
PixelRect MeasureMessage(TextMeasurer& measurer, int maxWidth, const std::string& message, int dpi = 96);

struct BalloonShape {
    PixelPoint triangle[3];
    PixelRect body;  // a rectangle with corner ellipses of corner x corner
    static constexpr int kCorner = 11;  // at 96 DPI
    int corner = kCorner;
};

inline bool IsDown(BalloonPosition p) {
    return p == BalloonPosition::Auto || p == BalloonPosition::LeftDown || p == BalloonPosition::RightDown;
}
inline bool IsLeft(BalloonPosition p) {
    return p == BalloonPosition::Auto || p == BalloonPosition::LeftDown || p == BalloonPosition::LeftUp;
}

// A balloon window's placement state and the geometry that follows from it.
class BalloonLayout {
public:
    BalloonPosition Placement = BalloonPosition::Auto;
    int Dpi = 96;  // of the monitor the balloon shows on
    int StemHeight = 8, StemWidth = 8, StemInset = 16;
    int ContentTop = 8;
    int TextTop = 7;
    int RaiseHeight = 0;

    // From the measured heading row and message: chooses the stem (small
    // for an empty row), sets TextTop, and gives the window rectangle with
    // its stem tip at (0, 0) for the current placement.
    PixelRect Compose(PixelRect headingRow, const PixelRect& message);

    // From the stem tip to the rectangle's top-left, for a width x height rectangle.
    PixelPoint StemOffset(int width, int height) const;
    // Where the stem tip of a rectangle placed for the current placement is.
    PixelPoint StemPoint(const PixelRect& r) const;
    // Changes the placement, moving an already placed rectangle with it.
    void SetPlacement(BalloonPosition placement, PixelRect& rect);

    // First choice by screen quarter: upward in the upper half, leftward in the left half.
    void PickAutoPosition(PixelRect& rect, const PixelRect& workArea);
    // Flips what does not fit. The bottom and right tests compare with the
    // work area's height and width, as the balloons always have: for the
    // usual work area at the screen's origin that is its bottom and right edge.
    void FitToWorkArea(PixelRect& rect, const PixelRect& workArea);

    // The outline, in window coordinates, for a window of that size.
    BalloonShape Shape(int width, int height) const;

private:
    BalloonShape ShapeAtAnyScale(int width, int height) const;
    void SetContentTop() { ContentTop = IsDown(Placement) ? StemHeight : 0; }
};

// The close button in client coordinates; one pixel larger up and left
// when drawn with visual styles.
PixelRect CloseButtonRect(int clientWidth, int contentTop, bool themed, int dpi = 96);

// The show effect of a help balloon: the custom one when asked for, else
// what the system's tooltip settings say; none before Windows XP.
AnimationStyle ChooseShowEffect(bool xpOrLater, bool customAnimation, AnimationStyle custom, bool tooltipAnimation,
                                 bool tooltipFade);
// The window animation flags of an effect for a placement.
unsigned AnimationFlags(AnimationStyle effect, BalloonPosition placement);

// The close button's drawn state (frame-control flags) through presses,
// moves and releases.
class CloseButtonStates {
public:
    static constexpr unsigned kPushed = 0x0200;       // DFCS_PUSHED
    static constexpr unsigned kTransparent = 0x0800;  // DFCS_TRANSPARENT
    static constexpr unsigned kHot = 0x1000;          // DFCS_HOT

    unsigned Drawn() const { return drawn_; }
    // True when `state` differs from the drawn one, which it then becomes.
    bool Paint(unsigned state);
    // A full repaint draws the normal state again.
    void Forget() { drawn_ = 0; }

    // Each gives the state to draw; Press gives 0 (nothing) outside.
    unsigned Press(bool inside) const { return inside ? drawn_ | kPushed : 0; }
    unsigned Move(bool inside) const;
    // A release ends a press only when the drawn state is pushed.
    bool ReleaseEndsPress() const { return (drawn_ & kPushed) != 0; }
    unsigned Release() const { return drawn_ & ~kPushed; }

private:
    unsigned drawn_ = 0;
};

}  // namespace ui
