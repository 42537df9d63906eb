// Balloon measuring, placement, flipping, outline and close button, with a
// fake text measurer: the rules a balloon's look and position follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "toolkit/DesktopClamp.h"
#include "ui/balloon/BalloonGeometry.h"
#include "ui/balloon/BalloonSounds.h"

namespace {
using namespace ui;
// Short names for the tables.
using Pos = BalloonPosition;
using Anim = AnimationStyle;

// 6 pixels per character (7 in bold), 13 per line; lines break at CR or LF
// and at the width limit.
class FakeMeasurer : public TextMeasurer {
public:
    PixelRect Measure(const std::string& text, bool bold, int maxWidth) override {
        const int perChar = bold ? 7 : 6;
        int lines = 0, widest = 0;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos)
                end = text.size();
            const int w = static_cast<int>(end - start) * perChar;
            lines += std::max(1, (w + maxWidth - 1) / maxWidth);
            widest = std::max(widest, std::min(w, maxWidth));
            start = end + 1;
        }
        return {0, 0, widest, lines * 13};
    }
};

struct SizeCase {
    const char* what;
    const char* heading;  // nullptr: no heading
    int icon;             // icon size; 0: no icon
    bool closeButton;
    const char* message;
    int width, height;
    int stemHeight, stemWidth, stemInset, textTop;
};

TEST(BalloonMeasure, SizeAndStemFollowTheHeadingRowAndTheMessage) {
    const std::string twoLines = std::string(40, 'm') + "\r" + std::string(30, 'n');
    const std::string wide(30, 'H');
    const SizeCase cases[] = {
        // Help balloon: max(message + 27, bold heading + 45) x max(heading + 11, 20) + message + 29.
        {"help balloon, long message", "Inditas", 0, true, twoLines.c_str(), 240 + 27, 24 + 26 + 29, 16, 16, 15, 25},
        {"help balloon, heading wider", wide.c_str(), 0, true, "short", 210 + 45, 24 + 13 + 29, 16, 16, 15, 25},
        {"heading only", "Head", 0, false, "", 28 + 13 + 12, 24 + 16 + 13, 16, 16, 15, 25},
        // Application hint: no heading row, small stem, text at 7.
        {"control hint", nullptr, 0, false, "Automatikus inditas", 114 + 27, 9 + 13 + 8 + 13, 8, 8, 16, 7},
        {"icon only", nullptr, 16, false, "msg", std::max(18 + 27, 27 + 12), 27 + 13 + 16 + 13, 16, 16, 15, 28},
        {"heading and icon", "Hd", 16, false, "msg", 14 + 13 + 24 + 12, 27 + 13 + 16 + 13, 16, 16, 15, 28},
        {"close button alone", nullptr, 0, true, "msg", std::max(45, 20 + 12), 20 + 13 + 16 + 13, 16, 16, 15, 21},
    };
    for (const SizeCase& c : cases) {
        FakeMeasurer m;
        BalloonLayout layout;
        BalloonHeading heading;
        heading.headingVisible = c.heading != nullptr;
        heading.heading = c.heading ? c.heading : "";
        heading.iconVisible = c.icon > 0;
        heading.iconWidth = heading.iconHeight = c.icon;
        PixelRect row = MeasureHeadingRow(m, 1024, heading);
        if (c.closeButton)
            row = WithCloseButton(row);
        const PixelRect r = layout.Compose(row, MeasureMessage(m, 1024, c.message));
        EXPECT_EQ(r.right - r.left, c.width) << c.what;
        EXPECT_EQ(r.bottom - r.top, c.height) << c.what;
        EXPECT_EQ(layout.StemHeight, c.stemHeight) << c.what;
        EXPECT_EQ(layout.StemWidth, c.stemWidth) << c.what;
        EXPECT_EQ(layout.StemInset, c.stemInset) << c.what;
        EXPECT_EQ(layout.TextTop, c.textTop) << c.what;
        // Measured for the automatic placement: the tip at the origin, body below it.
        EXPECT_EQ(layout.StemPoint(r), (PixelPoint{0, 0})) << c.what;
        EXPECT_EQ(layout.ContentTop, c.stemHeight) << c.what;
    }
}

struct PlacementCase {
    BalloonPosition placement;
    PixelPoint offset;  // for a 100 x 60 rectangle, stem inset 15, lift 17
    PixelPoint tip;     // of the rectangle (200, 300, 300, 360)
    int contentTop;
};

TEST(BalloonPlacement, StemOffsetAndStemPointForEveryPlacement) {
    const PlacementCase cases[] = {
        {Pos::Auto, {-85, 0}, {285, 300}, 16},         {Pos::LeftDown, {-85, 0}, {285, 300}, 16},
        {Pos::RightDown, {-15, 0}, {215, 300}, 16},    {Pos::LeftUp, {-85, -77}, {285, 360}, 0},
        {Pos::RightUp, {-15, -77}, {215, 360}, 0},
    };
    for (const PlacementCase& c : cases) {
        BalloonLayout layout;
        layout.StemHeight = layout.StemWidth = 16;
        layout.StemInset = 15;
        layout.RaiseHeight = 17;
        PixelRect r{0, 0, 100, 60};
        layout.SetPlacement(c.placement, r);
        EXPECT_EQ(layout.StemOffset(100, 60), c.offset) << int(c.placement);
        EXPECT_EQ(layout.StemPoint({200, 300, 300, 360}), c.tip) << int(c.placement);
        EXPECT_EQ(layout.ContentTop, c.contentTop) << int(c.placement);
        // A rectangle placed with the offset has its stem point on the tip,
        // lifted by RaiseHeight when it opens upward.
        const PixelRect placed = Offset({0, 0, 100, 60}, 500 + c.offset.x, 400 + c.offset.y);
        const int lift = c.contentTop == 0 ? 17 : 0;
        EXPECT_EQ(layout.StemPoint(placed), (PixelPoint{500, 400 - lift})) << int(c.placement);
    }
}

// A balloon of 100 x 60 (stem inset 15, lift 17) whose stem tip lies at `tip`,
// measured for the automatic placement, on a 1024 x 738 work area.
PixelRect MeasuredAt(BalloonLayout& layout, PixelPoint tip) {
    layout = {};
    layout.StemHeight = layout.StemWidth = 16;
    layout.StemInset = 15;
    layout.RaiseHeight = 17;
    return Offset({0, 0, 100, 60}, tip.x - 85, tip.y);
}

TEST(BalloonPlacement, AutomaticChoiceByScreenQuarter) {
    const PixelRect wa{0, 0, 1024, 738};
    struct Case {
        PixelPoint tip;
        BalloonPosition expected;
    } cases[] = {
        {{300, 200}, Pos::LeftUp},     {{700, 200}, Pos::RightUp},    {{300, 500}, Pos::LeftDown},
        {{700, 500}, Pos::RightDown},  {{511, 368}, Pos::LeftUp},     {{512, 369}, Pos::RightDown},
    };
    for (const Case& c : cases) {
        BalloonLayout layout;
        PixelRect r = MeasuredAt(layout, c.tip);
        layout.PickAutoPosition(r, wa);
        EXPECT_EQ(layout.Placement, c.expected) << c.tip.x << "," << c.tip.y;
        EXPECT_EQ(layout.StemPoint(r).x, c.tip.x) << "the rectangle moved with its placement";
    }
}

TEST(BalloonPlacement, FitToWorkAreaFlipsWhatDoesNotFit) {
    struct Case {
        const char* what;
        PixelRect workArea;
        PixelPoint tip;
        BalloonPosition start;  // Auto: chosen by quarter first
        BalloonPosition expected;
    } cases[] = {
        {"fits: stays", {0, 0, 1024, 738}, {700, 400}, Pos::RightDown, Pos::RightDown},
        {"1: below the bottom flips up", {0, 0, 1024, 738}, {300, 700}, Pos::LeftDown, Pos::LeftUp},
        {"1: compared with the height, not the bottom edge", {0, 100, 1024, 738}, {300, 600}, Pos::LeftDown,
         Pos::LeftUp},
        {"2: past the right flips left", {0, 0, 1024, 738}, {1000, 300}, Pos::RightDown, Pos::LeftDown},
        {"2: compared with the width, not the right edge", {100, 0, 1024, 738}, {900, 300}, Pos::RightUp, Pos::LeftUp},
        {"3: past the left flips right", {0, 0, 1024, 738}, {40, 300}, Pos::LeftDown, Pos::RightDown},
        {"4: above the top flips down", {0, 0, 1024, 738}, {600, 30}, Pos::RightUp, Pos::RightDown},
        {"auto, upper-left corner: left-up, then right and down", {0, 0, 1024, 738}, {40, 30}, Pos::Auto,
         Pos::RightDown},
        {"auto, upper-left quarter fits below only", {0, 0, 1024, 738}, {300, 50}, Pos::Auto, Pos::LeftDown},
        {"auto, lower-right corner: right-down, then up and left", {0, 0, 1024, 738}, {1000, 720}, Pos::Auto,
         Pos::LeftUp},
        {"two flips in one pass, all tested on the entry rectangle", {0, 0, 1024, 738}, {40, 700}, Pos::LeftDown,
         Pos::RightUp},
    };
    for (const Case& c : cases) {
        BalloonLayout layout;
        PixelRect r = MeasuredAt(layout, c.tip);
        if (c.start != Pos::Auto)
            layout.SetPlacement(c.start, r);
        layout.FitToWorkArea(r, c.workArea);
        EXPECT_EQ(layout.Placement, c.expected) << c.what;
        const int lift = IsDown(c.expected) ? 0 : 17;
        EXPECT_EQ(layout.StemPoint(r), (PixelPoint{c.tip.x, c.tip.y - lift})) << c.what;
        EXPECT_EQ(r.right - r.left, 100) << c.what;
        EXPECT_EQ(r.bottom - r.top, 60) << c.what;
    }
}

TEST(BalloonPlacement, DesktopClampMovesOntoTheDesktopByItsEdges) {
    using toolkit::ScreenBox;
    struct Case {
        const char* what;
        ScreenBox box, desktop, expected;
    } cases[] = {
        {"inside", {10, 10, 110, 70}, {0, 0, 1024, 768}, {10, 10, 110, 70}},
        {"past the bottom", {10, 740, 110, 800}, {0, 0, 1024, 768}, {10, 708, 110, 768}},
        {"past the right", {1000, 10, 1100, 70}, {0, 0, 1024, 768}, {924, 10, 1024, 70}},
        {"past the left", {-30, 10, 70, 70}, {0, 0, 1024, 768}, {0, 10, 100, 70}},
        {"past the top", {10, -5, 110, 55}, {0, 0, 1024, 768}, {10, 0, 110, 60}},
        {"past the corner", {990, 750, 1090, 810}, {0, 0, 1024, 768}, {924, 708, 1024, 768}},
        {"monitor left of the primary: the right edge counts", {1000, 10, 1100, 70}, {-1280, 0, 1024, 768},
         {924, 10, 1024, 70}},
        {"monitor above: the bottom edge counts", {10, 740, 110, 800}, {0, -1024, 1280, 768}, {10, 708, 110, 768}},
        {"larger than the desktop keeps its top-left on it", {-5, -5, 1100, 900}, {0, 0, 1024, 768},
         {0, 0, 1105, 905}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toolkit::ClampToDesktop(c.box, c.desktop), c.expected) << c.what;
}

TEST(BalloonShapeTest, TriangleAndRoundedBodyForEachPlacement) {
    struct Case {
        BalloonPosition placement;
        PixelPoint a, b, c;
        PixelRect body;
    } cases[] = {
        // W 200, H 100, stem height 16, width 16, inset 15.
        {Pos::Auto, {184, 0}, {184, 17}, {167, 17}, {1, 17, 200, 97}},
        {Pos::LeftDown, {184, 0}, {184, 17}, {167, 17}, {1, 17, 200, 97}},
        {Pos::RightDown, {16, 0}, {16, 17}, {33, 17}, {1, 17, 200, 97}},
        {Pos::LeftUp, {184, 101}, {184, 83}, {167, 83}, {1, 1, 200, 84}},
        {Pos::RightUp, {16, 100}, {16, 83}, {33, 83}, {1, 1, 200, 84}},
    };
    for (const Case& c : cases) {
        BalloonLayout layout;
        layout.StemHeight = layout.StemWidth = 16;
        layout.StemInset = 15;
        layout.Placement = c.placement;
        const BalloonShape s = layout.Shape(200, 100);
        EXPECT_EQ(s.triangle[0], c.a) << int(c.placement);
        EXPECT_EQ(s.triangle[1], c.b) << int(c.placement);
        EXPECT_EQ(s.triangle[2], c.c) << int(c.placement);
        EXPECT_EQ(s.body, c.body) << int(c.placement);
    }
}

TEST(BalloonCloseButton, RectangleAtTheTopRightOfTheBody) {
    EXPECT_EQ(CloseButtonRect(300, 16, false), (PixelRect{278, 21, 294, 37}));
    EXPECT_EQ(CloseButtonRect(300, 16, true), (PixelRect{277, 20, 294, 37}));
    EXPECT_EQ(CloseButtonRect(250, 0, false), (PixelRect{228, 5, 244, 21}));
}

TEST(BalloonCloseButton, StatesThroughPressMoveAndRelease) {
    using S = CloseButtonStates;
    // i/o: move inside/outside; P/p: press inside/outside; R/r: release inside/outside.
    struct Case {
        const char* events;
        unsigned drawn;
        bool hides;
    } cases[] = {
        {"i", S::kTransparent | S::kHot, false},
        {"io", S::kTransparent, false},
        {"iPR", S::kTransparent | S::kHot, true},
        {"iPio", S::kTransparent, false},
        {"iPor", S::kTransparent, false},            // pressed, moved off, released: stays
        {"iPoiR", S::kTransparent | S::kHot, false},  // back on it, but the press was dropped
        {"ipr", S::kTransparent | S::kHot, false},
        {"iPiR", S::kTransparent | S::kHot, true},
    };
    for (const Case& c : cases) {
        S states;
        states.Paint(S::kTransparent);
        bool hides = false;
        for (const char* e = c.events; *e; ++e) {
            const bool inside = *e == 'i' || *e == 'P' || *e == 'R';
            switch (*e) {
            case 'i':
            case 'o':
                states.Paint(states.Move(inside));
                break;
            case 'P':
            case 'p':
                if (unsigned s = states.Press(inside))
                    states.Paint(s);
                break;
            case 'R':
            case 'r':
                if (states.ReleaseEndsPress()) {
                    states.Paint(states.Release());
                    hides = hides || inside;
                }
                break;
            }
        }
        EXPECT_EQ(states.Drawn(), c.drawn) << c.events;
        EXPECT_EQ(hides, c.hides) << c.events;
    }
    S states;
    EXPECT_TRUE(states.Paint(S::kTransparent));
    EXPECT_FALSE(states.Paint(S::kTransparent)) << "an unchanged state is not drawn again";
}

TEST(BalloonEffect, ShowEffectAndItsAnimationFlags) {
    EXPECT_EQ(ChooseShowEffect(false, true, Anim::Center, true, true), Anim::None);
    EXPECT_EQ(ChooseShowEffect(true, true, Anim::Center, false, false), Anim::Center);
    EXPECT_EQ(ChooseShowEffect(true, false, Anim::Center, false, true), Anim::None);
    EXPECT_EQ(ChooseShowEffect(true, false, Anim::Center, true, true), Anim::Blend);
    EXPECT_EQ(ChooseShowEffect(true, false, Anim::Center, true, false), Anim::Slide);
    struct Case {
        AnimationStyle effect;
        BalloonPosition placement;
        unsigned flags;
    } cases[] = {
        {Anim::None, Pos::LeftDown, 0}, {Anim::Slide, Pos::LeftDown, 0x40004},
        {Anim::Slide, Pos::RightUp, 0x40008}, {Anim::Roll, Pos::RightDown, 0x4},
        {Anim::Roll, Pos::LeftUp, 0x8}, {Anim::RollHorNeg, Pos::LeftUp, 0x2},
        {Anim::RollHorPos, Pos::LeftUp, 0x1}, {Anim::RollVerNeg, Pos::LeftDown, 0x8},
        {Anim::RollVerPos, Pos::LeftUp, 0x4}, {Anim::SlideHorNeg, Pos::LeftUp, 0x40002},
        {Anim::SlideHorPos, Pos::LeftUp, 0x40001}, {Anim::SlideVerNeg, Pos::LeftDown, 0x40008},
        {Anim::SlideVerPos, Pos::LeftUp, 0x40004}, {Anim::Center, Pos::LeftUp, 0x10},
        {Anim::Blend, Pos::LeftUp, 0x80000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnimationFlags(c.effect, c.placement), c.flags) << int(c.effect) << "/" << int(c.placement);
}

TEST(BalloonSoundScheme, KeysPerIconKindAndValuesThatNeverFail) {
    EXPECT_EQ(SoundSchemeKey(IconKind::None), "AppEvents\\Schemes\\Apps\\.Default\\SystemNotification\\.Current");
    EXPECT_EQ(SoundSchemeKey(IconKind::Custom), SoundSchemeKey(IconKind::Application));
    EXPECT_EQ(SoundSchemeKey(IconKind::Error), "AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current");
    EXPECT_EQ(SoundSchemeKey(IconKind::Information), "AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current");
    EXPECT_EQ(SoundSchemeKey(IconKind::Question), "AppEvents\\Schemes\\Apps\\.Default\\SystemQuestion\\.Current");
    EXPECT_EQ(SoundSchemeKey(IconKind::Warning), "AppEvents\\Schemes\\Apps\\.Default\\SystemExclamation\\.Current");
    struct Case {
        unsigned long type;
        std::string bytes, text;
    } cases[] = {
        {1, std::string("C:\\ding.wav\0", 12), "C:\\ding.wav"},
        {2, std::string("%SystemRoot%\\x.wav\0", 19), "%SystemRoot%\\x.wav"},
        {1, "no terminator", "no terminator"},
        {1, std::string("a\0b\0", 4), "a"},
        {1, "", ""},
        {4, std::string("\1\0\0\0", 4), ""},  // a number
        {3, "\xFF\xFE", ""},                 // binary
        {7, std::string("a\0b\0\0", 5), ""},  // a list
    };
    for (const Case& c : cases)
        EXPECT_EQ(SoundValueText(c.type, c.bytes), c.text) << c.type;
}

}  // namespace
