// The caption button's painting into the form's frame and its handling of the
// form's hit tests, presses and releases.
#include "ui/caption/CaptionButton.h"

#include <cstddef>

#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Form.h"
#include "ui/hook/MessageHook.h"

namespace ui {
namespace {
int SignedLow(std::intptr_t lParam) {
    return static_cast<short>(LOWORD(lParam));
}
int SignedHigh(std::intptr_t lParam) {
    return static_cast<short>(HIWORD(lParam));
}

toolkit::Form* FormOf(toolkit::Component* owner) {
    if (auto* form = dynamic_cast<toolkit::Form*>(owner))
        return form;
    if (auto* control = dynamic_cast<toolkit::Control*>(owner))
        return &control->Parent();
    return nullptr;
}

HFONT MakeFont(const std::string& name, int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str());
}
}  // namespace

unsigned GlyphStateOf(StandardButton standard) {
    switch (standard) {
    case StandardButton::Help:
        return DFCS_CAPTIONHELP;
    case StandardButton::Maximize:
        return DFCS_CAPTIONMAX;
    case StandardButton::Minimize:
        return DFCS_CAPTIONMIN;
    case StandardButton::Restore:
        return DFCS_CAPTIONRESTORE;
    case StandardButton::None:
    case StandardButton::Close:
        break;
    }
    return DFCS_CAPTIONCLOSE;
}

CaptionButton::CaptionButton(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), host_(FormOf(owner)) {
    // The defaults are the caption's own metrics at 96 DPI: like every
    // other value they are scaled to the form's DPI when used.
    NONCLIENTMETRICSW metrics{};
    if (!toolkit::NonClientMetricsForDpi(metrics, toolkit::kDesignDpi)) {
        metrics.iCaptionWidth = toolkit::SystemMetricForDpi(SM_CXSIZE, toolkit::kDesignDpi);
        metrics.iCaptionHeight = toolkit::SystemMetricForDpi(SM_CYSIZE, toolkit::kDesignDpi);
    }
    left_ = metrics.iCaptionWidth * 4 + 4;
    top_ = toolkit::SystemMetricForDpi(SM_CXFRAME, toolkit::kDesignDpi) + 2;
    width_ = metrics.iCaptionWidth;
    height_ = metrics.iCaptionHeight - 4;

    const MessageHandler handler = MakeMessageHandler<&CaptionButton::HookHandler>(this);
    RemoveMessageHook(host_, handler, MessageHookPlace::After);
    AddMessageHook(host_, handler, MessageHookPlace::After);
    InvalidateFrame();
}

CaptionButton::~CaptionButton() {
    RemoveMessageHook(host_, MakeMessageHandler<&CaptionButton::HookHandler>(this), MessageHookPlace::After);
    InvalidateFrame();
}

void CaptionButton::SetValue(int& field, int value) {
    if (field == value)
        return;
    field = value;
    InvalidateFrame();
}

void CaptionButton::SetStandard(StandardButton standard) {
    if (standard_ == standard)
        return;
    standard_ = standard;
    glyphState_ = GlyphStateOf(standard);
    InvalidateFrame();
}

void CaptionButton::SetButtonWidth(int value) {
    SetValue(width_, value);
}

void CaptionButton::SetButtonHeight(int value) {
    SetValue(height_, value);
}

void CaptionButton::SetAlignment(CaptionAlignment alignment) {
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    InvalidateFrame();
}

void CaptionButton::SetToggle(bool toggle) {
    if (press_.Toggle == toggle)
        return;
    press_.Toggle = toggle;
    InvalidateFrame();
}

void CaptionButton::SetCaption(const std::string& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    InvalidateFrame();
}

void CaptionButton::SetGlyph(HBITMAP glyph) {
    glyph_.reset(glyph ? static_cast<HBITMAP>(CopyImage(glyph, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
    InvalidateFrame();
}

void CaptionButton::SetFont(const std::string& name, int height) {
    fontName_ = name;
    fontHeight_ = height;
    font_.reset();
    InvalidateFrame();
}

// The font's height is given at 96 DPI; made again when the form's DPI changes.
HFONT CaptionButton::FontForDpi(int dpi) {
    if (!font_ || fontDpi_ != dpi) {
        font_.reset(MakeFont(fontName_, toolkit::ScaleForDpi(fontHeight_, dpi)));
        fontDpi_ = dpi;
    }
    return font_.get();
}

// The hit test and the press use the rectangle painted last; a DPI change
// moves the button before any paint, so both follow it at once.
void CaptionButton::UpdateBounds() {
    HWND hwnd = host_->Handle();
    RECT window;
    GetWindowRect(hwnd, &window);
    dpi_ = host_->Dpi();
    bounds_ = CaptionButtonBoundsForDpi(window.right - window.left, left_, top_, width_, height_, dpi_);
}

void CaptionButton::InvalidateFrame() {
    if (host_ && host_->Handle() && IsWindow(host_->Handle()))
        RedrawWindow(host_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void CaptionButton::PaintButton() {
    if (!host_ || !host_->Handle())
        return;
    HWND hwnd = host_->Handle();
    UpdateBounds();
    RECT r{bounds_.left, bounds_.top, bounds_.right, bounds_.bottom};
    toolkit::WindowDC dc(hwnd, true);
    if (!dc.get())
        return;
    PaintFace(dc.get(), r);
    if (standard_ != StandardButton::None)
        DrawFrameControl(dc.get(), &r, DFC_CAPTION, glyphState_ | (Down() ? DFCS_PUSHED : 0));
}

void CaptionButton::PaintFace(HDC dc, const RECT& bounds) {
    RECT r = bounds;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, Down() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    if (standard_ != StandardButton::None)
        return;
    // A button of our own: its bitmap, then its text, placed by the alignment.
    InflateRect(&r, -2, -2);
    if (Down())
        OffsetRect(&r, 1, 1);
    if (glyph_) {
        BITMAP bm{};
        GetObjectA(glyph_.get(), sizeof bm, &bm);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(glyph_.get()), 0, r.left,
                   r.top + (r.bottom - r.top - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight, DST_BITMAP);
        r.left += bm.bmWidth + 2;
    }
    if (caption_.empty())
        return;
    UINT align = DT_LEFT;
    if (alignment_ == CaptionAlignment::Right)
        align = DT_RIGHT;
    else if (alignment_ == CaptionAlignment::Center)
        align = DT_CENTER;
    toolkit::SelectedObject font(dc, FontForDpi(dpi_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CaptionButton::NotifyMouseDown(CaptionMouseButton button, unsigned shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
}

void CaptionButton::NotifyMouseUp(CaptionMouseButton button, unsigned shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void CaptionButton::Press(toolkit::WindowMessage& m) {
    HWND hwnd = host_->Handle();
    RECT window;
    GetWindowRect(hwnd, &window);
    const int x = SignedLow(m.LParam), y = SignedHigh(m.LParam);
    switch (press_.Press(bounds_, m.WParam == HTBORDER, x - window.left, y - window.top)) {
    case CaptionButtonPress::PressResult::Pressed:
        NotifyMouseDown(CaptionMouseButton::Left, MK_LBUTTON, x, y);
        SetCapture(hwnd);
        PaintButton();
        break;
    case CaptionButtonPress::PressResult::Cancelled:
        PaintButton();
        break;
    case CaptionButtonPress::PressResult::None:
        break;
    }
}

void CaptionButton::Release(toolkit::WindowMessage& m) {
    // The capture goes and the face comes up before the click runs, so a
    // handler that fails cannot leave the window holding the mouse.
    const bool click = press_.Release();
    if (GetCapture() == host_->Handle())
        ReleaseCapture();
    PaintButton();
    if (!click)
        return;
    NotifyMouseUp(CaptionMouseButton::Left, 0, SignedLow(m.LParam), SignedHigh(m.LParam));
    if (OnClick)
        OnClick(*this);
}

bool CaptionButton::HookHandler(toolkit::WindowMessage& m) {
    HWND hwnd = host_->Handle();
    switch (m.Msg) {
    case WM_DPICHANGED:
        UpdateBounds();
        InvalidateFrame();
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        // Repaints the caption in the colour of the window's state first.
        SendMessageA(hwnd, WM_NCACTIVATE, GetActiveWindow() == hwnd, 0);
        InvalidateFrame();
        break;
    case WM_SETTEXT:  // the caption text is repainted without WM_NCPAINT
    case WM_NCACTIVATE:
        InvalidateFrame();
        break;
    case WM_NCPAINT:
        PaintButton();
        break;
    case WM_NCHITTEST: {
        RECT window;
        GetWindowRect(hwnd, &window);
        if (press_.HitTest(bounds_, SignedLow(m.LParam) - window.left, SignedHigh(m.LParam) - window.top))
            m.Result = HTBORDER;
        break;
    }
    case WM_MOUSEMOVE:
        // No hit tests reach a window that holds the mouse: follow the pointer here.
        if (press_.Down() && GetCapture() == hwnd) {
            POINT p{SignedLow(m.LParam), SignedHigh(m.LParam)};
            ClientToScreen(hwnd, &p);
            RECT window;
            GetWindowRect(hwnd, &window);
            if (press_.Track(bounds_, p.x - window.left, p.y - window.top))
                PaintButton();
        }
        break;
    case WM_CAPTURECHANGED:
        if (press_.Down() && !press_.Toggle && reinterpret_cast<HWND>(m.LParam) != hwnd) {
            press_.Cancel();
            PaintButton();
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN:
        Press(m);
        break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        Release(m);
        break;
    }
    return false;
}

}  // namespace ui
