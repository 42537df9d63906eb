// The idle engine's cursor, screen and priority services on Windows. The
// settings window forwards its engine port to these (it supplies the pump,
// the mode check box and the tray state itself).
#pragma once

#include "engine/IdleEngine.h"
#include "engine/Win32TimerPlatform.h"

namespace engine {

class Win32IdlePlatform {
public:
    Point CursorPos();
    // Exactly p (Windows clips it to the screen), and counted as user input so
    // screen savers and locking see activity, which a bare SetCursorPos is not.
    void SetCursorPos(Point p);
    // The primary monitor.
    Point ScreenSize();
    // The scale of the monitor holding p; the system's one scale where the
    // system knows no scale per monitor.
    int DpiAt(Point p);
    // Idle priority class for the process, lowest for the calling thread.
    void LowerPriority();
};

}  // namespace engine
