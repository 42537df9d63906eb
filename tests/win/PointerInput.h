// Real pointer input for window tests: the cursor placed with SetCursorPos,
// buttons pressed with SendInput, messages pumped through the application.
#pragma once

#include <windows.h>

#include "toolkit/Application.h"

namespace settings_window_test {

// Dispatches messages for a while, so input, timers and paints reach the windows.
inline void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        toolkit::Application::Instance().ProcessMessages();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

// Pumps until `done` holds or `ms` have passed; true when it held.
template <class Pred>
bool PumpUntil(Pred done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return false;
        toolkit::Application::Instance().ProcessMessages();
        Sleep(5);
    }
    return true;
}

inline void MouseTo(int x, int y) {
    SetCursorPos(x, y);
    PumpFor(60);
}

inline void MouseButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
    PumpFor(80);
}

inline void ClickAt(int x, int y) {
    MouseTo(x, y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

inline POINT CentreOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace settings_window_test
