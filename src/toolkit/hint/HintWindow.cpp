// The plain hint window: class registration under its class name, creation
// parameters, measuring, activation and painting.
#include "toolkit/hint/HintWindow.h"

#include <versionhelpers.h>

#include "toolkit/Application.h"
#include "toolkit/DesktopClamp.h"
#include "toolkit/Dpi.h"
#include "toolkit/DpiScale.h"
#include "toolkit/ErrorReport.h"

namespace toolkit {
namespace {
constexpr UINT kDrawFlags = DT_WORDBREAK | DT_NOPREFIX;

HFONT MakeHintFont(bool bold, int dpi) {
    NONCLIENTMETRICSW metrics{};
    if (!NonClientMetricsForDpi(metrics, dpi))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (bold)
        metrics.lfStatusFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&metrics.lfStatusFont);
}
}  // namespace

bool IsXpOrLater() {
    return IsWindowsXPOrGreater();
}

HintWindow::HintWindow() : Color(GetSysColor(COLOR_INFOBK)) {}

HintWindow::~HintWindow() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HintWindowClass HintWindow::Class() {
    return {kHintWindowClass, [] { return std::make_unique<HintWindow>(); }};
}

HFONT HintWindow::HintFont(bool bold) {
    UniqueGdi<HFONT>& font = bold ? boldFont_ : font_;
    if (!font)
        font.reset(MakeHintFont(bold, dpi_));
    return font.get();
}

void HintWindow::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    dpi_ = dpi;
    font_.reset();
    boldFont_.reset();
}

void HintWindow::GetCreateParams(CreateParams& params) {
    params.style = WS_POPUP | WS_BORDER;
    params.exStyle = WS_EX_TOOLWINDOW;
    params.classStyle = CS_SAVEBITS;
    if (IsXpOrLater())
        params.classStyle |= CS_DROPSHADOW;
}

HWND HintWindow::Handle() {
    if (hwnd_)
        return hwnd_;
    CreateParams params;
    GetCreateParams(params);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(module, ClassName(), &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = params.classStyle;
        wc.lpfnWndProc = &HintWindow::WindowProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = ClassName();
        RegisterClassExA(&wc);
    }
    CreateWindowExA(params.exStyle, ClassName(), "", params.style, 0, 0, 0, 0, params.parent, nullptr, module, this);
    return hwnd_;
}

void HintWindow::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    TextChanged();
}

void HintWindow::TextChanged() {
    if (!hwnd_)
        return;
    const RECT r = CalcHintRect(GetSystemMetrics(SM_CXSCREEN), caption_, nullptr);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT HintWindow::CalcHintRect(int maxWidth, const std::string& hint, const void*) {
    RECT r{0, 0, maxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, HintFont(false));
    DrawTextA(dc, hint.c_str(), -1, &r, DT_CALCRECT | kDrawFlags);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r.right += ScaleForDpi(6, dpi_);
    r.bottom += ScaleForDpi(2, dpi_);
    return r;
}

void HintWindow::ActivateHint(RECT rect, const std::string& hint) {
    caption_ = hint;
    rect.bottom += ScaleForDpi(4, dpi_);
    HWND hwnd = Handle();
    ScreenBox box{rect.left, rect.top, rect.right, rect.bottom};
    // Kept on the monitor it was measured for, whose scale it has.
    const RECT m = MonitorRectAt({rect.left, rect.top});
    box = ClampToDesktop(box, {m.left, m.top, m.right, m.bottom});
    SetWindowPos(hwnd, HWND_TOPMOST, box.left, box.top, box.Width(), box.Height(), SWP_NOACTIVATE);
    BOOL animate = FALSE, fade = FALSE;
    if (IsXpOrLater() && SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animate, 0) && animate) {
        SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
        AnimateWindow(hwnd, 100, fade ? AW_BLEND : (AW_SLIDE | AW_VER_POSITIVE));
    }
    SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Application::Instance().Handle()));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void HintWindow::Hide() {
    if (hwnd_ && IsWindowVisible(hwnd_))
        ShowWindow(hwnd_, SW_HIDE);
}

RECT HintWindow::BoundsRect() const {
    RECT r{};
    if (hwnd_)
        GetWindowRect(hwnd_, &r);
    return r;
}

void HintWindow::SetBounds(const RECT& r) {
    SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void HintWindow::EraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    UniqueGdi<HBRUSH> brush(CreateSolidBrush(Color));
    FillRect(dc, &r, brush.get());
}

void HintWindow::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    r.left += ScaleForDpi(2, dpi_);
    r.top += ScaleForDpi(2, dpi_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SelectedObject font(dc, HintFont(false));
    DrawTextA(dc, caption_.c_str(), -1, &r, kDrawFlags);
}

void HintWindow::PaintNonClient(HDC dc) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    OffsetRect(&r, -r.left, -r.top);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

bool HintWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        result = 1;
        return true;
    case WM_PAINT: {
        PaintDC dc(hwnd_);
        Paint(dc.get());
        return true;
    }
    case WM_NCPAINT: {
        WindowDC dc(hwnd_, true);
        PaintNonClient(dc.get());
        return true;
    }
    case WM_NCHITTEST:
        result = HTTRANSPARENT;
        return true;
    case WM_MOUSEACTIVATE:
        // A hint never takes the activation from the window the user works in.
        result = MA_NOACTIVATE;
        return true;
    }
    return false;
}

LRESULT CALLBACK HintWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    HintWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<HintWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<HintWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (self) {
        try {
            LRESULT result = 0;
            if (self->HandleMessage(message, wParam, lParam, result))
                return result;
        } catch (...) {
            HandleCurrentException();
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace toolkit
