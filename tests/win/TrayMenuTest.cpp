// The tray menu opened from shell callbacks, its access keys and commands,
// the shared menu owner window, auto-hide and the application events.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"
#include "win/TrayTestSupport.h"

namespace {

using namespace tray_test;

// Waits, from a timer that fires inside the menu's own message loop, for a
// popup menu window to be shown, and then acts on it once.
class MenuWatcher {
public:
    explicit MenuWatcher(std::function<void(HWND menu)> action) : action_(std::move(action)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &MenuWatcher::Tick);
    }
    ~MenuWatcher() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Seen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuWatcher* self = current_;
        if (!self || self->seen_)
            return;
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu))
            return;
        self->seen_ = true;
        self->action_(menu);
    }
    static inline MenuWatcher* current_ = nullptr;
    std::function<void(HWND)> action_;
    UINT_PTR timer_;
    bool seen_ = false;
};

// Dispatches messages until `done` holds or `ms` milliseconds have passed (a
// shown menu blocks inside), then once more for what its closing posted.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms) {
        Pump();
        Sleep(10);
    }
    Pump();
    return done();
}

void PostCallback(ui::TrayIcon& icon, UINT notification) {
    PostMessageA(icon.NotifyWindow(), 0x401, 1, notification);
}

TEST(TrayMenu, ARightButtonReleaseOpensTheMenuAtTheCursor) {
    TrayLayout form(nullptr);
    SetCursorPos(200, 150);
    RECT shown{};
    HWND foreground = nullptr;
    int modalDepth = 0;
    MenuWatcher watcher([&](HWND menu) {
        GetWindowRect(menu, &shown);
        foreground = GetForegroundWindow();
        modalDepth = toolkit::Application::Instance().ModalDepth();
        EndMenu();
    });
    PostCallback(form.trayIcon, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen(); }, 3000)) << "no menu window appeared";
    EXPECT_GE(modalDepth, 1) << "nested pumps must know the menu's loop reads the input";
    EXPECT_EQ(toolkit::Application::Instance().ModalDepth(), 0);
    EXPECT_EQ(shown.left, 200);
    EXPECT_EQ(shown.top, 150);
    EXPECT_EQ(form.popups, 2) << "before tracking, and again when the system asks for the contents";
    EXPECT_EQ(foreground, form.trayIcon.NotifyWindow());
    EXPECT_EQ(form.settingsClicks + form.exitClicks, 0) << "closing the menu chooses nothing";
    EXPECT_EQ(form.settingsItem.Caption(), "&Beállítások...");
    EXPECT_EQ(form.separatorItem.Caption(), "-");
    EXPECT_EQ(form.exitItem.Caption(), "&Kilépés");
    char text[64] = {};
    GetMenuStringA(form.trayMenu.Handle(), form.exitItem.Command(), text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Kilépés") << "the shown menu carries the new captions";
    EXPECT_EQ(GetMenuItemCount(form.trayMenu.Handle()), 3);
    EXPECT_TRUE(GetMenuState(form.trayMenu.Handle(), 1, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST(TrayMenu, KeyboardSelectionOpensTheMenuAtTheCursorToo) {
    TrayLayout form(nullptr);
    SetCursorPos(300, 200);
    RECT shown{};
    MenuWatcher watcher([&](HWND menu) {
        GetWindowRect(menu, &shown);
        EndMenu();
    });
    PostCallback(form.trayIcon, 0x401);  // NIN_KEYSELECT
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen(); }, 3000));
    EXPECT_EQ(shown.left, 300);
    EXPECT_EQ(shown.top, 200);
}

TEST(TrayMenu, LeftDoubleAndMiddleClicksDoNothing) {
    TrayLayout form(nullptr);
    MenuWatcher watcher([](HWND) { EndMenu(); });
    const UINT ignored[] = {WM_MOUSEMOVE,     WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_LBUTTONDBLCLK,
                            WM_RBUTTONDOWN,   WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
                            WM_MBUTTONDBLCLK, 0x400 /* NIN_SELECT */};
    for (UINT n : ignored)
        PostCallback(form.trayIcon, n);
    EXPECT_FALSE(PumpUntil([&] { return watcher.Seen(); }, 300));
    EXPECT_EQ(form.popups, 0);
    EXPECT_EQ(form.settingsItem.Caption(), "Beállítások...") << "keys are given only when a menu opens";
}

TEST(TrayMenu, TheAccessKeyChoosesItsCommand) {
    TrayLayout form(nullptr);
    MenuWatcher watcher([](HWND menu) { PostMessageA(menu, WM_CHAR, 'k', 0); });
    PostCallback(form.trayIcon, WM_RBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen(); }, 3000));
    EXPECT_EQ(form.exitClicks, 1);
    EXPECT_EQ(form.settingsClicks, 0);
    EXPECT_FALSE(IsWindowVisible(FindWindowA("#32768", nullptr)));
}

TEST(TrayMenu, CommandsReachTheItemsThroughTheSharedOwnerWindow) {
    EXPECT_EQ(ui::PopupMenu::OwnerWindow(), nullptr) << "no menu, no owner window";
    TrayLayout form(nullptr);
    const HWND owner = ui::PopupMenu::OwnerWindow();
    ASSERT_TRUE(IsWindow(owner));
    {
        toolkit::Component other(nullptr, "Form2");
        ui::PopupMenu second(&other, "PopupMenu2");
        ui::MenuItem item(&other, "Item1");
        item.SetCaption("Más");
        int otherClicks = 0;
        item.OnClick = [&] { ++otherClicks; };
        second.Add(item);
        EXPECT_EQ(ui::PopupMenu::OwnerWindow(), owner) << "menus share one owner window";

        SendMessageA(owner, WM_COMMAND, form.settingsItem.Command(), 0);
        SendMessageA(owner, WM_COMMAND, form.exitItem.Command(), 0);
        SendMessageA(owner, WM_COMMAND, item.Command(), 0);
        SendMessageA(owner, WM_COMMAND, item.Command(), 0);
        EXPECT_EQ(form.settingsClicks, 1);
        EXPECT_EQ(form.exitClicks, 1);
        EXPECT_EQ(otherClicks, 2);
    }
    EXPECT_TRUE(IsWindow(owner)) << "the owner window stays while a menu exists";

    reportedErrors.clear();
    form.exitItem.OnClick = [] { throw toolkit::Exception("Hiba a parancsban"); };
    SendMessageA(owner, WM_COMMAND, form.exitItem.Command(), 0);
    EXPECT_EQ(reportedErrors, std::vector<std::string>{"Hiba a parancsban"});
}

TEST(TrayMenu, TheOwnerWindowGoesWithTheLastMenu) {
    HWND owner = nullptr;
    {
        toolkit::Component form(nullptr, "SettingsWindow");
        ui::PopupMenu menu(&form, "trayMenu");
        owner = ui::PopupMenu::OwnerWindow();
        EXPECT_TRUE(IsWindow(owner));
    }
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_EQ(ui::PopupMenu::OwnerWindow(), nullptr);
}

TEST(TrayMenu, AnErrorInTheCallbackIsReportedAndTheIconLivesOn) {
    TrayLayout form(nullptr);
    reportedErrors.clear();
    form.trayMenu.OnPopup = [] { throw toolkit::Exception("Hiba a menüben"); };
    PostCallback(form.trayIcon, WM_RBUTTONUP);
    PumpUntil([] { return !reportedErrors.empty(); }, 1000);
    EXPECT_EQ(reportedErrors, std::vector<std::string>{"Hiba a menüben"});
    form.trayMenu.OnPopup = [&] { ++form.popups; };
    MenuWatcher watcher([](HWND) { EndMenu(); });
    PostCallback(form.trayIcon, WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return watcher.Seen(); }, 3000));
}

TEST(TrayMenu, AQuitWhileTheMenuIsOpenEndsTheProgramOnceTheMenuCloses) {
    TrayLayout form(nullptr);
    toolkit::Application& app = toolkit::Application::Instance();
    ASSERT_FALSE(app.Terminated()) << "an earlier test ended the application";
    // The quit comes while the menu's loop runs; the menu is closed only later,
    // so the loop has time to take the quit.
    MenuWatcher watcher([](HWND) {
        PostQuitMessage(0);
        SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        });
    });
    PostCallback(form.trayIcon, 0x205);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen() && !FindWindowA("#32768", nullptr); }, 5000));
    EXPECT_TRUE(app.Terminated()) << "the quit was lost in the menu";
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(AutoHide, MinimisingTheApplicationHidesItsTaskbarButton) {
    toolkit::Application& app = toolkit::Application::Instance();
    TrayLayout form(nullptr);
    toolkit::FormLayout layout;
    layout.caption = "Tavrin2";
    layout.clientWidth = 235;
    layout.clientHeight = 153;
    toolkit::Form settings(nullptr, "SettingsWindow", layout);
    app.SetMainForm(&settings);
    settings.Show();
    ASSERT_TRUE(IsWindowVisible(app.Handle())) << "the taskbar button is there while the window shows";

    SendMessageA(app.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(app.Handle()));
    EXPECT_TRUE(IsIconic(app.Handle()));
    EXPECT_FALSE(form.trayIcon.AppShown());
    // A tray click does not bring it back.
    PostCallback(form.trayIcon, WM_LBUTTONUP);
    PostCallback(form.trayIcon, WM_LBUTTONDBLCLK);
    Pump();
    EXPECT_FALSE(IsWindowVisible(app.Handle()));

    app.Restore();
    ShowWindow(app.Handle(), SW_SHOW);
    // Only the plain minimise command, compared exactly.
    SendMessageA(app.Handle(), WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    EXPECT_TRUE(IsWindowVisible(app.Handle()));
    app.Restore();
    // Not while the icon is unregistered.
    form.trayIcon.SetActive(false);
    SendMessageA(app.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsWindowVisible(app.Handle()));
    app.Restore();
    settings.Hide();
    ShowWindow(app.Handle(), SW_HIDE);
}

TEST(AutoHide, TheHookLeavesWithTheIcon) {
    toolkit::Application& app = toolkit::Application::Instance();
    { TrayLayout form(nullptr); }
    ShowWindow(app.Handle(), SW_SHOWNOACTIVATE);
    SendMessageA(app.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsWindowVisible(app.Handle()));
    app.Restore();
    ShowWindow(app.Handle(), SW_HIDE);
}

TEST(AppEvents, KeepTheMainWindowHiddenAndSetTheShortHintPause) {
    toolkit::Application& app = toolkit::Application::Instance();
    app.ShowMainForm = true;
    app.HintShortPause = 0;
    app.HintPause = 1;
    app.HintHidePause = 2;
    toolkit::Component form(nullptr, "SettingsWindow");
    toolkit::ApplicationEvents events(&form, "appEvents");
    EXPECT_TRUE(app.ShowMainForm);
    events.SetShowMainForm(false);
    EXPECT_FALSE(app.ShowMainForm) << "applied as soon as it is read";
    EXPECT_EQ(app.HintShortPause, 0) << "the rest waits for the layout";
    form.LoadedAll();
    EXPECT_FALSE(app.ShowMainForm);
    EXPECT_EQ(app.HintShortPause, 50);
    EXPECT_EQ(app.HintPause, 500);
    EXPECT_EQ(app.HintHidePause, 2500);
}

}  // namespace
