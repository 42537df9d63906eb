// Cursor, screen size, display scale and priority for the idle engine. The
// engine ignores the results of these calls, so failures are deliberately
// dropped here.
#include "engine/Win32IdlePlatform.h"

#include <windows.h>

#include "toolkit/Dpi.h"

namespace engine {

Point Win32IdlePlatform::CursorPos() {
    POINT p{};
    if (!GetCursorPos(&p))
        return {};
    return {p.x, p.y};
}

void Win32IdlePlatform::SetCursorPos(Point p) {
    ::SetCursorPos(p.x, p.y);
    // A relative move of zero: leaves the position exact (no acceleration
    // applies to zero) but goes through the input queue, which resets the
    // system's idle time.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = 0;
    input.mi.dy = 0;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

Point Win32IdlePlatform::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int Win32IdlePlatform::DpiAt(Point p) {
    return toolkit::DpiForPoint(POINT{p.x, p.y});
}

void Win32IdlePlatform::LowerPriority() {
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

}  // namespace engine
