// The program's invisible helper windows (timer ticks, menu commands, tray
// callbacks): one way to register their class and create them.
#pragma once

#include <windows.h>

namespace toolkit {

// Creates a window of class `className` with `procedure`, registering the
// class in this module the first time. `parent` is HWND_MESSAGE for a
// message-only window or nullptr for a top-level one, which stays hidden as
// long as `style` has no WS_VISIBLE. `createParam` reaches WM_NCCREATE and
// WM_CREATE. Throws toolkit::OutOfResourcesError("Error creating window") when the window
// cannot be made.
HWND CreateHiddenWindow(const char* className, WNDPROC procedure, HWND parent, DWORD style, void* createParam);

// What a helper window does with a message its procedure does not handle:
// DefWindowProcA's handling, except that a close request is refused. Any
// program may send one, and the default handling would destroy the window
// under the object that owns it: the timers would stop or the tray icon
// lose its callbacks for the rest of the session.
LRESULT HiddenWindowDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace toolkit
