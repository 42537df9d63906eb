// The DPI of windows and monitors and the system metrics for a DPI. The
// functions that answer per monitor exist only on newer systems: each is
// looked up at run time, and older systems get the screen's one DPI and the
// plain metrics scaled to the DPI asked for.
#pragma once

#include <windows.h>

namespace toolkit {

// The DPI of the screen as a whole (the only one before per-monitor DPI).
int SystemDpi();
// The DPI of the monitor the window is on.
int DpiForWindow(HWND hwnd);
// The DPI of the monitor that holds the point (screen coordinates).
int DpiForPoint(POINT p);

// GetSystemMetrics as the system gives it for that DPI.
int SystemMetricForDpi(int index, int dpi);
// The non-client metrics (fonts, caption sizes) for that DPI; false when the
// system gives none.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);
// The outer rectangle of a window whose client area is `r`, for that DPI.
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi);

// The monitor's rectangle and work area for the point.
RECT MonitorRectAt(POINT p);
RECT WorkAreaAt(POINT p);

}  // namespace toolkit
