// A rectangle in pixels, for the platform-free geometry of the caption button
// and the balloons.
#pragma once

namespace toolkit {

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect&) const = default;
};

}  // namespace toolkit
