// Scaling of designed pixel sizes.
#include "toolkit/DpiScale.h"

#include <cstdint>

namespace toolkit {

int ScaleForDpi(int value, int dpi) {
    if (dpi == kDesignDpi || dpi <= 0)
        return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : (product - half) / kDesignDpi);
}

Bounds ScaleBounds(const Bounds& b, int dpi) {
    const int left = ScaleForDpi(b.left, dpi), top = ScaleForDpi(b.top, dpi);
    return {left, top, ScaleForDpi(b.left + b.width, dpi) - left, ScaleForDpi(b.top + b.height, dpi) - top};
}

PixelRect ScaleRect(const PixelRect& r, int dpi) {
    return {ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi), ScaleForDpi(r.right, dpi), ScaleForDpi(r.bottom, dpi)};
}

}  // namespace toolkit
