// The Win32 side of the application's control hints: finds the control
// under the pointer from the messages the loop dispatches, runs the hint
// timer on the application window and shows the hint in a window of the
// hint window class in force.
#pragma once

#include <windows.h>

#include <memory>

#include "toolkit/hint/HintTiming.h"
#include "toolkit/hint/HintWindow.h"

namespace toolkit {

class Control;

class ApplicationHints : private HintTimingPort {
public:
    static constexpr UINT_PTR kTimerId = 0x4854;  // on the application window

    ApplicationHints();
    ~ApplicationHints() override;

    // The class a hint window is made of. The current window is dropped
    // when the class changes, so the next hint comes in the new kind.
    const HintWindowClass& WindowClass() const { return class_; }
    void SetWindowClass(const HintWindowClass& windowClass);

    // Every message the loop is about to dispatch.
    void BeforeDispatch(const MSG& msg);
    void TimerFired();
    // A click, a key, the application deactivated, a dialog opened.
    void Dismiss() { timing_.Dismiss(); }
    // A control is being destroyed.
    void ControlGone(const Control* control);

    bool Shown() const { return timing_.Shown(); }
    HintWindow* Window() const { return window_.get(); }

private:
    void StartHintTimer(int ms) override;
    void StopHintTimer() override;
    bool ShowHint(const void* control) override;
    void HideHint() override;
    void SyncPauses();
    void PointerOver(HWND window);
    const Control* HintedControl(HWND window) const;

    HintTiming timing_{*this};
    HintWindowClass class_;
    HintWindowClass windowClass_;  // the class of window_
    std::unique_ptr<HintWindow> window_;
    HWND tracked_ = nullptr;  // the window told to report the pointer leaving
};

// How far below the pointer's hot spot its visible image ends.
int CursorBottomMargin();

}  // namespace toolkit
