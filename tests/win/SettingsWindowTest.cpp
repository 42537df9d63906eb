// The real settings window under Wine: layout, texts, keyboard, showing,
// hiding, help mode and the start state of the engine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsWindowFixture.h"
#include "Screenshot.h"

namespace {
using app::SettingsWindow;
using settings_window_test::SettingsWindowFixture;
using settings_window_test::Pump;
using settings_window_test::SaveScreenshot;

std::string TextOf(HWND hwnd) {
    char buffer[256] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

RECT ClientRectOf(HWND control, HWND form) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class SettingsWindowLayout : public SettingsWindowFixture {};

TEST_F(SettingsWindowLayout, StartsHiddenWithoutTaskbarButton) {
    SettingsWindow& f = Start();
    Pump();
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle()));
    EXPECT_FALSE(toolkit::Application::Instance().ShowMainForm);
    EXPECT_EQ(toolkit::Application::Instance().Title(), "Tavrin2");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SettingsWindowLayout, WindowHasDialogBorderCaptionAndClientSize) {
    SettingsWindow& f = Start();
    EXPECT_EQ(TextOf(f.Handle()), "Tavrin2");
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, 235);
    EXPECT_EQ(client.bottom, 153);
    const LONG_PTR style = GetWindowLongPtrA(f.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(f.Handle(), GW_OWNER), toolkit::Application::Instance().Handle());
}

TEST_F(SettingsWindowLayout, ControlsStandWhereTheLayoutPutsThemWithTheirTexts) {
    SettingsWindow& f = Start();
    struct Expected {
        HWND hwnd;
        RECT rect;
        const char* text;
    };
    const Expected controls[] = {
        {f.startupGroup.Handle(), {0, 0, 235, 41}, "Indítás"},
        {f.autostartBox.Handle(), {8, 16, 225, 33}, "Automaikus indítás a windows indításakor"},
        {f.controlGroup.Handle(), {0, 41, 235, 153}, "Vezérlő"},
        {f.intelligentModeBox.Handle(), {8, 57, 137, 74}, "Inteligens egér-vezérlő"},
        {f.addButton.Handle(), {8, 113, 83, 138}, "Hozzáad"},
        {f.removeButton.Handle(), {144, 113, 219, 138}, "Töröl"},
    };
    for (const Expected& c : controls) {
        const RECT r = ClientRectOf(c.hwnd, f.Handle());
        EXPECT_EQ(r.left, c.rect.left) << c.text;
        EXPECT_EQ(r.top, c.rect.top) << c.text;
        EXPECT_EQ(r.right, c.rect.right) << c.text;
        EXPECT_EQ(r.bottom, c.rect.bottom) << c.text;
        EXPECT_EQ(TextOf(c.hwnd), c.text);
        EXPECT_TRUE(IsWindowEnabled(c.hwnd)) << c.text;
    }
    const RECT combo = ClientRectOf(f.programList.Handle(), f.Handle());
    EXPECT_EQ(combo.left, 8);
    EXPECT_EQ(combo.top, 81);
    EXPECT_EQ(combo.right, 225);
    EXPECT_EQ(f.programList.Text(), "Programok listája");
    EXPECT_FALSE(f.intelligentModeBox.Checked());
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(f.intelligentModeBox.Hint, "Inteligens egér-vezérlő be/ki kapcsolása");
    EXPECT_EQ(f.autostartBox.Hint, "Automatikus indítás");
    EXPECT_EQ(f.addButton.Hint, "Program hozzáadása a listához");
    EXPECT_EQ(f.removeButton.Hint, "Program törlése a listáról");
}

TEST_F(SettingsWindowLayout, TabOrderRunsThroughTheSecondGroupFirst) {
    SettingsWindow& f = Start();
    f.ShowSettings();
    Pump();
    const HWND expected[] = {f.intelligentModeBox.Handle(), f.programList.Handle(), f.addButton.Handle(),
                             f.removeButton.Handle(), f.autostartBox.Handle()};
    HWND item = GetNextDlgTabItem(f.Handle(), nullptr, FALSE);
    for (HWND want : expected) {
        EXPECT_EQ(item, want);
        item = GetNextDlgTabItem(f.Handle(), item, FALSE);
    }
    EXPECT_EQ(item, expected[0]);  // and round again
}

TEST_F(SettingsWindowLayout, KeyboardMovesFocusTogglesCheckBoxesAndPressesButtons) {
    SettingsWindow& f = Start();
    f.ShowSettings();
    Pump();
    SetFocus(f.intelligentModeBox.Handle());
    // Shift+Tab from the first control goes round to the last.
    PostMessageA(f.intelligentModeBox.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(f.intelligentModeBox.Handle(), WM_KEYUP, VK_SPACE, 0xC0000000);
    Pump();
    EXPECT_TRUE(f.intelligentModeBox.Checked()) << "Space did not toggle the focused check box";
    EXPECT_EQ(Value(settings_window_test::kSettingsKey, "Inteligens").second, Dword(1)) << "its handler did not store";

    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(GetFocus() == f.programList.Handle() || IsChild(f.programList.Handle(), GetFocus()));

    f.programList.SetText("nincs ilyen");
    SetFocus(f.removeButton.Handle());
    PostMessageA(f.removeButton.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(f.programList.Text(), "Programok listája") << "Enter on the focused button did not press it";
}

TEST_F(SettingsWindowLayout, CloseHidesAndShowingAgainKeepsThePlace) {
    SettingsWindow& f = Start();
    f.ShowSettings();
    Pump();
    ASSERT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_TRUE(IsWindowVisible(toolkit::Application::Instance().Handle())) << "no taskbar button while shown";
    RECT r;
    GetWindowRect(f.Handle(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 1);
    SaveScreenshot(f.Handle(), "settings-window");

    SetWindowPos(f.Handle(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle()));
    EXPECT_FALSE(toolkit::Application::Instance().Terminated());

    f.ShowSettings();
    Pump();
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
}

TEST_F(SettingsWindowLayout, SettingsCanBeReachedAfterTheApplicationWasMinimised) {
    SettingsWindow& f = Start();
    f.ShowSettings();
    Pump();
    SendMessageA(toolkit::Application::Instance().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle())) << "auto-hide left the button";
    f.ShowSettings();
    Pump();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsIconic(toolkit::Application::Instance().Handle()));
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
}

class SettingsWindowHelpMode : public SettingsWindowFixture {};

TEST_F(SettingsWindowHelpMode, CaptionButtonPutsBothBoxesInHelpMode) {
    SettingsWindow& f = Start();
    f.EnterHelpMode();
    EXPECT_EQ(f.intelligentModeBox.Cursor(), toolkit::kHelpCursor);
    EXPECT_EQ(f.autostartBox.Cursor(), toolkit::kHelpCursor);
}

TEST_F(SettingsWindowHelpMode, CheckBoxHandlerRunsOnlyWhenTheStateChanges) {
    SettingsWindow& f = Start();
    int runs = 0;
    f.autostartBox.OnClick = [&] { ++runs; };
    f.autostartBox.SetChecked(false);
    EXPECT_EQ(runs, 0);
    f.autostartBox.SetChecked(true);
    f.autostartBox.SetChecked(true);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(SendMessageA(f.autostartBox.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

class SettingsWindowEngine : public SettingsWindowFixture {};

TEST_F(SettingsWindowEngine, StartsWithItsEventsAsStoredAndStepsOfTen) {
    SettingsWindow& f = Start();
    EXPECT_TRUE(f.timers.Active());
    EXPECT_EQ(f.timers.Period(), 100);
    EXPECT_TRUE(f.programScan.Enabled());
    EXPECT_TRUE(f.firstSample.Enabled());
    EXPECT_TRUE(f.decision.Enabled());
    EXPECT_FALSE(f.secondSample.Enabled());
    EXPECT_FALSE(f.idleWait.Enabled());
    EXPECT_FALSE(f.cursorMove.Enabled());
    EXPECT_FALSE(f.sampleComparison.Enabled());
    EXPECT_EQ(f.StepX, 10);
    EXPECT_EQ(f.StepY, 10);
    EXPECT_EQ(f.trayIcon.IconIndex(), -1);
}

TEST_F(SettingsWindowEngine, StepsAreTenEvenWhenStartUpStopsOnAnError) {
    SetString(settings_window_test::kSettingsKey, "Inteligens", "ab");  // wrong type stops the settings load
    SettingsWindow& f = Start();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid data type for 'Inteligens'");
    EXPECT_EQ(f.StepX, 10);
    EXPECT_EQ(f.StepY, 10);
}

TEST_F(SettingsWindowEngine, ExitFromTheMenuEndsTheLoop) {
    SettingsWindow& f = Start();
    toolkit::Application& app = toolkit::Application::Instance();
    f.Quit();
    EXPECT_TRUE(app.Terminated());
    // Drain the quit so later tests in this process start clean.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
