// Measuring, placing, flipping and outlining balloons.
#include "ui/balloon/BalloonGeometry.h"

#include <algorithm>

#include "toolkit/DpiScale.h"

namespace ui {
namespace {
// Stem sizes for an empty and for a filled heading row. A third, larger
// stem (24, 24, 17) is kept in the same tables but never chosen.
constexpr int kStemHeight[] = {8, 16, 24};
constexpr int kStemWidth[] = {8, 16, 24};
constexpr int kStemInset[] = {16, 15, 17};

// AW_* flags of the platform's window animation.
constexpr unsigned kHorPositive = 0x1, kHorNegative = 0x2, kVerPositive = 0x4, kVerNegative = 0x8;
constexpr unsigned kCenter = 0x10, kSlide = 0x40000, kBlend = 0x80000;

using toolkit::ScaleForDpi;
}  // namespace

PixelRect MeasureHeadingRow(TextMeasurer& measurer, int maxWidth, const BalloonHeading& row, int dpi) {
    const int margin = ScaleForDpi(11, dpi);
    PixelRect r{};
    if (row.headingVisible) {
        r = measurer.Measure(row.heading, true, maxWidth);
        r.right += ScaleForDpi(13, dpi);
        r.bottom += margin;
        if (row.iconVisible) {
            r.right += row.iconWidth + ScaleForDpi(8, dpi);
            r.bottom = std::max(r.bottom, row.iconHeight + margin);
        }
    } else if (row.iconVisible) {
        r = {0, 0, row.iconWidth + margin, row.iconHeight + margin};
    }
    return r;
}

PixelRect WithCloseButton(PixelRect row, int dpi) {
    const int button = ScaleForDpi(20, dpi);
    row.right += button;
    row.bottom = std::max(row.bottom, button);
    return row;
}

PixelRect MeasureMessage(TextMeasurer& measurer, int maxWidth, const std::string& message, int dpi) {
    if (message.empty())
        return {};
    PixelRect r = measurer.Measure(message, false, maxWidth);
    r.right += ScaleForDpi(27, dpi);
    return r;
}

PixelRect BalloonLayout::Compose(PixelRect headingRow, const PixelRect& message) {
    int stem;
    if (IsEmpty(headingRow)) {
        headingRow.bottom = ScaleForDpi(9, Dpi);
        TextTop = ScaleForDpi(7, Dpi);
        stem = 0;
    } else {
        headingRow.right += ScaleForDpi(12, Dpi);
        TextTop = headingRow.bottom + ScaleForDpi(1, Dpi);
        stem = 1;
    }
    StemHeight = ScaleForDpi(kStemHeight[stem], Dpi);
    StemWidth = ScaleForDpi(kStemWidth[stem], Dpi);
    StemInset = ScaleForDpi(kStemInset[stem], Dpi);
    PixelRect r{0, 0, std::max(message.right, headingRow.right),
                headingRow.bottom + message.bottom + StemHeight + ScaleForDpi(13, Dpi)};
    const PixelPoint o = StemOffset(r.right, r.bottom);
    SetContentTop();
    return Offset(r, o.x, o.y);
}

PixelPoint BalloonLayout::StemOffset(int width, int height) const {
    switch (Placement) {
    case BalloonPosition::RightDown:
        return {-StemInset, 0};
    case BalloonPosition::LeftUp:
        return {StemInset - width, -height - RaiseHeight};
    case BalloonPosition::RightUp:
        return {-StemInset, -height - RaiseHeight};
    case BalloonPosition::Auto:
    case BalloonPosition::LeftDown:
        break;
    }
    return {StemInset - width, 0};
}

PixelPoint BalloonLayout::StemPoint(const PixelRect& r) const {
    switch (Placement) {
    case BalloonPosition::RightDown:
        return {r.left + StemInset, r.top};
    case BalloonPosition::LeftUp:
        return {r.right - StemInset, r.bottom};
    case BalloonPosition::RightUp:
        return {r.left + StemInset, r.bottom};
    case BalloonPosition::Auto:
    case BalloonPosition::LeftDown:
        break;
    }
    return {r.right - StemInset, r.top};
}

void BalloonLayout::SetPlacement(BalloonPosition placement, PixelRect& rect) {
    if (placement != Placement) {
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        const PixelPoint before = StemOffset(w, h);
        Placement = placement;
        const PixelPoint after = StemOffset(w, h);
        rect = Offset(rect, after.x - before.x, after.y - before.y);
    }
    SetContentTop();
}

void BalloonLayout::PickAutoPosition(PixelRect& rect, const PixelRect& workArea) {
    SetPlacement(BalloonPosition::LeftDown, rect);
    const PixelPoint s = StemPoint(rect);
    const bool leftHalf = 2 * s.x < workArea.left + workArea.right;
    if (2 * s.y < workArea.top + workArea.bottom)
        SetPlacement(leftHalf ? BalloonPosition::LeftUp : BalloonPosition::RightUp, rect);
    else
        SetPlacement(leftHalf ? BalloonPosition::LeftDown : BalloonPosition::RightDown, rect);
}

void BalloonLayout::FitToWorkArea(PixelRect& rect, const PixelRect& workArea) {
    if (Placement == BalloonPosition::Auto)
        PickAutoPosition(rect, workArea);
    auto make = [](bool left, bool down) {
        return down ? (left ? BalloonPosition::LeftDown : BalloonPosition::RightDown)
                    : (left ? BalloonPosition::LeftUp : BalloonPosition::RightUp);
    };
    BalloonPosition p = Placement;
    if (rect.bottom > workArea.bottom - workArea.top && IsDown(p))
        p = make(IsLeft(p), false);
    if (rect.right > workArea.right - workArea.left && !IsLeft(p))
        p = make(true, IsDown(p));
    if (rect.left < workArea.left && IsLeft(p))
        p = make(false, IsDown(p));
    if (rect.top < workArea.top && !IsDown(p))
        p = make(IsLeft(p), true);
    if (p != Placement)
        SetPlacement(p, rect);
}

BalloonShape BalloonLayout::Shape(int w, int h) const {
    BalloonShape shape = ShapeAtAnyScale(w, h);
    shape.corner = ScaleForDpi(BalloonShape::kCorner, Dpi);
    return shape;
}

// The one-pixel offsets are the border's, drawn one pixel wide at every scale.
BalloonShape BalloonLayout::ShapeAtAnyScale(int w, int h) const {
    const int sh = StemHeight, sw = StemWidth, si = StemInset;
    switch (Placement) {
    case BalloonPosition::RightDown:
        return {{{si + 1, 0}, {si + 1, sh + 1}, {si + sw + 2, sh + 1}}, {1, sh + 1, w, h - 3}};
    case BalloonPosition::LeftUp:
        return {{{w - si - 1, h + 1}, {w - si - 1, h - sh - 1}, {w - si - sw - 2, h - sh - 1}}, {1, 1, w, h - sh}};
    case BalloonPosition::RightUp:
        return {{{si + 1, h}, {si + 1, h - sh - 1}, {si + sw + 2, h - sh - 1}}, {1, 1, w, h - sh}};
    case BalloonPosition::Auto:
    case BalloonPosition::LeftDown:
        break;
    }
    return {{{w - si - 1, 0}, {w - si - 1, sh + 1}, {w - si - sw - 2, sh + 1}}, {1, sh + 1, w, h - 3}};
}

PixelRect CloseButtonRect(int clientWidth, int contentTop, bool themed, int dpi) {
    const int grow = themed ? 1 : 0;
    return {clientWidth - ScaleForDpi(22, dpi) - grow, contentTop + ScaleForDpi(5, dpi) - grow,
            clientWidth - ScaleForDpi(6, dpi), contentTop + ScaleForDpi(21, dpi)};
}

AnimationStyle ChooseShowEffect(bool xpOrLater, bool customAnimation, AnimationStyle custom, bool tooltipAnimation,
                                 bool tooltipFade) {
    if (!xpOrLater)
        return AnimationStyle::None;
    if (customAnimation)
        return custom;
    if (!tooltipAnimation)
        return AnimationStyle::None;
    return tooltipFade ? AnimationStyle::Blend : AnimationStyle::Slide;
}

unsigned AnimationFlags(AnimationStyle effect, BalloonPosition placement) {
    const unsigned vertical = IsDown(placement) ? kVerPositive : kVerNegative;
    switch (effect) {
    case AnimationStyle::None:
        return 0;
    case AnimationStyle::Slide:
        return kSlide | vertical;
    case AnimationStyle::Roll:
        return vertical;
    case AnimationStyle::RollHorNeg:
        return kHorNegative;
    case AnimationStyle::RollHorPos:
        return kHorPositive;
    case AnimationStyle::RollVerNeg:
        return kVerNegative;
    case AnimationStyle::RollVerPos:
        return kVerPositive;
    case AnimationStyle::SlideHorNeg:
        return kSlide | kHorNegative;
    case AnimationStyle::SlideHorPos:
        return kSlide | kHorPositive;
    case AnimationStyle::SlideVerNeg:
        return kSlide | kVerNegative;
    case AnimationStyle::SlideVerPos:
        return kSlide | kVerPositive;
    case AnimationStyle::Center:
        return kCenter;
    case AnimationStyle::Blend:
        return kBlend;
    }
    return 0;
}

bool CloseButtonStates::Paint(unsigned state) {
    if (state == drawn_)
        return false;
    drawn_ = state;
    return true;
}

unsigned CloseButtonStates::Move(bool inside) const {
    unsigned state = kTransparent;
    if (inside) {
        state |= kHot;
        if (drawn_ & kPushed)
            state |= kPushed;
    }
    return state;
}

}  // namespace ui
