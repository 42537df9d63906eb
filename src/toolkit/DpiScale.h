// Pixel sizes designed at 96 DPI, scaled for the DPI of the monitor a window
// is on. Platform-free, so every layout rule is checked without a display.
#pragma once

#include "toolkit/PixelRect.h"

namespace toolkit {

// The DPI every designed size is given at; at it nothing is scaled.
constexpr int kDesignDpi = 96;

// A control's place and size in a form's client area.
struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};

// value * dpi / 96, rounded half away from zero, as the platform's MulDiv
// rounds (so a negative font height scales like a positive one).
int ScaleForDpi(int value, int dpi);

// Scales the edges, not the width and height: controls that touch at 96 DPI
// (the two group boxes, a group box and the client's edge) still touch.
Bounds ScaleBounds(const Bounds& designed, int dpi);
PixelRect ScaleRect(const PixelRect& designed, int dpi);

// The text sample a scaled font is measured by against the designed one.
constexpr char kFontWidthSample[] = "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz 0123456789";

// Picks the font height for `dpi`: the designed height scaled, unless the
// font's letters come out wider than the designed width scaled (a height
// rounded up, or a face that does not grow evenly): then the largest smaller
// height, by at most two pixels, whose width fits, so that text that fits at
// 96 DPI fits at every scale. `widthAt(height)` measures the sample.
template <typename Measure>
int FittingFontHeight(int designedHeight, int dpi, Measure widthAt) {
    const int scaled = ScaleForDpi(designedHeight, dpi);
    if (dpi == kDesignDpi)
        return scaled;
    const int limit = ScaleForDpi(widthAt(designedHeight), dpi);
    const int step = scaled < 0 ? 1 : -1;
    for (int height = scaled, tries = 0; tries <= 2; height += step, ++tries)
        if (widthAt(height) <= limit)
            return height;
    return scaled + 2 * step;
}

}  // namespace toolkit
