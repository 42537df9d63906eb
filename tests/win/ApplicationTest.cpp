// The application object's message loop for real: the one-step pump returns
// once nothing waits, and a quit or a terminate met inside a nested pump (a
// handler that processes pending messages) ends the loop. Cases that end the
// loop run in a fresh process each.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

#include "ApplicationTestSupport.h"
#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"
#include "toolkit/UniqueHandle.h"

namespace {

using apptest::InOwnProcess;
using apptest::LoopWatchdog;
using apptest::NowMs;
using apptest::ScriptedWindow;
using apptest::TickingList;

toolkit::Application& App() {
    return toolkit::Application::Instance();
}

// Runs the loop under a watchdog; returns when it ended (ms).
double RunLoop(LoopWatchdog& watchdog) {
    App().Run();
    const double ended = NowMs();
    EXPECT_FALSE(watchdog.Fired()) << "the loop did not end by itself";
    return ended;
}

// ---- The one-step pump (in this process: it never ends the loop) ---------

TEST(ProcessMessages, DispatchesWhatWaitsIncludingWhatItsHandlersPostThenReturns) {
    std::vector<WPARAM> seen;
    ScriptedWindow window([&](UINT, WPARAM w, LPARAM) {
        seen.push_back(w);
        if (w == 2)
            PostMessageA(window.Handle(), WM_APP, 4, 0);
    });
    for (WPARAM w : {1, 2, 3})
        PostMessageA(window.Handle(), WM_APP, w, 0);

    App().ProcessMessages();
    EXPECT_EQ(seen, (std::vector<WPARAM>{1, 2, 3, 4}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window.Handle(), 0, 0, PM_NOREMOVE)) << "left waiting: " << msg.message;

    // Nothing waits: it returns at once instead of waiting for a message.
    const double start = NowMs();
    App().ProcessMessages();
    EXPECT_LT(NowMs() - start, 100.0);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_FALSE(App().Terminated());
}

TEST(ProcessMessages, LeavesInputForAMenuOrDialogToItsModalLoop) {
    // A dialog-class window stands for the dialog box or the tracked menu whose
    // own loop reads its input; a pump nested in a tick must not take it.
    HWND dialog = CreateWindowExA(0, reinterpret_cast<LPCSTR>(WC_DIALOG), "modal", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(dialog);
    std::vector<UINT> seen;
    ScriptedWindow window([&](UINT m, WPARAM, LPARAM) { seen.push_back(m); });
    PostMessageA(window.Handle(), WM_APP, 0, 0);
    PostMessageA(dialog, WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(window.Handle(), WM_APP + 1, 0, 0);

    const toolkit::Application::ModalLoop inTheDialog;  // the pump runs inside its loop
    App().ProcessMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_APP})) << "the pump went past the dialog's key";
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, dialog);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));

    // Once the modal loop has taken its input, the pump goes on.
    App().ProcessMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_APP, WM_APP + 1}));
    DestroyWindow(dialog);
}

// A window's system menu runs its loop inside the window's default handling:
// the window hears of it, and so the nested pumps know input may be the menu's.
int depthInSystemMenu = -1;
TEST(ProcessMessages, KnowsOfAWindowsSystemMenuLoop) {
    toolkit::FormLayout layout;
    layout.caption = "Menu";
    layout.clientWidth = 200;
    layout.clientHeight = 100;
    toolkit::Form form(nullptr, "MenuForm", layout);
    form.Show();
    depthInSystemMenu = -1;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (depthInSystemMenu >= 0 || !menu || !IsWindowVisible(menu))
            return;
        depthInSystemMenu = App().ModalDepth();
        EndMenu();
    });
    EXPECT_EQ(App().ModalDepth(), 0);
    // Returns when the menu has closed.
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(nullptr, timer);
    EXPECT_GE(depthInSystemMenu, 1) << "-1: the menu never showed";
    EXPECT_EQ(App().ModalDepth(), 0) << "the menu loop has ended";
}

TEST(ProcessMessages, RunsATimerTickThatFellDueWhileTheHandlerWasBusy) {
    int outer = 0, nested = 0;
    bool inOuter = false;
    TickingList timer(100, [&] {
        if (inOuter) {
            ++nested;
            return;
        }
        if (++outer > 1)
            return;
        inOuter = true;
        Sleep(250);  // a tick falls due meanwhile
        App().ProcessMessages();
        inOuter = false;
    });
    const double deadline = NowMs() + 3000;
    while (outer == 0 && NowMs() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        App().ProcessMessages();
    }
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(nested, 1) << "the pump must dispatch the tick that fell due inside the handler";
}

// ---- Ending the loop (each in a fresh process) ---------------------------

TEST(ApplicationLoop, QuitSeenByANestedPumpMarksTerminatedAndEndsRun) {
    if (!InOwnProcess())
        return;
    int ticks = 0;
    bool terminatedAfterPump = false;
    double quitSeenAt = 0;
    TickingList timer(100, [&] {
        if (++ticks != 2)
            return;
        EXPECT_FALSE(App().Terminated());
        PostQuitMessage(0);
        App().ProcessMessages();
        terminatedAfterPump = App().Terminated();
        quitSeenAt = NowMs();
    });
    LoopWatchdog watchdog(10000);
    const double ended = RunLoop(watchdog);
    EXPECT_TRUE(terminatedAfterPump);
    EXPECT_TRUE(App().Terminated());
    EXPECT_EQ(ticks, 2) << "the loop went on after the quit";
    EXPECT_LT(ended - quitSeenAt, 500.0);
}

TEST(ApplicationLoop, QuitPostedFromAnotherThreadWhileAHandlerPumpsEndsTheLoop) {
    if (!InOwnProcess())
        return;
    const DWORD gui = GetCurrentThreadId();
    toolkit::UniqueKernelHandle pumping(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread poster([&] {
        if (WaitForSingleObject(pumping.get(), 10000) == WAIT_OBJECT_0) {
            Sleep(200);
            PostThreadMessageA(gui, WM_QUIT, 0, 0);
        }
    });
    double pumpStart = 0, quitSeenAt = 0;
    TickingList timer(100, [&] {
        if (pumpStart != 0)
            return;  // a nested tick
        pumpStart = NowMs();
        SetEvent(pumping.get());
        // A long handler that keeps the program answering, as the scan does.
        while (!App().Terminated() && NowMs() - pumpStart < 5000) {
            App().ProcessMessages();
            Sleep(10);
        }
        if (App().Terminated())
            quitSeenAt = NowMs();
    });
    LoopWatchdog watchdog(10000);
    const double ended = RunLoop(watchdog);
    poster.join();
    ASSERT_GT(quitSeenAt, 0) << "the pump never saw the quit";
    EXPECT_LT(quitSeenAt - pumpStart, 1500.0);
    EXPECT_LT(ended - quitSeenAt, 500.0);
}

TEST(ApplicationLoop, TerminateCalledInsideANestedPumpEndsRun) {
    if (!InOwnProcess())
        return;
    double terminatedAt = 0;
    // Stands for the tray menu's owner window receiving "Kilépés".
    ScriptedWindow menuOwner([&](UINT, WPARAM, LPARAM) {
        App().Terminate();
        terminatedAt = NowMs();
    });
    int ticks = 0;
    bool handlerFinished = false;
    TickingList timer(100, [&] {
        if (++ticks != 2)
            return;
        PostMessageA(menuOwner.Handle(), WM_APP, 0, 0);
        App().ProcessMessages();
        EXPECT_TRUE(App().Terminated());
        handlerFinished = true;  // the handler runs to its end; the loop ends after it
    });
    LoopWatchdog watchdog(10000);
    const double ended = RunLoop(watchdog);
    ASSERT_GT(terminatedAt, 0);
    EXPECT_TRUE(handlerFinished);
    EXPECT_EQ(ticks, 2) << "the loop went on after Terminate";
    EXPECT_LT(ended - terminatedAt, 500.0);
}

TEST(ApplicationLoop, AQuitSeenByANestedPumpStaysForTheLoopsAroundIt) {
    if (!InOwnProcess())
        return;
    // A loop that is not the application's (a dialog's or a tracked menu's)
    // around a handler that pumps: it must see the quit too and end.
    ScriptedWindow window([&](UINT, WPARAM, LPARAM) {
        PostQuitMessage(3);
        App().ProcessMessages();
    });
    PostMessageA(window.Handle(), WM_APP, 0, 0);
    LoopWatchdog watchdog(5000);
    MSG msg{};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0)
        DispatchMessageA(&msg);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.wParam, 3u) << "the outer loop ended only on the watchdog's quit";
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(App().Terminated());
}

class RunMainForm : public ::testing::TestWithParam<bool> {};

TEST_P(RunMainForm, ShowsTheMainFormOnlyWhenAskedTo) {
    if (!InOwnProcess())
        return;
    toolkit::FormLayout layout;
    layout.caption = "Tavrin2";
    layout.clientWidth = 235;
    layout.clientHeight = 153;
    toolkit::Form form(nullptr, "SettingsWindow", layout);
    App().SetMainForm(&form);
    App().ShowMainForm = GetParam();
    bool visibleInLoop = !GetParam();
    TickingList timer(100, [&] {
        visibleInLoop = form.Visible();
        App().Terminate();
    });
    LoopWatchdog watchdog(10000);
    RunLoop(watchdog);
    EXPECT_EQ(visibleInLoop, GetParam());
}

INSTANTIATE_TEST_SUITE_P(ShowMainForm, RunMainForm, ::testing::Bool());

}  // namespace
