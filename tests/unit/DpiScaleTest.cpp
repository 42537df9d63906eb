// The 96-DPI layout scaled to other DPIs: rounding, edges that still touch,
// the combo box's drop-down and the caption button's rectangle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "toolkit/DpiScale.h"
#include "ui/caption/CaptionButtonPress.h"

namespace {
using toolkit::Bounds;
using toolkit::ScaleBounds;
using toolkit::ScaleForDpi;

constexpr int kDpis[] = {96, 120, 144, 168, 192, 288};

TEST(ScaleForDpi, RoundsHalfAwayFromZeroAsMulDivDoes) {
    struct Case {
        int value, dpi, expected;
    };
    const Case cases[] = {
        {235, 96, 235},  {235, 120, 294}, {235, 144, 353}, {235, 168, 411}, {235, 192, 470}, {235, 288, 705},
        {153, 144, 230}, {41, 144, 62},   {13, 120, 16},   {17, 168, 30},   {-11, 144, -17}, {-11, 120, -14},
        {-11, 168, -19}, {-11, 96, -11},  {0, 288, 0},     {1, 144, 2},     {-1, 144, -2},   {7, 0, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

// The settings window's designed rectangles (client 235 x 153).
struct Designed {
    const char* name;
    Bounds bounds;
};
constexpr Designed kSettingsLayout[] = {
    {"startupGroup", {0, 0, 235, 41}},     {"autostartBox", {8, 16, 217, 17}},
    {"controlGroup", {0, 41, 235, 112}},   {"intelligentModeBox", {8, 57, 129, 17}},
    {"programList", {8, 81, 217, 21}},     {"addButton", {8, 113, 75, 25}},
    {"removeButton", {144, 113, 75, 25}},
};

TEST(ScaleBounds, KeepsTheSettingsLayoutsEdgesTogetherAtEveryDpi) {
    for (int dpi : kDpis) {
        const int clientWidth = ScaleForDpi(235, dpi), clientHeight = ScaleForDpi(153, dpi);
        const Bounds startup = ScaleBounds(kSettingsLayout[0].bounds, dpi);
        const Bounds control = ScaleBounds(kSettingsLayout[2].bounds, dpi);
        // The two group boxes fill the client area with no gap and no overlap.
        EXPECT_EQ(startup.top + startup.height, control.top) << dpi;
        EXPECT_EQ(startup.left + startup.width, clientWidth) << dpi;
        EXPECT_EQ(control.top + control.height, clientHeight) << dpi;
        for (const Designed& d : kSettingsLayout) {
            const Bounds b = ScaleBounds(d.bounds, dpi);
            // Each edge is the designed edge scaled on its own.
            EXPECT_EQ(b.left, ScaleForDpi(d.bounds.left, dpi)) << d.name << " at " << dpi;
            EXPECT_EQ(b.top + b.height, ScaleForDpi(d.bounds.top + d.bounds.height, dpi)) << d.name << " at " << dpi;
            // No size is off by more than one pixel of rounding.
            EXPECT_LE(std::abs(b.width * 96 - d.bounds.width * dpi), 96) << d.name << " at " << dpi;
            EXPECT_LE(std::abs(b.height * 96 - d.bounds.height * dpi), 96) << d.name << " at " << dpi;
            EXPECT_LE(b.left + b.width, clientWidth) << d.name << " at " << dpi;
            EXPECT_LE(b.top + b.height, clientHeight) << d.name << " at " << dpi;
        }
        if (dpi == 96)
            for (const Designed& d : kSettingsLayout)
                EXPECT_EQ(ScaleBounds(d.bounds, dpi), d.bounds) << d.name;
    }
}

// A font whose sample is `perPixel` wide for each pixel of height, and
// `extra` wider from a given height up (a size where the face changes).
struct FakeFont {
    int perPixel, jumpFrom, extra;
    int operator()(int height) const {
        const int h = height < 0 ? -height : height;
        return h * perPixel + (h >= jumpFrom ? extra : 0);
    }
};

TEST(FittingFontHeight, ScalesUnlessTheLettersComeOutWiderThanScaled) {
    struct Case {
        const char* what;
        int designed, dpi;
        FakeFont font;
        int expected;
    };
    const Case cases[] = {
        {"96 DPI: never measured, never changed", -11, 96, {30, 0, 999}, -11},
        {"even scale: plain scaling", -11, 288, {30, 100, 0}, -33},
        {"even scale at 192", -11, 192, {30, 100, 0}, -22},
        {"16.5 rounded up would be wider: 16", -11, 144, {30, 100, 0}, -16},
        {"13.75 rounded up would be wider: 13", -11, 120, {30, 100, 0}, -13},
        {"a face narrower than in proportion keeps the scaled height", -11, 144, {29, 17, -20}, -17},
        {"wider from 17 px: one pixel less", -11, 144, {30, 17, 40}, -16},
        {"wider from 16 px: two pixels less", -11, 144, {30, 16, 40}, -15},
        {"wider at every larger size: at most two less", -11, 192, {30, 12, 80}, -20},
        {"positive heights shrink towards zero too", 11, 144, {30, 17, 40}, 16},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toolkit::FittingFontHeight(c.designed, c.dpi, c.font), c.expected) << c.what;
}

TEST(CaptionButtonBoundsForDpi, ScalesThePlaceButNotTheWindowWidth) {
    struct Case {
        int dpi, windowWidth;
        toolkit::PixelRect expected;
    };
    const Case cases[] = {
        {96, 241, {201, 6, 217, 20}},   {120, 300, {250, 8, 270, 26}},  {144, 361, {301, 9, 325, 30}},
        {168, 420, {350, 11, 378, 36}}, {192, 480, {400, 12, 432, 40}}, {288, 720, {600, 18, 648, 60}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::CaptionButtonBoundsForDpi(c.windowWidth, 40, 6, 16, 14, c.dpi), c.expected) << c.dpi;
}

}  // namespace
