// The quit watch over a thread hook on retrieved messages.
#include "toolkit/QuitWatch.h"

namespace toolkit {
namespace {
thread_local QuitWatch* current = nullptr;
}

QuitWatch::QuitWatch() noexcept
    : hook_(SetWindowsHookExA(WH_GETMESSAGE, &QuitWatch::Hook, nullptr, GetCurrentThreadId())), outer_(current) {
    current = this;
}

QuitWatch::~QuitWatch() {
    current = outer_;
    if (hook_)
        UnhookWindowsHookEx(hook_);
    // A quit seen inside counts for the watch around this one too.
    if (seen_ && outer_)
        outer_->seen_ = true;
}

LRESULT CALLBACK QuitWatch::Hook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE && current) {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_QUIT)
            current->seen_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace toolkit
