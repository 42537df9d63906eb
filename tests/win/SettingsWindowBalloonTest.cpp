// Help balloons and control hints of the real settings window under Wine:
// shown, placed, followed, closed and timed as a user meets them, with real
// pointer input.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "SettingsWindowFixture.h"
#include "PointerInput.h"
#include "Screenshot.h"
#include "ui/balloon/BalloonController.h"

namespace {
using app::SettingsWindow;
using settings_window_test::ClickAt;
using settings_window_test::SettingsWindowFixture;
using settings_window_test::MouseButton;
using settings_window_test::MouseTo;
using settings_window_test::PumpFor;
using settings_window_test::PumpUntil;

RECT RectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

bool Visible(HWND hwnd) {
    return hwnd && IsWindowVisible(hwnd);
}

// The first line's height of the hint font, normal or bold.
int LineHeight(bool bold) {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    if (bold)
        m.lfStatusFont.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectA(&m.lfStatusFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 1000, 0};
    DrawTextA(dc, "X", 1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return r.bottom;
}

// Where the stem of a balloon window points, from its rectangle and placement.
POINT StemTipOf(const RECT& r, ui::BalloonPosition p, int inset) {
    const bool left = ui::IsLeft(p), down = ui::IsDown(p);
    return {left ? r.right - inset : r.left + inset, down ? r.top : r.bottom};
}

// Rows of `r` (window coordinates of `hwnd`) that hold text-coloured pixels.
int InkRows(HWND hwnd, const RECT& r) {
    HDC dc = GetWindowDC(hwnd);
    const COLORREF ink = GetSysColor(COLOR_INFOTEXT);
    int rows = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; x += 1)
            if (GetPixel(dc, x, y) == ink) {
                ++rows;
                break;
            }
    ReleaseDC(hwnd, dc);
    return rows;
}

// Rows of `r` that hold anything but the balloon's background.
int MarkedRows(HWND hwnd, const RECT& r) {
    HDC dc = GetWindowDC(hwnd);
    const COLORREF background = GetSysColor(COLOR_INFOBK);
    int rows = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetPixel(dc, x, y) != background) {
                ++rows;
                break;
            }
    ReleaseDC(hwnd, dc);
    return rows;
}

// A window of another thread taking the foreground deactivates this
// application, as switching to another program does.
void AnotherApplicationTakesTheForeground() {
    std::thread other([] {
        HWND w = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                 nullptr, nullptr);
        SetForegroundWindow(w);
        MSG msg;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 600) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
        DestroyWindow(w);
    });
    PumpFor(500);
    other.join();
}

class SettingsWindowBalloon : public SettingsWindowFixture {
protected:
    // Help mode, then a real click on the box.
    void HelpClick(SettingsWindow& f, toolkit::CheckBox& box) {
        f.EnterHelpMode();
        const POINT c = settings_window_test::CentreOf(box.Handle());
        ClickAt(c.x, c.y);
        PumpFor(100);
    }
    HWND Balloon(SettingsWindow& f) {
        return f.helpBalloon.Window().HandleAllocated() ? f.helpBalloon.Window().Handle() : nullptr;
    }
};

// First in the file: the controller lives for the process, and only a test
// that runs before any other balloon sees it before its first use.
TEST_F(SettingsWindowBalloon, IconsAndSoundsWaitForTheFirstBalloonThatNeedsThem) {
    using O = ui::BalloonOption;
    struct Step {
        const char* what;
        bool show;
        ui::BalloonOptions options;
        bool iconsMade;
        bool soundsRead;
    };
    const Step steps[] = {
        {"the window made", false, {}, false, false},
        {"a balloon without icon or sound", true, {O::ShowCloseButton}, false, false},
        {"a balloon with an icon", true, {O::ShowCloseButton, O::UseDefaultIcon}, true, false},
        {"a balloon with a sound", true, {O::UseDefaultIcon, O::PlaySound}, true, true},
    };
    SettingsWindow& f = StartShown();
    ui::BalloonController* ctrl = ui::BalloonController::Existing();
    ASSERT_NE(ctrl, nullptr) << "the window's hint makes the controller";
    f.helpBalloon.DefaultIcon = ui::IconKind::Warning;
    for (const Step& s : steps) {
        if (s.show) {
            f.helpBalloon.Options = s.options;
            f.helpBalloon.ShowBalloon(&f.intelligentModeBox, "text", "Indítás", 10000);
            PumpFor(100);
            EXPECT_TRUE(Visible(Balloon(f))) << s.what;
        }
        EXPECT_EQ(ctrl->IconListMade(), s.iconsMade) << s.what;
        EXPECT_EQ(ctrl->SoundFilesRead(), s.soundsRead) << s.what;
    }
    EXPECT_EQ(ImageList_GetImageCount(ctrl->IconList()), 5);
}

TEST_F(SettingsWindowBalloon, HelpClickOnEachBoxShowsItsBalloonOnTheBox) {
    struct Case {
        int box;
        POINT anchor;  // form client coordinates
        const char* text;
    } cases[] = {
        {1, {72, 74}, "Ha ki van pipálva, akkor a program, csak akkor mozgatja az egeret\r"
                      "ha azon programok valamelyike fut a gépen, amit megadtunk a listában."},
        {2, {116, 33}, "Ha ki van pipálva, akkor az\rop. rendszerrel egyszerre indul a program."},
    };
    for (const Case& c : cases) {
        SettingsWindow& f = StartShown();
        toolkit::CheckBox& box = c.box == 1 ? f.intelligentModeBox : f.autostartBox;
        const bool checked = box.Checked();
        HelpClick(f, box);
        const std::string what = "CheckBox" + std::to_string(c.box);
        HWND balloon = Balloon(f);
        ASSERT_TRUE(Visible(balloon)) << what;
        EXPECT_EQ(box.Checked(), checked) << what;

        // The window: its own class, topmost, the form keeps the activation.
        EXPECT_EQ(FindWindowA("TBalloonWindowEx", nullptr), balloon) << what;
        EXPECT_TRUE(GetWindowLongA(balloon, GWL_EXSTYLE) & WS_EX_TOPMOST) << what;
        EXPECT_EQ(GetActiveWindow(), f.Handle()) << what;
        EXPECT_NE(GetForegroundWindow(), balloon) << what;

        // The stem: on the bottom centre of the box, or on its top edge when
        // the balloon opens upward.
        ui::HelpBalloonWindow& w = f.helpBalloon.Window();
        const RECT r = RectOf(balloon);
        POINT expected = c.anchor;
        if (!ui::IsDown(w.Layout.Placement))
            expected.y -= 17;
        ClientToScreen(f.Handle(), &expected);
        const POINT tip = StemTipOf(r, w.Layout.Placement, 15);
        EXPECT_EQ(tip.x, expected.x) << what;
        EXPECT_EQ(tip.y, expected.y) << what;
        EXPECT_EQ(f.helpBalloon.Request().RaiseHeight, 17) << what;

        // Heading, two lines of message, close button: the measured height.
        EXPECT_EQ(w.HeadingText, "Indítás");
        EXPECT_EQ(w.MessageText, c.text);
        EXPECT_TRUE(w.CloseButtonShown);
        const int heading = std::max(LineHeight(true) + 11, 20);
        EXPECT_EQ(r.bottom - r.top, heading + 2 * LineHeight(false) + 29) << what << ": not two lines of message";

        // Painted: the tooltip colour in the body, the two lines in ink, a close glyph.
        const int top = w.Layout.ContentTop + 1;
        HDC dc = GetWindowDC(balloon);
        EXPECT_EQ(GetPixel(dc, 6, top + 20), GetSysColor(COLOR_INFOBK)) << what;
        ReleaseDC(balloon, dc);
        const int line = LineHeight(false);
        const int textTop = top + w.Layout.TextTop;
        EXPECT_GT(InkRows(balloon, {13, textTop, 120, textTop + line}), 3) << what << ": first line";
        EXPECT_GT(InkRows(balloon, {13, textTop + line, 120, textTop + 2 * line}), 3) << what << ": second line";
        const ui::PixelRect& b = w.CloseButtonRect;
        EXPECT_GT(MarkedRows(balloon, {b.left + 1, b.top + 1, b.right + 1, b.bottom + 1}), 3)
            << what << ": close glyph";
        settings_window_test::SaveScreenshot(balloon, "balloon-help-" + what);
        form.reset();
        EXPECT_FALSE(IsWindow(balloon)) << what << ": the balloon outlived its form";
    }
}

TEST_F(SettingsWindowBalloon, HidesAfterTenSecondsAndAnotherHelpClickStartsAFreshTen) {
    SettingsWindow& f = StartShown();
    HelpClick(f, f.intelligentModeBox);
    HWND balloon = Balloon(f);
    ASSERT_TRUE(Visible(balloon));
    const UINT_PTR first = f.helpBalloon.CloseTimerId();
    EXPECT_NE(first, 0u);
    PumpFor(5000);
    ASSERT_TRUE(Visible(balloon));
    const DWORD second = GetTickCount();
    HelpClick(f, f.autostartBox);
    ASSERT_TRUE(Visible(balloon));
    EXPECT_EQ(f.helpBalloon.Window().MessageText.substr(0, 27), "Ha ki van pipálva, akkor az");
    PumpFor(7000);
    EXPECT_TRUE(Visible(balloon)) << "hidden by the first balloon's timer";
    EXPECT_TRUE(PumpUntil([&] { return !Visible(balloon); }, 5000));
    const DWORD shown = GetTickCount() - second;
    EXPECT_GE(shown, 9800u);
    EXPECT_LE(shown, 11500u);
    EXPECT_EQ(f.helpBalloon.CloseTimerId(), 0u);
    EXPECT_FALSE(f.helpBalloon.BalloonShown());
}

TEST_F(SettingsWindowBalloon, FollowsTheMovedWindowAndHidesWithIt) {
    SettingsWindow& f = StartShown();
    HelpClick(f, f.intelligentModeBox);
    HWND balloon = Balloon(f);
    ASSERT_TRUE(Visible(balloon));
    const RECT before = RectOf(balloon), form = RectOf(f.Handle());
    SetWindowPos(f.Handle(), nullptr, form.left - 40, form.top + 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpFor(100);
    const RECT after = RectOf(balloon);
    EXPECT_EQ(after.left, before.left - 40);
    EXPECT_EQ(after.top, before.top + 25);
    EXPECT_TRUE(Visible(balloon));

    // Carried to the screen's edge it would leave the screen: it is placed
    // afresh on the box instead, flipped to fit.
    struct Edge {
        const char* what;
        int x, y;  // the window's new top-left
    } edges[] = {{"left edge", 0, 300}, {"top-left corner", 0, 0}, {"right edge", 1024 - 241, 300},
                 {"bottom-right corner", 1024 - 241, GetSystemMetrics(SM_CYSCREEN) - 180}};
    for (const Edge& e : edges) {
        SetWindowPos(f.Handle(), nullptr, e.x, e.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PumpFor(100);
        const RECT r = RectOf(balloon);
        EXPECT_GE(r.left, 0) << e.what;
        EXPECT_GE(r.top, 0) << e.what;
        EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN)) << e.what;
        EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN)) << e.what;
        const ui::BalloonPosition p = f.helpBalloon.Window().Layout.Placement;
        POINT expected{72, ui::IsDown(p) ? 74 : 74 - 17};
        ClientToScreen(f.Handle(), &expected);
        const POINT tip = StemTipOf(r, p, 15);
        EXPECT_EQ(tip.x, expected.x) << e.what;
        EXPECT_EQ(tip.y, expected.y) << e.what;
        EXPECT_TRUE(Visible(balloon)) << e.what;
    }

    f.Close();  // the close request hides the window
    PumpFor(200);
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(Visible(balloon));
    EXPECT_FALSE(f.helpBalloon.BalloonShown());
    EXPECT_EQ(f.helpBalloon.CloseTimerId(), 0u);
}

TEST_F(SettingsWindowBalloon, ResizingHidesItOnlyWhenTheStemLeavesTheWindow) {
    SettingsWindow& f = StartShown();
    HelpClick(f, f.intelligentModeBox);
    HWND balloon = Balloon(f);
    ASSERT_TRUE(Visible(balloon));
    const RECT r = RectOf(f.Handle());
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(f.Handle(), nullptr, 0, 0, w + 30, h + 20, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    EXPECT_TRUE(Visible(balloon)) << "the stem is still on the window";
    SetWindowPos(f.Handle(), nullptr, 0, 0, w, 60, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    EXPECT_FALSE(Visible(balloon)) << "the stem points below the shrunk window";
    EXPECT_FALSE(f.helpBalloon.BalloonShown());
}

TEST_F(SettingsWindowBalloon, CloseButtonHidesOnlyOnAPressAndReleaseOnIt) {
    SettingsWindow& f = StartShown();
    HelpClick(f, f.intelligentModeBox);
    HWND balloon = Balloon(f);
    ASSERT_TRUE(Visible(balloon));
    const ui::PixelRect& b = f.helpBalloon.Window().CloseButtonRect;
    POINT on{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    ClientToScreen(balloon, &on);
    const ui::CloseButtonStates& states = f.helpBalloon.Window().CloseButton;

    MouseTo(on.x, on.y);
    EXPECT_EQ(states.Drawn(), ui::CloseButtonStates::kTransparent | ui::CloseButtonStates::kHot);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(states.Drawn() & ui::CloseButtonStates::kPushed);
    EXPECT_EQ(GetCapture(), balloon);
    settings_window_test::SaveScreenshot(balloon, "balloon-close-pressed");
    MouseTo(on.x - 60, on.y + 30);
    MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Visible(balloon)) << "released off the button";
    EXPECT_NE(GetCapture(), balloon) << "the balloon kept the mouse";

    MouseTo(on.x, on.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(Visible(balloon));
    EXPECT_FALSE(f.helpBalloon.BalloonShown());
    EXPECT_NE(GetCapture(), balloon);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsWindowBalloon, SwitchingToAnotherApplicationHidesIt) {
    SettingsWindow& f = StartShown();
    HelpClick(f, f.autostartBox);
    HWND balloon = Balloon(f);
    ASSERT_TRUE(Visible(balloon));
    AnotherApplicationTakesTheForeground();
    EXPECT_FALSE(Visible(balloon));
    EXPECT_FALSE(f.helpBalloon.BalloonShown());
}

TEST_F(SettingsWindowBalloon, AControlHintShowsAfterRestingAndHidesLater) {
    SettingsWindow& f = StartShown();
    // Off the window first, for longer than any pause.
    MouseTo(2, 2);
    PumpFor(800);
    const RECT box = RectOf(f.autostartBox.Handle());
    SetCursorPos(box.left + 30, box.top + 8);
    const DWORD rest = GetTickCount();
    PumpFor(60);
    MouseTo(box.left + 40, box.top + 9);
    auto hint = [] { return FindWindowA("TBalloonWindow", nullptr); };
    ASSERT_TRUE(PumpUntil([&] { return Visible(hint()); }, 2000)) << "no control hint";
    const DWORD appeared = GetTickCount() - rest;
    EXPECT_GE(appeared, 450u);
    EXPECT_LE(appeared, 900u);
    HWND h = hint();
    settings_window_test::SaveScreenshot(h, "balloon-control-hint");
    auto* w = static_cast<ui::BalloonWindow*>(toolkit::Application::Instance().Hints().Window());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->MessageText, "Automatikus indítás");
    EXPECT_FALSE(w->HeadingVisible);
    EXPECT_FALSE(w->IconVisible);
    EXPECT_EQ(w->Layout.StemHeight, 8);
    EXPECT_EQ(w->Layout.StemInset, 16);
    // Four pixels taller than measured: a text line, its margins, the small stem.
    const RECT r = RectOf(h);
    EXPECT_EQ(r.bottom - r.top, LineHeight(false) + 30 + 4);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Pointing at the cursor: the stem's x is the cursor's.
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(StemTipOf(r, w->Layout.Placement, 16).x, cursor.x);
    // Clicks pass through it.
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.left + 20, r.top + 15)), HTTRANSPARENT);

    const DWORD shown = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return !Visible(h); }, 5000)) << "the hint stayed";
    const DWORD stayed = GetTickCount() - shown;
    EXPECT_GE(stayed, 2300u);
    EXPECT_LE(stayed, 3200u);
    PumpFor(1500);
    EXPECT_FALSE(Visible(h)) << "shown again while the pointer rests";

    // Moving on to intelligentModeBox shows its hint; a click hides it at once.
    const RECT box1 = RectOf(f.intelligentModeBox.Handle());
    MouseTo(box1.left + 60, box1.top + 8);
    ASSERT_TRUE(PumpUntil([&] { return Visible(hint()); }, 2000));
    EXPECT_EQ(w->MessageText, "Inteligens egér-vezérlő be/ki kapcsolása");
    f.EnterHelpMode();  // a help click: no setting changes
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_FALSE(Visible(h)) << "a press did not hide the hint";
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(1000);
    EXPECT_FALSE(Visible(h)) << "the hint came back over the help balloon";
    EXPECT_TRUE(Visible(Balloon(f)));
}

TEST_F(SettingsWindowBalloon, NoHintForADisabledButtonOrWindowAndNoneAfterSwitchingAway) {
    SettingsWindow& f = StartShown();
    f.addButton.SetEnabled(false);
    const RECT b = RectOf(f.addButton.Handle());
    MouseTo(b.left + 20, b.top + 10);
    MouseTo(b.left + 22, b.top + 11);
    PumpFor(1200);
    EXPECT_FALSE(Visible(FindWindowA("TBalloonWindow", nullptr)));
    // Nor over a window a dialog has disabled.
    f.addButton.SetEnabled(true);
    EnableWindow(f.Handle(), FALSE);
    MouseTo(b.left + 30, b.top + 12);
    PumpFor(1200);
    EXPECT_FALSE(Visible(FindWindowA("TBalloonWindow", nullptr)));
    EnableWindow(f.Handle(), TRUE);
    MouseTo(b.left + 30, b.top - 15);  // off the button, onto the list
    MouseTo(b.left + 40, b.top + 12);
    ASSERT_TRUE(PumpUntil([] { return Visible(FindWindowA("TBalloonWindow", nullptr)); }, 2000));
    // Switching to another program hides it at once.
    AnotherApplicationTakesTheForeground();
    EXPECT_FALSE(Visible(FindWindowA("TBalloonWindow", nullptr)));
}

TEST_F(SettingsWindowBalloon, ShowingLeavesTheMouseWithTheWindowThatHoldsIt) {
    SettingsWindow& f = StartShown();
    struct Case {
        const char* what;
        HWND holder;
    } cases[] = {{"nobody holds it", nullptr}, {"the form holds it", f.Handle()}};
    for (const Case& c : cases) {
        if (c.holder)
            SetCapture(c.holder);
        f.helpBalloon.ShowBalloon(&f.intelligentModeBox, "text", "Indítás", 10000);
        EXPECT_EQ(GetCapture(), c.holder) << c.what;
        EXPECT_TRUE(Visible(Balloon(f))) << c.what;
        ReleaseCapture();
    }
    f.helpBalloon.ShowBalloon(nullptr, "text", "Indítás", 10000);
    EXPECT_TRUE(f.helpBalloon.BalloonShown()) << "a missing control changed the balloon";
    f.helpBalloon.ShowBalloon(&f, "on the form", "", 0);
    EXPECT_EQ(f.helpBalloon.CloseTimerId(), 0u) << "no display time, no timer";
    RECT client;
    GetClientRect(f.Handle(), &client);
    const RECT outer = RectOf(f.Handle());
    EXPECT_EQ(f.helpBalloon.Request().RaiseHeight, outer.bottom - outer.top);
    f.helpBalloon.HideBalloon();
    EXPECT_FALSE(Visible(Balloon(f)));
}

// ---- The component and the controller ---------------------------------------------

TEST_F(SettingsWindowBalloon, OnlyTheHintInChargeTakesTheHintWindowsAndGivesThemBack) {
    toolkit::Application& app = toolkit::Application::Instance();
    const toolkit::HintWindowClass plain = toolkit::HintWindow::Class();
    ASSERT_EQ(app.GetHintWindowClass(), plain);
    {
        SettingsWindow& f = Start();
        EXPECT_EQ(app.GetHintWindowClass(), ui::BalloonWindow::Class());
        EXPECT_EQ(ui::BalloonController::Instance().Current(), &f.helpBalloon);
        {
            ui::BalloonHint later(nullptr, "Later");
            EXPECT_EQ(ui::BalloonController::Instance().Current(), &later);
            EXPECT_FALSE(f.helpBalloon.HintOptions().Has(ui::ApplicationHintOption::UseBalloonAsHint));
            EXPECT_EQ(app.GetHintWindowClass(), plain) << "the hint that lost charge kept the take-over";
            // The one no longer in charge is refused, and gives back nothing.
            f.helpBalloon.SetHintOptions({ui::ApplicationHintOption::UseBalloonAsHint});
            EXPECT_FALSE(f.helpBalloon.HintOptions().Has(ui::ApplicationHintOption::UseBalloonAsHint));
            EXPECT_EQ(app.GetHintWindowClass(), plain);
            later.SetHintOptions({ui::ApplicationHintOption::UseBalloonAsHint});
            EXPECT_EQ(app.GetHintWindowClass(), ui::BalloonWindow::Class());
        }
        EXPECT_EQ(app.GetHintWindowClass(), plain);
        EXPECT_EQ(ui::BalloonController::Instance().Current(), nullptr);
    }
    EXPECT_EQ(app.GetHintWindowClass(), plain);
}

TEST_F(SettingsWindowBalloon, ControllerHasTheSystemIconsAndReadsOddSoundSchemesSafely) {
    ui::BalloonController& ctrl = ui::BalloonController::Instance();
    EXPECT_EQ(ImageList_GetImageCount(ctrl.IconList()), 5);
    const char* base = "AppEvents\\Schemes\\Apps\\.Default\\";
    SetString((std::string(base) + "SystemHand\\.Current").c_str(), "", "C:\\sounds\\hand.wav");
    SetString((std::string(base) + "SystemAsterisk\\.Current").c_str(), "", "%WINDIR%\\ding.wav", REG_EXPAND_SZ);
    SetDword((std::string(base) + "SystemQuestion\\.Current").c_str(), "", 7);
    SetString((std::string(base) + "SystemExclamation\\.Current").c_str(), "", "C:\\" + std::string(5000, 'x'));
    ctrl.ReloadSoundFiles();
    char windir[MAX_PATH];
    GetEnvironmentVariableA("WINDIR", windir, MAX_PATH);
    EXPECT_EQ(ctrl.SoundFile(ui::IconKind::Error), "C:\\sounds\\hand.wav");
    EXPECT_EQ(ctrl.SoundFile(ui::IconKind::Information), std::string(windir) + "\\ding.wav");
    EXPECT_EQ(ctrl.SoundFile(ui::IconKind::Question), "") << "a number is no file name";
    EXPECT_EQ(ctrl.SoundFile(ui::IconKind::Warning), "") << "longer than the expansion buffer";
    EXPECT_EQ(ctrl.SoundFile(ui::IconKind::None), "") << "no key";
    ctrl.PlayIconSound(ui::IconKind::None);
    EXPECT_EQ(ctrl.IconSize(ui::IconKind::None, -1).cx, 0);
    EXPECT_EQ(ctrl.IconSize(ui::IconKind::Warning, -1).cy, 16);
    EXPECT_EQ(ctrl.IconSize(ui::IconKind::Custom, 3).cx, 16) << "no custom images: the information icon's size";
}

TEST_F(SettingsWindowBalloon, WithNoHintInChargeTheControllerMakesADefaultOne) {
    ui::BalloonController& ctrl = ui::BalloonController::Instance();
    ASSERT_EQ(ctrl.Current(), nullptr);
    ui::BalloonHint& hint = ctrl.ActiveBalloonHint();
    EXPECT_EQ(ctrl.Current(), &hint);
    EXPECT_EQ(&ctrl.ActiveBalloonHint(), &hint) << "made once";
    EXPECT_EQ(hint.DefaultIcon, ui::IconKind::Information);
    EXPECT_EQ(hint.Options, ui::BalloonOptions{ui::BalloonOption::ShowCloseButton});
    EXPECT_EQ(hint.HintOptions(), (ui::ApplicationHintOptions{ui::ApplicationHintOption::ShowHeaderInHint,
                                                              ui::ApplicationHintOption::ShowIconInHint}));
    EXPECT_EQ(toolkit::Application::Instance().GetHintWindowClass(), toolkit::HintWindow::Class());
    // A settings window's hint takes charge from it.
    SettingsWindow& f = Start();
    EXPECT_EQ(ctrl.Current(), &f.helpBalloon);
    EXPECT_EQ(toolkit::Application::Instance().GetHintWindowClass(), ui::BalloonWindow::Class());
}

}  // namespace
