// Balloon windows: measuring with the hint fonts, fitting to the work area,
// the outline as window region, presenting, painting and the close button.
#include "ui/balloon/BalloonWindow.h"

#include <uxtheme.h>

#include "toolkit/Application.h"
#include "toolkit/DesktopClamp.h"
#include "toolkit/Dpi.h"
#include "toolkit/DpiScale.h"
#include "toolkit/UniqueHandle.h"
#include "ui/balloon/BalloonController.h"
#include "ui/balloon/BalloonHint.h"

namespace ui {
namespace {
constexpr UINT kDrawFlags = DT_WORDBREAK | DT_NOPREFIX;
// The tooltip class's close part and its states, for visual styles.
constexpr int kTooltipClosePart = 5, kCloseNormal = 1, kCloseHot = 2, kClosePressed = 3;

using AnimateWindowProc = BOOL(WINAPI*)(HWND, DWORD, DWORD);

// Looked up once by name: a system without it shows balloons without effect.
AnimateWindowProc AnimateWindowEntry() {
    static const auto entry = reinterpret_cast<AnimateWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AnimateWindow")));
    return entry;
}

class DcTextMeasurer : public TextMeasurer {
public:
    explicit DcTextMeasurer(toolkit::HintWindow& window) : window_(window) {}
    PixelRect Measure(const std::string& text, bool bold, int maxWidth) override {
        RECT r{0, 0, maxWidth, 0};
        toolkit::WindowDC dc(nullptr);
        toolkit::SelectedObject font(dc.get(), window_.HintFont(bold));
        DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | kDrawFlags);
        return ToPixelRect(r);
    }

private:
    toolkit::HintWindow& window_;
};

// The outline of `layout` for a w x h window, as a region.
HRGN MakeShapeRegion(const BalloonLayout& layout, int w, int h) {
    const BalloonShape shape = layout.Shape(w, h);
    POINT points[3];
    for (int i = 0; i < 3; ++i)
        points[i] = {shape.triangle[i].x, shape.triangle[i].y};
    toolkit::UniqueGdi<HRGN> triangle(CreatePolygonRgn(points, 3, WINDING));
    toolkit::UniqueGdi<HRGN> body(CreateRoundRectRgn(shape.body.left, shape.body.top, shape.body.right,
                                                     shape.body.bottom, shape.corner, shape.corner));
    if (!triangle || !body)
        return nullptr;
    CombineRgn(triangle.get(), triangle.get(), body.get(), RGN_OR);
    return triangle.release();
}

// The monitor whose scale the balloon was measured for: the one its rectangle
// starts on, so it is not split over two monitors of different scales.
toolkit::ScreenBox MonitorOf(const RECT& r) {
    const RECT m = toolkit::MonitorRectAt({r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2});
    return {m.left, m.top, m.right, m.bottom};
}

using toolkit::ScaleForDpi;
}  // namespace

PixelRect ToPixelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const PixelRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

PixelRect WorkArea() {
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ToPixelRect(r);
}

toolkit::HintWindowClass BalloonWindow::Class() {
    return {kBalloonWindowClass, [] { return std::unique_ptr<toolkit::HintWindow>(new BalloonWindow()); }};
}

void BalloonWindow::LoadDisplayData(const void*) {
    BalloonHint& hint = BalloonController::Instance().ActiveBalloonHint();
    const ApplicationHintOptions options = hint.HintOptions();
    IconKind = hint.DefaultIcon;
    ImageIndex = hint.DefaultImageIndex;
    IconVisible = options.Has(ApplicationHintOption::ShowIconInHint) && IconKind != IconKind::None &&
                  !(IconKind == IconKind::Custom && ImageIndex <= -1);
    HeadingVisible = options.Has(ApplicationHintOption::ShowHeaderInHint) && !hint.DefaultHeader.empty();
    HeadingText = hint.DefaultHeader;
    Layout.Placement = hint.DefaultBalloonPosition;
    const SIZE icon = BalloonController::Instance().IconSize(IconKind, ImageIndex);
    IconWidth = icon.cx;
    IconHeight = icon.cy;
    Layout.RaiseHeight = GetSystemMetrics(SM_CYCURSOR);
}

PixelRect BalloonWindow::MeasureHeader(TextMeasurer& measurer, int maxWidth) {
    return MeasureHeadingRow(measurer, maxWidth, {HeadingVisible, HeadingText, IconVisible, IconWidth, IconHeight},
                             Dpi());
}

PixelRect BalloonWindow::MeasureText(TextMeasurer& measurer, int maxWidth) {
    return MeasureMessage(measurer, maxWidth, MessageText, Dpi());
}

RECT BalloonWindow::MeasureBalloon(int maxWidth, const std::string& message, const void* data) {
    LoadDisplayData(data);
    Layout.Dpi = Dpi();
    MessageText = message;
    DcTextMeasurer measurer(*this);
    const PixelRect text = MeasureText(measurer, maxWidth);
    const PixelRect header = MeasureHeader(measurer, maxWidth);
    return ToRect(Layout.Compose(header, text));
}

void BalloonWindow::FitToWorkArea(RECT& rect) {
    PixelRect r = ToPixelRect(rect);
    Layout.FitToWorkArea(r, ToPixelRect(toolkit::WorkAreaAt(StemPoint(rect))));
    rect = ToRect(r);
}

POINT BalloonWindow::StemPoint(const RECT& r) const {
    const PixelPoint p = Layout.StemPoint(ToPixelRect(r));
    return {p.x, p.y};
}

void BalloonWindow::ApplyShape() {
    if (!HandleAllocated())
        return;
    const RECT r = BoundsRect();
    toolkit::UniqueGdi<HRGN> region(MakeShapeRegion(Layout, r.right - r.left, r.bottom - r.top));
    // The window owns the region once it takes it.
    if (region && SetWindowRgn(Handle(), region.get(), FALSE))
        region.release();
}

void BalloonWindow::ActivateHint(RECT rect, const std::string& hint) {
    if (Visible())
        ShowWindow(Handle(), SW_HIDE);
    FitToWorkArea(rect);
    SetBounds({rect.left, rect.top, rect.right, rect.bottom + ScaleForDpi(4, Dpi())});
    ApplyShape();
    if (BalloonController::Instance().ActiveBalloonHint().HintOptions().Has(ApplicationHintOption::PlaySound))
        BalloonController::Instance().PlayIconSound(BalloonController::Instance().ActiveBalloonHint().DefaultIcon);
    HintWindow::ActivateHint(rect, hint);
}

bool BalloonWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_SHOWWINDOW && wParam)
        ApplyShape();
    return HintWindow::HandleMessage(message, wParam, lParam, result);
}

void BalloonWindow::EraseBackground(HDC dc) {
    const RECT r = BoundsRect();
    toolkit::UniqueGdi<HRGN> region(MakeShapeRegion(Layout, r.right - r.left, r.bottom - r.top));
    if (!region)
        return;
    // The client area starts inside the one-pixel border.
    OffsetRgn(region.get(), -1, -1);
    toolkit::UniqueGdi<HBRUSH> brush(CreateSolidBrush(Color));
    FillRgn(dc, region.get(), brush.get());
    FrameRgn(dc, region.get(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
}

void BalloonWindow::PaintContent(HDC dc, int iconTop) {
    RECT client;
    GetClientRect(Handle(), &client);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    const int top = Layout.ContentTop, left = ScaleForDpi(12, Dpi());
    iconTop = ScaleForDpi(iconTop, Dpi());
    if (IconVisible)
        BalloonController::Instance().DrawIcon(dc, left, top + iconTop, IconKind, ImageIndex, Color);
    if (!MessageText.empty()) {
        RECT r = client;
        r.left += left;
        r.top += top + Layout.TextTop;
        toolkit::SelectedObject font(dc, HintFont(false));
        DrawTextA(dc, MessageText.c_str(), -1, &r, kDrawFlags);
    }
    if (HeadingVisible) {
        RECT r = client;
        r.left += left + (IconVisible ? IconWidth + ScaleForDpi(8, Dpi()) : 0);
        r.top += top + ScaleForDpi(8, Dpi());
        toolkit::SelectedObject font(dc, HintFont(true));
        DrawTextA(dc, HeadingText.c_str(), -1, &r, kDrawFlags);
    }
}

void BalloonWindow::Paint(HDC dc) {
    PaintContent(dc, 8);
}

// ---- Help balloons ------------------------------------------------------------------

void HelpBalloonWindow::LoadDisplayData(const void* data) {
    const auto& request = *static_cast<const BalloonRequest*>(data);
    Color = toolkit::Application::Instance().HintColorRGB();
    HeadingText = request.Heading;
    HeadingVisible = !HeadingText.empty();
    IconKind = request.BalloonIcon;
    ImageIndex = request.BalloonImage;
    IconVisible = !(IconKind == IconKind::None || (IconKind == IconKind::Custom && ImageIndex == -1));
    CloseButtonShown = request.CloseButtonShown;
    EffectTime = request.EffectTime;
    ShowEffect = request.ShowEffect;
    Layout.RaiseHeight = request.RaiseHeight;
    Anchored = request.TargetForm != nullptr;
    const SIZE icon = BalloonController::Instance().IconSize(IconKind, ImageIndex);
    IconWidth = icon.cx;
    IconHeight = icon.cy;
    Layout.Placement = OwnerHint.DefaultBalloonPosition;
}

PixelRect HelpBalloonWindow::MeasureHeader(TextMeasurer& measurer, int maxWidth) {
    const PixelRect row = BalloonWindow::MeasureHeader(measurer, maxWidth);
    return CloseButtonShown ? WithCloseButton(row, Dpi()) : row;
}

RECT HelpBalloonWindow::PresentBalloon(RECT rect) {
    FitToWorkArea(rect);
    HWND hwnd = Handle();
    if (IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_HIDE);
    SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT,
                      reinterpret_cast<LONG_PTR>(Anchored ? toolkit::Application::Instance().Handle() : nullptr));
    SetBounds(rect);
    ApplyShape();
    SetBounds(rect);
    const toolkit::ScreenBox placed =
        toolkit::ClampToDesktop({rect.left, rect.top, rect.right, rect.bottom}, MonitorOf(rect));
    rect = {placed.left, placed.top, placed.right, placed.bottom};
    SetWindowPos(hwnd, HWND_TOPMOST, rect.left, rect.top, placed.Width(), placed.Height(), SWP_NOACTIVATE);
    if (ShowEffect != AnimationStyle::None && toolkit::IsXpOrLater())
        if (AnimateWindowProc animate = AnimateWindowEntry())
            animate(hwnd, EffectTime, AnimationFlags(ShowEffect, Layout.Placement));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return rect;
}

void HelpBalloonWindow::MoveBalloonTo(POINT p) {
    const RECT r = BoundsRect();
    SetBounds({p.x, p.y, p.x + r.right - r.left, p.y + r.bottom - r.top});
}

RECT HelpBalloonWindow::PlaceAt(POINT anchor) {
    const RECT now = BoundsRect();
    const int w = now.right - now.left, h = now.bottom - now.top;
    Layout.Placement = OwnerHint.DefaultBalloonPosition;
    const PixelPoint o = Layout.StemOffset(w, h);
    RECT rect{anchor.x + o.x, anchor.y + o.y, anchor.x + o.x + w, anchor.y + o.y + h};
    FitToWorkArea(rect);
    SetBounds(rect);
    ApplyShape();
    const toolkit::ScreenBox placed =
        toolkit::ClampToDesktop({rect.left, rect.top, rect.right, rect.bottom}, MonitorOf(rect));
    rect = {placed.left, placed.top, placed.right, placed.bottom};
    SetBounds(rect);
    // The stem may have moved to the other edge: the content moves with it.
    InvalidateRect(Handle(), nullptr, TRUE);
    return rect;
}

bool HelpBalloonWindow::Themed() const {
    return IsAppThemed() && IsThemeActive();
}

void HelpBalloonWindow::PaintCloseButton(unsigned state, HDC dc) {
    if (!CloseButton.Paint(state))
        return;
    toolkit::WindowDC own(dc ? nullptr : Handle());
    if (!dc)
        dc = own.get();
    RECT r = ToRect(CloseButtonRect);
    if (Themed()) {
        if (HTHEME theme = OpenThemeData(Handle(), L"TOOLTIP")) {
            const bool pushed = state & CloseButtonStates::kPushed, hot = state & CloseButtonStates::kHot;
            const int part = pushed && hot ? kClosePressed : hot ? kCloseHot : kCloseNormal;
            DrawThemeBackground(theme, dc, kTooltipClosePart, part, &r, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT | state);
}

void HelpBalloonWindow::Paint(HDC dc) {
    if (CloseButtonShown) {
        RECT client;
        GetClientRect(Handle(), &client);
        CloseButtonRect = ui::CloseButtonRect(client.right, Layout.ContentTop, Themed(), Dpi());
        CloseButton.Forget();
        PaintCloseButton(CloseButtonStates::kTransparent, dc);
    }
    PaintContent(dc, 7);
}

bool HelpBalloonWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const bool inside = CloseButtonRect.Contains(p.x, p.y);
    switch (message) {
    case WM_NCHITTEST:
        // With a close button the balloon takes the mouse; without one the
        // mouse reaches what lies below.
        result = CloseButtonShown ? HTCLIENT : HTTRANSPARENT;
        return true;
    case WM_LBUTTONDOWN:
        // A control holds the mouse from press to release.
        SetCapture(Handle());
        if (CloseButtonShown && inside)
            PaintCloseButton(CloseButton.Press(true));
        return true;
    case WM_MOUSEMOVE:
        if (CloseButtonShown) {
            PaintCloseButton(CloseButton.Move(inside));
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
        }
        return true;
    case WM_MOUSELEAVE:
        if (CloseButtonShown && GetCapture() != Handle())
            PaintCloseButton(CloseButton.Move(false));
        return true;
    case WM_LBUTTONUP: {
        bool hide = false;
        if (CloseButtonShown && CloseButton.ReleaseEndsPress()) {
            PaintCloseButton(CloseButton.Release());
            hide = inside;
        }
        // Whether or not the press ended on the button, the mouse goes back:
        // a press dragged off the button must not leave it captured.
        if (GetCapture() == Handle())
            ReleaseCapture();
        if (hide)
            OwnerHint.HideBalloon();
        return true;
    }
    case WM_ACTIVATEAPP:
        if (Anchored && !wParam)
            OwnerHint.HideBalloon();
        break;
    }
    return BalloonWindow::HandleMessage(message, wParam, lParam, result);
}

}  // namespace ui
