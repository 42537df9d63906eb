// Drives the platform's open-file dialog from a timer on the test's own
// thread while the dialog runs modally: find it, type into its file-name
// field, press its buttons.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dialog_test {

inline constexpr int kFileNameField = 1148;  // cmb13, the name combo box of the Explorer dialog

inline HWND FindOpenDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            char cls[32] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline std::string FieldText(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Steps run one per timer tick while the dialog is on screen. A watchdog
// cancels a dialog the steps did not finish, so a failing test cannot hang.
class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    // graceTicks: how long a dialog the steps have finished with may stay open
    // (it may be closing by itself) before it is cancelled.
    explicit DialogDriver(std::vector<Step> steps, int graceTicks = 150)
        : steps_(steps.begin(), steps.end()), graceTicks_(graceTicks) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, &DialogDriver::Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    int ticksWhileOpen = 0;
    bool watchdogFired = false;

    static void Type(HWND dialog, const std::string& text) {
        SendMessageA(GetDlgItem(dialog, kFileNameField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    static void Press(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current_;
        HWND dialog = FindOpenDialog();
        if (!self || !dialog)
            return;
        ++self->ticksWhileOpen;
        if (!self->steps_.empty()) {
            Step step = std::move(self->steps_.front());
            self->steps_.pop_front();
            step(dialog);
        } else if (self->ticksWhileOpen > self->graceTicks_) {
            self->watchdogFired = true;
            Press(dialog, IDCANCEL);
        }
    }

    static inline DialogDriver* current_ = nullptr;
    std::deque<Step> steps_;
    int graceTicks_;
    UINT_PTR timer_ = 0;
};

}  // namespace dialog_test
