// Shared by the application object's tests: cases that end the message loop
// run in a fresh process of the test executable (the application object is one
// per process and its loop ends for good); handlers tick on a real timer list;
// a watcher thread finds the standard error box, reads it as the user sees it
// and closes it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/TimerList.h"
#include "engine/Win32TimerPlatform.h"

namespace apptest {

inline constexpr char kChildFlag[] = "--application-child";

double NowMs();

// Marks this process as a child started by InOwnProcess.
void SetInChild();

// In the child: true, and the case's body runs here. In the parent: runs the
// current case alone in a fresh process of this executable, reports the
// child's failures as this case's, and returns false.
bool InOwnProcess();

// A hidden top-level window of its own class; WM_APP and above go to the handler.
class ScriptedWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    explicit ScriptedWindow(Handler handler);
    ~ScriptedWindow();
    ScriptedWindow(const ScriptedWindow&) = delete;
    ScriptedWindow& operator=(const ScriptedWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    Handler handler_;
    HWND hwnd_ = nullptr;
};

// One event on a real timer list, ticking from whichever loop dispatches
// (the application's, a nested pump, a modal box's), as the program's
// handlers do.
struct TickingList {
    toolkit::Component owner{nullptr, "SettingsWindow"};
    engine::TimerList list{&owner, "timers", engine::MakeWin32TimerPlatform()};
    engine::TimerEvent event{&owner, "event"};

    TickingList(int32_t interval, std::function<void()> onTick) {
        list.SetActive(true);
        event.SetParentList(&list);
        event.SetInterval(interval);
        event.OnTimer = [tick = std::move(onTick)](engine::TimerEvent*) { tick(); };
        owner.LoadedAll();
    }
};

// A message box as another thread saw it while it was open.
struct SeenBox {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;    // the message's static (id 65535), byte for byte
    std::string okText;  // the text of button id 1; empty when there is none
    int otherButtons = 0;  // visible buttons besides id 1
    HICON icon = nullptr;  // shown by the static id 1088
    HWND owner = nullptr;
    bool ownerEnabled = true;
    double seenAtMs = 0;
    bool pressedOk = false;  // the watcher pressed OK
    bool gone = false;
    double goneAtMs = 0;
};

// Watches, from a thread of its own, for message boxes of this process with
// the caption. With pressOk each box is read and then closed with OK at once;
// otherwise the watcher only reads it and presses OK after giveUpMs, so a
// case waiting for something else to close the box cannot hang.
class BoxWatcher {
public:
    BoxWatcher(std::string caption, bool pressOk, double giveUpMs = 8000);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    void Stop();
    std::vector<SeenBox> Boxes();
    int ClosedCount() const { return closed_; }

private:
    void Watch();

    const std::string caption_;
    const bool pressOk_;
    const double giveUpMs_;
    std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::atomic<bool> stop_{false};
    std::atomic<int> closed_{0};
    std::thread thread_;  // last: starts once the rest is built
};

// Ends a message loop the case failed to end, so a failing case reports
// instead of hanging: after the time it posts a quit (exit code 99) to the
// thread that built it and wakes the application window.
class LoopWatchdog {
public:
    explicit LoopWatchdog(double ms);
    ~LoopWatchdog();
    LoopWatchdog(const LoopWatchdog&) = delete;
    LoopWatchdog& operator=(const LoopWatchdog&) = delete;
    bool Fired() const { return fired_; }

    static constexpr WPARAM kExitCode = 99;

private:
    HANDLE done_;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

}  // namespace apptest
