// The real settings window under Wine: layout, texts, keyboard, showing,
// hiding, help mode and the start state of the engine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Form1Fixture.h"
#include "Screenshot.h"

namespace {
using form1_test::Form1Fixture;
using form1_test::Pump;
using form1_test::SaveScreenshot;

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

class Form1Layout : public Form1Fixture {};

TEST_F(Form1Layout, StartsHiddenWithoutTaskbarButton) {
    TForm1& f = Start();
    Pump();
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle()));
    EXPECT_FALSE(toolkit::Application::Instance().ShowMainForm);
    EXPECT_EQ(toolkit::Application::Instance().Title(), "Tavrin2");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(Form1Layout, WindowHasDialogBorderCaptionAndClientSize) {
    TForm1& f = Start();
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

TEST_F(Form1Layout, ControlsStandWhereTheLayoutPutsThemWithTheirTexts) {
    TForm1& f = Start();
    struct Expected {
        HWND hwnd;
        RECT rect;
        const char* text;
    };
    const Expected controls[] = {
        {f.GroupBox1.Handle(), {0, 0, 235, 41}, "Indítás"},
        {f.CheckBox2.Handle(), {8, 16, 225, 33}, "Automaikus indítás a windows indításakor"},
        {f.GroupBox2.Handle(), {0, 41, 235, 153}, "Vezérlő"},
        {f.CheckBox1.Handle(), {8, 57, 137, 74}, "Inteligens egér-vezérlő"},
        {f.Button1.Handle(), {8, 113, 83, 138}, "Hozzáad"},
        {f.Button2.Handle(), {144, 113, 219, 138}, "Töröl"},
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
    const RECT combo = ClientRectOf(f.ComboBox1.Handle(), f.Handle());
    EXPECT_EQ(combo.left, 8);
    EXPECT_EQ(combo.top, 81);
    EXPECT_EQ(combo.right, 225);
    EXPECT_EQ(f.ComboBox1.Text(), "Programok listája");
    EXPECT_FALSE(f.CheckBox1.Checked());
    EXPECT_FALSE(f.CheckBox2.Checked());
    EXPECT_EQ(f.CheckBox1.Hint, "Inteligens egér-vezérlő be/ki kapcsolása");
    EXPECT_EQ(f.CheckBox2.Hint, "Automatikus indítás");
    EXPECT_EQ(f.Button1.Hint, "Program hozzáadása a listához");
    EXPECT_EQ(f.Button2.Hint, "Program törlése a listáról");
}

TEST_F(Form1Layout, TabOrderRunsThroughTheSecondGroupFirst) {
    TForm1& f = Start();
    f.Belltsok1Click();
    Pump();
    const HWND expected[] = {f.CheckBox1.Handle(), f.ComboBox1.Handle(), f.Button1.Handle(), f.Button2.Handle(),
                             f.CheckBox2.Handle()};
    HWND item = GetNextDlgTabItem(f.Handle(), nullptr, FALSE);
    for (HWND want : expected) {
        EXPECT_EQ(item, want);
        item = GetNextDlgTabItem(f.Handle(), item, FALSE);
    }
    EXPECT_EQ(item, expected[0]);  // and round again
}

TEST_F(Form1Layout, KeyboardMovesFocusTogglesCheckBoxesAndPressesButtons) {
    TForm1& f = Start();
    f.Belltsok1Click();
    Pump();
    SetFocus(f.CheckBox1.Handle());
    // Shift+Tab from the first control goes round to the last.
    PostMessageA(f.CheckBox1.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(f.CheckBox1.Handle(), WM_KEYUP, VK_SPACE, 0xC0000000);
    Pump();
    EXPECT_TRUE(f.CheckBox1.Checked()) << "Space did not toggle the focused check box";
    EXPECT_EQ(Value(form1_test::kSettingsKey, "Inteligens").second, Dword(1)) << "its handler did not store";

    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(GetFocus() == f.ComboBox1.Handle() || IsChild(f.ComboBox1.Handle(), GetFocus()));

    f.ComboBox1.SetText("nincs ilyen");
    SetFocus(f.Button2.Handle());
    PostMessageA(f.Button2.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(f.ComboBox1.Text(), "Programok listája") << "Enter on the focused button did not press it";
}

TEST_F(Form1Layout, CloseHidesAndShowingAgainKeepsThePlace) {
    TForm1& f = Start();
    f.Belltsok1Click();
    Pump();
    ASSERT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_TRUE(IsWindowVisible(toolkit::Application::Instance().Handle())) << "no taskbar button while shown";
    RECT r;
    GetWindowRect(f.Handle(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 1);
    SaveScreenshot(f.Handle(), "form1");

    SetWindowPos(f.Handle(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle()));
    EXPECT_FALSE(toolkit::Application::Instance().Terminated());

    f.Belltsok1Click();
    Pump();
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
}

TEST_F(Form1Layout, SettingsCanBeReachedAfterTheApplicationWasMinimised) {
    TForm1& f = Start();
    f.Belltsok1Click();
    Pump();
    SendMessageA(toolkit::Application::Instance().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(toolkit::Application::Instance().Handle())) << "auto-hide left the button";
    f.Belltsok1Click();
    Pump();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsIconic(toolkit::Application::Instance().Handle()));
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
}

class Form1HelpMode : public Form1Fixture {};

TEST_F(Form1HelpMode, CaptionButtonPutsBothBoxesInHelpMode) {
    TForm1& f = Start();
    f.CaptionButton1Click();
    EXPECT_EQ(f.CheckBox1.Cursor(), toolkit::crHelp);
    EXPECT_EQ(f.CheckBox2.Cursor(), toolkit::crHelp);
}

TEST_F(Form1HelpMode, CheckBoxHandlerRunsOnlyWhenTheStateChanges) {
    TForm1& f = Start();
    int runs = 0;
    f.CheckBox2.OnClick = [&] { ++runs; };
    f.CheckBox2.SetChecked(false);
    EXPECT_EQ(runs, 0);
    f.CheckBox2.SetChecked(true);
    f.CheckBox2.SetChecked(true);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(SendMessageA(f.CheckBox2.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

class Form1Engine : public Form1Fixture {};

TEST_F(Form1Engine, StartsWithItsEventsAsStoredAndStepsOfTen) {
    TForm1& f = Start();
    EXPECT_TRUE(f.TimerList1.Active());
    EXPECT_EQ(f.TimerList1.Period(), 100);
    EXPECT_TRUE(f.program_ell.Enabled());
    EXPECT_TRUE(f.meres1.Enabled());
    EXPECT_TRUE(f.osszegzes.Enabled());
    EXPECT_FALSE(f.meres2.Enabled());
    EXPECT_FALSE(f.varakozoido.Enabled());
    EXPECT_FALSE(f.egermozgatas.Enabled());
    EXPECT_FALSE(f.meres_ellenor.Enabled());
    EXPECT_EQ(f.StepX, 10);
    EXPECT_EQ(f.StepY, 10);
    EXPECT_EQ(f.TrayIcon1.IconIndex(), -1);
}

TEST_F(Form1Engine, StepsAreTenEvenWhenStartUpStopsOnAnError) {
    SetString(form1_test::kSettingsKey, "Inteligens", "ab");  // wrong type stops the start-up load
    TForm1& f = Start();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid data type for 'Inteligens'");
    EXPECT_EQ(f.StepX, 10);
    EXPECT_EQ(f.StepY, 10);
}

TEST_F(Form1Engine, ExitFromTheMenuEndsTheLoop) {
    TForm1& f = Start();
    toolkit::Application& app = toolkit::Application::Instance();
    f.Kilps1Click();
    EXPECT_TRUE(app.Terminated());
    // Drain the quit so later tests in this process start clean.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
