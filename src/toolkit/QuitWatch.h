// Notices a quit request that a modal loop of the platform takes off the
// queue and drops, so the loops around it can still end the program.
#pragma once

#include <windows.h>

namespace toolkit {

// While it exists, every WM_QUIT taken off this thread's queue is noted.
// A tracked menu's loop under Wine removes a quit and does nothing with it.
class QuitWatch {
public:
    QuitWatch() noexcept;
    ~QuitWatch();
    QuitWatch(const QuitWatch&) = delete;
    QuitWatch& operator=(const QuitWatch&) = delete;

    bool QuitSeen() const { return seen_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) noexcept;

    HHOOK hook_;
    QuitWatch* outer_;
    bool seen_ = false;
};

}  // namespace toolkit
