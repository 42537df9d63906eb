// Run-time lookups of the per-monitor DPI functions, with the fallbacks of
// systems that lack them.
#include "toolkit/Dpi.h"

#include <cstddef>

#include "toolkit/DelayedLibrary.h"
#include "toolkit/DpiScale.h"
#include "toolkit/UniqueHandle.h"

namespace toolkit {
namespace {
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiProc = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiProc = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiProc = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetDpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// user32 is always loaded; its newer entries are found by name.
template <typename Function>
Function User32Entry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// shcore is no KnownDLL: loaded from the system folder only, at first need.
GetDpiForMonitorProc MonitorDpiEntry() {
    static DelayedLibrary shcore("shcore.dll");
    static const auto entry = shcore.Find<GetDpiForMonitorProc>("GetDpiForMonitor");
    return entry;
}

int MonitorDpi(HMONITOR monitor) {
    if (GetDpiForMonitorProc entry = MonitorDpiEntry()) {
        UINT x = 0, y = 0;
        if (monitor && SUCCEEDED(entry(monitor, kEffectiveDpi, &x, &y)) && y > 0)
            return static_cast<int>(y);
    }
    return SystemDpi();
}

MONITORINFO InfoAt(POINT p) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info)) {
        info.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0))
            info.rcWork = info.rcMonitor;
    }
    return info;
}
}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        HDC dc = GetDC(nullptr);
        const int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi;
        if (dc)
            ReleaseDC(nullptr, dc);
        return value > 0 ? value : kDesignDpi;
    }();
    return dpi;
}

int DpiForWindow(HWND hwnd) {
    static const auto entry = User32Entry<GetDpiForWindowProc>("GetDpiForWindow");
    if (entry && hwnd)
        if (const UINT dpi = entry(hwnd))
            return static_cast<int>(dpi);
    return hwnd ? MonitorDpi(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)) : SystemDpi();
}

int DpiForPoint(POINT p) {
    return MonitorDpi(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST));
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto entry = User32Entry<GetSystemMetricsForDpiProc>("GetSystemMetricsForDpi");
    if (entry)
        return entry(index, static_cast<UINT>(dpi));
    const int value = GetSystemMetrics(index);
    return dpi == SystemDpi() ? value : MulDiv(value, dpi, SystemDpi());
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    static const auto entry = User32Entry<SystemParametersInfoForDpiProc>("SystemParametersInfoForDpi");
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (entry && entry(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return true;
    // Systems before Vista know the structure without its last field.
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return false;
    }
    const int system = SystemDpi();
    if (dpi != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont})
            font->lfHeight = MulDiv(font->lfHeight, dpi, system);
        for (int* size : {&metrics.iCaptionWidth, &metrics.iCaptionHeight, &metrics.iSmCaptionWidth,
                          &metrics.iSmCaptionHeight, &metrics.iMenuWidth, &metrics.iMenuHeight})
            *size = MulDiv(*size, dpi, system);
    }
    return true;
}

void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    static const auto entry = User32Entry<AdjustWindowRectExForDpiProc>("AdjustWindowRectExForDpi");
    if (entry && entry(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        return;
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

RECT MonitorRectAt(POINT p) {
    return InfoAt(p).rcMonitor;
}

RECT WorkAreaAt(POINT p) {
    return InfoAt(p).rcWork;
}

}  // namespace toolkit
