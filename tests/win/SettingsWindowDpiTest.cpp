// The real settings window at the DPI its prefix runs at (the test runs at 96,
// 144 and 192): every rectangle, the font, the caption button by a real click,
// and WM_DPICHANGED sent in process, since Wine cannot move a window to a
// monitor of another scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "PointerInput.h"
#include "Screenshot.h"
#include "SettingsWindowFixture.h"
#include "toolkit/Dpi.h"
#include "toolkit/DpiScale.h"
#include "ui/balloon/BalloonWindow.h"
#include "ui/caption/CaptionButtonPress.h"

namespace {
using app::SettingsWindow;
using settings_window_test::ClickAt;
using settings_window_test::PumpFor;
using settings_window_test::SettingsWindowFixture;
using toolkit::Bounds;
using toolkit::ScaleBounds;
using toolkit::ScaleForDpi;

// The DPI the harness set in the prefix (none: 96).
int PrefixDpi() {
    const char* value = std::getenv("TAVRIN_WINE_DPI");
    return value && *value ? std::atoi(value) : 96;
}

struct Placed {
    const char* name;
    toolkit::Control& control;
    Bounds designed;
};

std::vector<Placed> LayoutOf(SettingsWindow& f) {
    return {{"startupGroup", f.startupGroup, {0, 0, 235, 41}},
            {"autostartBox", f.autostartBox, {8, 16, 217, 17}},
            {"controlGroup", f.controlGroup, {0, 41, 235, 112}},
            {"intelligentModeBox", f.intelligentModeBox, {8, 57, 129, 17}},
            {"addButton", f.addButton, {8, 113, 75, 25}},
            {"removeButton", f.removeButton, {144, 113, 75, 25}}};
}

Bounds ClientBoundsOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE TextSize(HDC dc, HFONT font, const std::string& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    SelectObject(dc, old);
    return s;
}

// Everything the window shows, checked for `dpi`.
void ExpectLaidOutFor(SettingsWindow& f, int dpi) {
    SCOPED_TRACE("laid out for " + std::to_string(dpi) + " DPI");
    EXPECT_EQ(f.Dpi(), dpi);
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, ScaleForDpi(235, dpi));
    EXPECT_EQ(client.bottom, ScaleForDpi(153, dpi));
    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(f.Font(), sizeof font, &font));
    // The designed height scaled, or up to two pixels less where the face
    // comes out wider than in proportion.
    EXPECT_GE(font.lfHeight, ScaleForDpi(-11, dpi));
    EXPECT_LE(font.lfHeight, dpi == 96 ? -11 : ScaleForDpi(-11, dpi) + 2);
    for (const Placed& p : LayoutOf(f)) {
        EXPECT_EQ(ClientBoundsOf(p.control.Handle()), ScaleBounds(p.designed, dpi)) << p.name;
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(p.control.Handle(), WM_GETFONT, 0, 0)), f.Font()) << p.name;
    }
    // The combo box: its place, and a drop-down of eight items of the scaled height.
    const Bounds list = ClientBoundsOf(f.programList.Handle());
    EXPECT_EQ(list.left, ScaleForDpi(8, dpi));
    EXPECT_EQ(list.top, ScaleForDpi(81, dpi));
    EXPECT_EQ(list.width, ScaleForDpi(217, dpi));
    // Its items are as tall as the scaled font's lines (at least), and the
    // drop-down still shows eight of them.
    const auto itemHeight = static_cast<int>(SendMessageA(f.programList.Handle(), CB_GETITEMHEIGHT, 0, 0));
    HDC dc = GetDC(f.Handle());
    HGDIOBJ old = SelectObject(dc, f.Font());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(f.Handle(), dc);
    EXPECT_GE(itemHeight, tm.tmHeight);
    RECT dropped{};
    SendMessageA(f.programList.Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GE(dropped.bottom - dropped.top - list.height, 8 * itemHeight);
    EXPECT_EQ(SendMessageA(f.programList.Handle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(f.Font()));
    // The caption button, from the right outer edge, scaled.
    RECT window;
    GetWindowRect(f.Handle(), &window);
    EXPECT_EQ(f.helpButton.ButtonBounds(),
              ui::CaptionButtonBoundsForDpi(window.right - window.left, 40, 6, 16, 14, dpi));
}

class SettingsWindowDpi : public SettingsWindowFixture {};

TEST_F(SettingsWindowDpi, EverySizeIsTheDesignedOneScaledForThePrefixDpi) {
    const int dpi = PrefixDpi();
    // The harness's prefix really runs at that DPI, or nothing here means anything.
    ASSERT_EQ(toolkit::SystemDpi(), dpi);
    SettingsWindow& f = StartShown();
    ExpectLaidOutFor(f, dpi);
    // Centred by its scaled size.
    RECT window;
    GetWindowRect(f.Handle(), &window);
    EXPECT_LE(std::abs(window.left + window.right - GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs(window.top + window.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);
    settings_window_test::SaveScreenshot(f.Handle(), "settings-window-dpi-" + std::to_string(dpi));
}

// What a control's text needs beyond its width (negative: room to spare), at
// 96 DPI with the designed font and width, and at the prefix's DPI in the
// real window: scaled, the text fits at least as well as at 96.
TEST_F(SettingsWindowDpi, TextThatFitsAt96FitsAtThePrefixDpi) {
    const int dpi = PrefixDpi();
    SettingsWindow& f = StartShown();
    HDC dc = GetDC(f.Handle());
    toolkit::UniqueGdi<HFONT> designedFont(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                       DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    // What the control's own drawing takes from its width: the check box's
    // glyph and gap, a button's edges, a group box's caption indents.
    auto room = [](const Placed& p, int at) {
        if (p.control.Handle() == nullptr)
            return 0;
        const std::string name = p.name;
        if (name.find("Box") != std::string::npos)
            return toolkit::SystemMetricForDpi(SM_CXMENUCHECK, at) + ScaleForDpi(4, at);
        if (name.find("Button") != std::string::npos)
            return ScaleForDpi(6, at);
        return ScaleForDpi(16, at);
    };
    for (const Placed& p : LayoutOf(f)) {
        const std::string text = p.control.Text();
        const int need96 = TextSize(dc, designedFont.get(), text).cx + room(p, 96) - p.designed.width;
        const SIZE s = TextSize(dc, f.Font(), text);
        const Bounds b = ClientBoundsOf(p.control.Handle());
        const int need = s.cx + room(p, dpi) - b.width;
        EXPECT_LE(need, std::max(0, ScaleForDpi(need96, dpi)) + 1) << text << ": " << need96 << " at 96; " << s.cx << "+" << room(p, dpi) << " in " << b.width << " t96 " << TextSize(dc, designedFont.get(), text).cx;
        EXPECT_LE(s.cy, b.height) << text;
    }
    ReleaseDC(f.Handle(), dc);
}

TEST_F(SettingsWindowDpi, AClickOnTheScaledCaptionButtonEntersHelpMode) {
    const int dpi = PrefixDpi();
    SettingsWindow& f = StartShown();
    RECT window;
    GetWindowRect(f.Handle(), &window);
    POINT clientTop{0, 0};
    ClientToScreen(f.Handle(), &clientTop);
    const ui::PixelRect b = f.helpButton.ButtonBounds();
    // Inside the caption bar.
    EXPECT_LE(b.bottom, clientTop.y - window.top);
    EXPECT_GT(b.top, 0);
    // Pressed near its far corner: at 96 DPI sizes that spot lies outside
    // the button, so only the scaled rectangle can take the click.
    ClickAt(window.left + b.right - 3, window.top + b.bottom - 3);
    EXPECT_EQ(f.autostartBox.Cursor(), toolkit::kHelpCursor);
    EXPECT_EQ(f.intelligentModeBox.Cursor(), toolkit::kHelpCursor);
    settings_window_test::SaveScreenshot(f.Handle(), "settings-window-dpi-" + std::to_string(dpi) + "-help-mode");
}

// The window dragged to a monitor of another scale: the system sends the new
// DPI and a rectangle; everything is laid out again, and going back restores
// every rectangle exactly.
TEST_F(SettingsWindowDpi, DpiChangedLaysEverythingOutAgainAndBack) {
    const int dpi = PrefixDpi();
    SettingsWindow& f = StartShown();
    RECT before;
    GetWindowRect(f.Handle(), &before);
    std::vector<Bounds> original;
    for (const Placed& p : LayoutOf(f))
        original.push_back(ClientBoundsOf(p.control.Handle()));
    RECT client;
    GetClientRect(f.Handle(), &client);
    // Wine keeps the frame of the real DPI: the rectangle sent is the new
    // client size plus the frame the window has now.
    const int frameWidth = (before.right - before.left) - client.right;
    const int frameHeight = (before.bottom - before.top) - client.bottom;
    for (int target : {96, 120, 144, 192, 288, dpi}) {
        RECT suggested{50, 40, 50 + ScaleForDpi(235, target) + frameWidth,
                       40 + ScaleForDpi(153, target) + frameHeight};
        SendMessageA(f.Handle(), WM_DPICHANGED, MAKEWPARAM(target, target), reinterpret_cast<LPARAM>(&suggested));
        PumpFor(50);
        RECT now;
        GetWindowRect(f.Handle(), &now);
        EXPECT_EQ(now.left, 50);
        EXPECT_EQ(now.top, 40);
        ExpectLaidOutFor(f, target);
        if (target == 192)
            settings_window_test::SaveScreenshot(f.Handle(), "settings-window-dpichanged-" + std::to_string(dpi) +
                                                                 "-to-192");
    }
    std::vector<Bounds> restored;
    for (const Placed& p : LayoutOf(f))
        restored.push_back(ClientBoundsOf(p.control.Handle()));
    EXPECT_EQ(restored, original);
}

// A help balloon on a box: fonts made for the DPI, and every margin, the
// stem and the close button scaled.
TEST_F(SettingsWindowDpi, AHelpBalloonIsMeasuredAndDrawnForThePrefixDpi) {
    const int dpi = PrefixDpi();
    SettingsWindow& f = StartShown();
    f.helpBalloon.ShowBalloon(&f.autostartBox, "X", "Indítás", 10000);
    PumpFor(300);
    ui::HelpBalloonWindow& w = f.helpBalloon.Window();
    ASSERT_TRUE(w.Visible());
    EXPECT_EQ(w.Dpi(), dpi);
    NONCLIENTMETRICSW metrics{};
    ASSERT_TRUE(toolkit::NonClientMetricsForDpi(metrics, dpi));
    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(w.HintFont(false), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, metrics.lfStatusFont.lfHeight);
    auto lineHeight = [&](bool bold) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, w.HintFont(bold));
        RECT r{0, 0, 1000, 0};
        DrawTextA(dc, "X", 1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return static_cast<int>(r.bottom);
    };
    // Heading row (bold line and margin, at least the close button), the
    // message line, the stem of a balloon with a heading, the bottom margin.
    const int expectedHeight = std::max(lineHeight(true) + ScaleForDpi(11, dpi), ScaleForDpi(20, dpi)) +
                               lineHeight(false) + ScaleForDpi(16, dpi) + ScaleForDpi(13, dpi);
    const RECT r = w.BoundsRect();
    EXPECT_EQ(r.bottom - r.top, expectedHeight);
    EXPECT_EQ(w.Layout.StemHeight, ScaleForDpi(16, dpi));
    RECT client;
    GetClientRect(w.Handle(), &client);
    EXPECT_EQ(w.CloseButtonRect.right, client.right - ScaleForDpi(6, dpi));
    EXPECT_EQ(w.CloseButtonRect.bottom, w.Layout.ContentTop + ScaleForDpi(21, dpi));
    EXPECT_GE(w.CloseButtonRect.right - w.CloseButtonRect.left, ScaleForDpi(16, dpi));
    // The window and its balloon, for a look.
    RECT both = r, form;
    GetWindowRect(f.Handle(), &form);
    UnionRect(&both, &both, &form);
    HWND frame = CreateWindowExA(WS_EX_TRANSPARENT | WS_EX_LAYERED, "STATIC", "", WS_POPUP, both.left, both.top,
                                 both.right - both.left, both.bottom - both.top, nullptr, nullptr, nullptr, nullptr);
    settings_window_test::SaveScreenshot(frame, "settings-window-dpi-" + std::to_string(dpi) + "-balloon");
    DestroyWindow(frame);
}

}  // namespace
