// Control hints: pointer tracking from dispatched messages, the hint timer on
// the application window, and the hint window shown below the pointer.
#include "toolkit/hint/ApplicationHints.h"


#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Form.h"

namespace toolkit {

ApplicationHints::ApplicationHints() : class_(HintWindow::Class()) {}

ApplicationHints::~ApplicationHints() = default;

void ApplicationHints::SetWindowClass(const HintWindowClass& windowClass) {
    if (windowClass == class_)
        return;
    class_ = windowClass;
    // A window of the old kind may belong to a component that is going away.
    timing_.Dismiss();
    window_.reset();
}

const Control* ApplicationHints::HintedControl(HWND window) const {
    const Control* c = Application::Instance().ControlOf(window);
    if (!c || !c->ShowHint || ShortHint(c->Hint).empty())
        return nullptr;
    return c;
}

void ApplicationHints::SyncPauses() {
    Application& app = Application::Instance();
    timing_.Pauses = {app.HintPause, app.HintShortPause, app.HintHidePause};
}

void ApplicationHints::PointerOver(HWND window) {
    SyncPauses();
    const Control* c = HintedControl(window);
    if (c && c->Handle() != tracked_) {
        // Told when the pointer leaves the control for a window not ours.
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, c->Handle(), 0};
        if (TrackMouseEvent(&track))
            tracked_ = c->Handle();
    }
    timing_.PointerOver(c);
}

void ApplicationHints::BeforeDispatch(const MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        PointerOver(msg.hwnd);
        break;
    case WM_MOUSELEAVE: {
        if (msg.hwnd == tracked_)
            tracked_ = nullptr;
        POINT p;
        GetCursorPos(&p);
        PointerOver(WindowFromPoint(p));
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        timing_.Dismiss();
        break;
    }
}

void ApplicationHints::ControlGone(const Control* control) {
    if (control && control->Handle() == tracked_)
        tracked_ = nullptr;
    timing_.Forget(control);
}

void ApplicationHints::TimerFired() {
    // The platform timer repeats: the timing starts the next one itself.
    StopHintTimer();
    SyncPauses();
    timing_.TimerFired();
}

void ApplicationHints::StartHintTimer(int ms) {
    Application& app = Application::Instance();
    if (app.Handle())
        SetTimer(app.Handle(), kTimerId, static_cast<UINT>(ms > 0 ? ms : 1), nullptr);
}

void ApplicationHints::StopHintTimer() {
    if (HWND h = Application::Instance().Handle())
        KillTimer(h, kTimerId);
}

bool ApplicationHints::ShowHint(const void* control) {
    const auto* c = static_cast<const Control*>(control);
    HWND form = c->Parent().Handle();
    // Like the platform's tooltips: nothing for a disabled control or over a
    // window that a dialog has disabled.
    if (!IsWindowVisible(c->Handle()) || !IsWindowEnabled(c->Handle()) || !IsWindowEnabled(form) ||
        !IsWindowVisible(form))
        return false;
    POINT p;
    GetCursorPos(&p);
    if (HintedControl(WindowFromPoint(p)) != c)
        return false;
    if (!window_ || !(windowClass_ == class_)) {
        window_ = class_.Create();
        windowClass_ = class_;
    }
    const std::string text = ShortHint(c->Hint);
    window_->SetDpi(DpiForPoint(p));
    RECT r = window_->CalcHintRect(GetSystemMetrics(SM_CXSCREEN), text, nullptr);
    OffsetRect(&r, p.x, p.y + CursorBottomMargin());
    window_->Color = Application::Instance().HintColorRGB();
    window_->ActivateHint(r, text);
    return true;
}

void ApplicationHints::HideHint() {
    if (window_)
        window_->Hide();
}

int CursorBottomMargin() {
    const int fallback = GetSystemMetrics(SM_CYCURSOR);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    ICONINFO icon{};
    if (!GetCursorInfo(&info) || !info.hCursor || !GetIconInfo(info.hCursor, &icon))
        return fallback;
    UniqueGdi<HBITMAP> mask(icon.hbmMask), colour(icon.hbmColor);
    BITMAP bm{};
    if (!mask || !GetObjectA(mask.get(), sizeof bm, &bm) || bm.bmWidth <= 0)
        return fallback;
    // A monochrome cursor's mask holds the AND rows over the XOR rows.
    const int height = colour ? bm.bmHeight : bm.bmHeight / 2;
    const int stride = ((bm.bmWidth + 31) / 32) * 4;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } bi{};
    bi.header.biSize = sizeof bi.header;
    bi.header.biWidth = bm.bmWidth;
    bi.header.biHeight = -bm.bmHeight;  // top-down
    bi.header.biPlanes = 1;
    bi.header.biBitCount = 1;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    const int got = GetDIBits(dc, mask.get(), 0, bm.bmHeight, bits.data(),
                              reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (got <= 0)
        return fallback;
    auto bit = [&](int row, int x) { return (bits[row * stride + x / 8] >> (7 - x % 8)) & 1; };
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            const bool opaque = bit(row, x) == 0;
            const bool inverted = !colour && bit(row + height, x) == 1;
            if (opaque || inverted)
                return row + 1 - static_cast<int>(icon.yHotspot);
        }
    }
    return fallback;
}

}  // namespace toolkit
