// Where the caption button sits and which press/release sequences click it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ui/caption/CaptionButtonPress.h"

namespace {
using ui::CaptionButtonPress;
using ui::PixelRect;

TEST(CaptionButtonBounds, MeasuredFromTheWindowsRightAndTopOuterEdges) {
    // The settings window's button: 40 from the right edge, 6 down, 16 x 14.
    EXPECT_EQ(ui::CaptionButtonBounds(241, 40, 6, 16, 14), (PixelRect{201, 6, 217, 20}));
    EXPECT_EQ(ui::CaptionButtonBounds(100, 40, 6, 16, 14), (PixelRect{60, 6, 76, 20}));
}

// A sequence of pointer events in window coordinates:
//   h x y  hit test         p x y  press on the border we reported
//   c x y  client press     m x y  move while holding   r  release
struct Sequence {
    const char* what;
    const char* events;
    int clicks;
    bool downAtEnd;
};

class CaptionButtonClicks : public ::testing::TestWithParam<Sequence> {};

TEST_P(CaptionButtonClicks, RunsTheClickOnlyForAPressAndReleaseOnTheButton) {
    const PixelRect bounds{201, 6, 217, 20};
    CaptionButtonPress press;
    int clicks = 0;
    std::istringstream in(GetParam().events);
    char kind;
    while (in >> kind) {
        int x = 0, y = 0;
        if (kind != 'r')
            in >> x >> y;
        switch (kind) {
        case 'h': {
            const bool onButton = press.HitTest(bounds, x, y);
            ASSERT_EQ(onButton, bounds.Contains(x, y)) << GetParam().what;
            break;
        }
        case 'p':
            press.Press(bounds, bounds.Contains(x, y), x, y);
            break;
        case 'c':
            press.Press(bounds, false, x, y);
            break;
        case 'm':
            press.Track(bounds, x, y);
            break;
        case 'r':
            clicks += press.Release() ? 1 : 0;
            break;
        }
    }
    EXPECT_EQ(clicks, GetParam().clicks) << GetParam().what;
    EXPECT_EQ(press.Down(), GetParam().downAtEnd) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionButtonClicks,
    ::testing::Values(Sequence{"press and release on it", "h 205 10 p 205 10 r", 1, false},
                      Sequence{"top-left pixel counts", "h 201 6 p 201 6 r", 1, false},
                      Sequence{"last pixel still inside the shifted area", "h 214 17 p 214 17 r", 1, false},
                      Sequence{"last two columns start nothing", "h 215 10 p 215 10 r", 0, false},
                      Sequence{"last column starts nothing", "h 216 10 p 216 10 r", 0, false},
                      Sequence{"last two rows start nothing", "h 205 18 p 205 18 r", 0, false},
                      Sequence{"press beside it", "h 230 10 p 230 10 r", 0, false},
                      Sequence{"dragged off, hit test outside", "h 205 10 p 205 10 h 100 10 r", 0, false},
                      Sequence{"dragged off while holding the mouse", "p 205 10 m 240 10 r", 0, false},
                      Sequence{"moving on the button keeps the press", "p 205 10 m 210 12 r", 1, false},
                      Sequence{"a client press cancels a pending press", "p 205 10 c 50 50 r", 0, false},
                      Sequence{"a release alone clicks nothing", "r", 0, false},
                      Sequence{"one click per press", "p 205 10 r r", 1, false},
                      Sequence{"two presses, two clicks", "p 205 10 r p 206 11 r", 2, false}));

TEST(CaptionButtonToggle, EachPressTurnsItOverAndTheReleaseKeepsIt) {
    const PixelRect bounds{201, 6, 217, 20};
    CaptionButtonPress press;
    press.Toggle = true;
    press.Press(bounds, true, 205, 10);
    EXPECT_TRUE(press.Release());
    EXPECT_TRUE(press.Down());
    press.Press(bounds, true, 205, 10);
    EXPECT_FALSE(press.Down());
    EXPECT_FALSE(press.Release());
}

}  // namespace
