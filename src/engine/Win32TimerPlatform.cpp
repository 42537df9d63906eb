// Ticks arrive as WM_TIMER on a message-only window, so they are dispatched by
// the GUI thread's message loop (or a nested pump) and never overlap otherwise.
#include "engine/Win32TimerPlatform.h"

#include "engine/TimerList.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/HiddenWindow.h"

#include <windows.h>

namespace engine {
namespace {

constexpr UINT_PTR kTimerId = 1;

class Win32TimerPlatform final : public TimerPlatform {
public:
    Win32TimerPlatform() = default;
    Win32TimerPlatform(const Win32TimerPlatform&) = delete;
    Win32TimerPlatform& operator=(const Win32TimerPlatform&) = delete;
    ~Win32TimerPlatform() override { DestroyMessageWindow(); }

    uint32_t TickCount() override { return GetTickCount(); }

    void CreateMessageWindow(TimerList& list) override {
        DestroyMessageWindow();
        hwnd_ = toolkit::CreateHiddenWindow(kTimerWindowClass, &Win32TimerPlatform::WindowProc, HWND_MESSAGE, 0, &list);
    }

    void DestroyMessageWindow() override {
        if (!hwnd_)
            return;
        // Unbound first: nothing may reach the list through a dying window.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

    bool HasMessageWindow() const override { return hwnd_ != nullptr; }

    bool StartTimer(int32_t periodMs) override {
        // The same identifier on the same window replaces the timer, so the
        // next tick comes one full period from now.
        return SetTimer(hwnd_, kTimerId, static_cast<UINT>(periodMs), nullptr) != 0;
    }

    void KillTimer() override { ::KillTimer(hwnd_, kTimerId); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        try {
            auto* list = reinterpret_cast<TimerList*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (message == WM_TIMER && wParam == kTimerId) {
                if (list)
                    list->HandleTick();
                return 0;
            }
        } catch (...) {
            toolkit::HandleCurrentException();
            return 0;
        }
        return toolkit::HiddenWindowDefault(hwnd, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace

std::unique_ptr<TimerPlatform> MakeWin32TimerPlatform() {
    return std::make_unique<Win32TimerPlatform>();
}

}  // namespace engine
