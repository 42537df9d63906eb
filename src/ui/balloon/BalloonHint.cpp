// Help balloons: the request, the anchor on the form, presenting, the form
// tracking through the window message hook, the close timer, and the take-over
// of the application's hint window class.
#include "ui/balloon/BalloonHint.h"


#include <map>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Form.h"
#include "ui/balloon/BalloonController.h"
#include "ui/hook/MessageHook.h"

namespace ui {
namespace {
// Close timers run without a window: their callback finds its hint here.
std::map<UINT_PTR, BalloonHint*>& CloseTimers() {
    static std::map<UINT_PTR, BalloonHint*> timers;
    return timers;
}

MessageHandler TrackerOf(BalloonHint* hint);

POINT ClientToScreenOf(toolkit::Form* form, POINT p) {
    if (form)
        ClientToScreen(form->Handle(), &p);
    return p;
}

POINT ScreenToClientOf(toolkit::Form* form, POINT p) {
    if (form)
        ScreenToClient(form->Handle(), &p);
    return p;
}
}  // namespace

BalloonHint::BalloonHint(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), window_(std::make_unique<HelpBalloonWindow>(*this)) {
    BalloonController::Instance().SetActiveBalloonHint(this);
}

BalloonHint::~BalloonHint() {
    HideBalloon();
    StopCloseTimer();
    SetHintOptions({});
    // The controller lets go of this hint before its window goes.
    NotifyRemoval();
}

void BalloonHint::SetHintOptions(ApplicationHintOptions options) {
    if (options == appHintOptions_)
        return;
    const bool before = appHintOptions_.Has(ApplicationHintOption::UseBalloonAsHint);
    appHintOptions_ = options;
    if (before == options.Has(ApplicationHintOption::UseBalloonAsHint))
        return;
    // Only the hint in charge may take the hint windows over.
    BalloonController* ctrl = BalloonController::Existing();
    if (!ctrl || ctrl->Current() != this)
        appHintOptions_.Exclude(ApplicationHintOption::UseBalloonAsHint);
    toolkit::Application& app = toolkit::Application::Instance();
    if (appHintOptions_.Has(ApplicationHintOption::UseBalloonAsHint)) {
        if (!tookOver_) {
            savedHintWindowClass_ = app.GetHintWindowClass();
            tookOver_ = true;
        }
        app.SetHintWindowClass(BalloonWindow::Class());
    } else if (tookOver_) {
        // Given back only by the hint that took it: one refused the take-over
        // has nothing saved to give back.
        tookOver_ = false;
        app.SetHintWindowClass(savedHintWindowClass_);
    }
}

void BalloonHint::ShowBalloon(toolkit::Component* control, const std::string& message, const std::string& heading,
                               int displayTime) {
    auto* form = dynamic_cast<toolkit::Form*>(control);
    auto* ctl = dynamic_cast<toolkit::Control*>(control);
    if (!form && !ctl)
        return;
    HideBalloon();
    request_ = {};
    request_.Message = message;
    request_.Heading = heading;
    request_.DisplayTime = displayTime;
    request_.BalloonIcon = IconKind::None;

    // The anchor: the bottom centre, in the form's client coordinates.
    if (form) {
        RECT outer, client;
        GetWindowRect(form->Handle(), &outer);
        GetClientRect(form->Handle(), &client);
        request_.TargetForm = form;
        request_.BalloonOrigin = {(outer.right - outer.left) / 2, client.bottom};
        request_.RaiseHeight = outer.bottom - outer.top;
    } else {
        request_.TargetForm = &ctl->Parent();
        RECT r;
        GetWindowRect(ctl->Handle(), &r);
        MapWindowPoints(nullptr, request_.TargetForm->Handle(), reinterpret_cast<POINT*>(&r), 2);
        request_.BalloonOrigin = {r.left + (r.right - r.left) / 2, r.bottom};
        request_.RaiseHeight = r.bottom - r.top;
    }

    anchor_ = request_.BalloonOrigin;

    if (Options.Has(BalloonOption::UseDefaultHeader))
        request_.Heading = DefaultHeader;
    if (Options.Has(BalloonOption::UseDefaultIcon))
        request_.BalloonIcon = DefaultIcon;
    if (Options.Has(BalloonOption::UseDefaultImageIndex))
        request_.BalloonImage = DefaultImageIndex;
    request_.CloseButtonShown = Options.Has(BalloonOption::ShowCloseButton);

    BOOL animate = FALSE, fade = FALSE;
    SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
    SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    const bool custom = Options.Has(BalloonOption::CustomAnimation);
    request_.ShowEffect = ChooseShowEffect(toolkit::IsXpOrLater(), custom, CustomAnimationStyle, animate, fade);
    request_.EffectTime = custom ? CustomAnimationTime : 100;

    shown_ = true;
    AddMessageHook(request_.TargetForm, TrackerOf(this), MessageHookPlace::Before);
    // A form destroyed under a shown balloon takes the balloon with it.
    formNotice_ = request_.TargetForm->AddRemovalNotice([this](toolkit::Component*) {
        formNotice_ = 0;
        HideBalloon();
    });

    // Measured for the monitor its stem points into.
    const POINT anchor = ClientToScreenOf(request_.TargetForm, request_.BalloonOrigin);
    window_->SetDpi(toolkit::DpiForPoint(anchor));
    RECT rect = window_->MeasureBalloon(GetSystemMetrics(SM_CXSCREEN), request_.Message, &request_);
    OffsetRect(&rect, anchor.x, anchor.y);
    if (Options.Has(BalloonOption::PlaySound))
        BalloonController::Instance().PlayIconSound(request_.BalloonIcon);
    rect = window_->PresentBalloon(rect);

    request_.BalloonOrigin = ScreenToClientOf(request_.TargetForm, {rect.left, rect.top});
    request_.StemTip = ScreenToClientOf(request_.TargetForm, window_->StemPoint(window_->BoundsRect()));

    if (request_.DisplayTime > 0)
        StartCloseTimer();

    // Takes the mouse for a moment, unless another window holds it; what
    // another window holds is left to it.
    if (!GetCapture()) {
        SetCapture(window_->Handle());
        if (GetCapture() == window_->Handle())
            ReleaseCapture();
    }
}

void BalloonHint::HideBalloon() {
    if (!shown_)
        return;
    shown_ = false;
    StopCloseTimer();
    toolkit::Form* form = request_.TargetForm;
    if (form) {
        RemoveMessageHook(form, TrackerOf(this), MessageHookPlace::Before);
        if (formNotice_)
            form->RemoveRemovalNotice(formNotice_);
        formNotice_ = 0;
    }
    if (window_->HandleAllocated() && GetCapture() == window_->Handle())
        ReleaseCapture();
    window_->Hide();
}

bool BalloonHint::FormTracker(toolkit::WindowMessage& m) {
    toolkit::Form* form = request_.TargetForm;
    switch (m.Msg) {
    case WM_MOVE: {
        const POINT origin = ClientToScreenOf(form, request_.BalloonOrigin);
        RECT moved = window_->BoundsRect();
        OffsetRect(&moved, origin.x - moved.left, origin.y - moved.top);
        const PixelRect wa = WorkArea();
        if (moved.left >= wa.left && moved.top >= wa.top && moved.right <= wa.right && moved.bottom <= wa.bottom) {
            window_->MoveBalloonTo(origin);
            break;
        }
        // Carried along it would leave the screen's usable area: placed
        // afresh on the box instead, as when it was shown.
        const RECT placed = window_->PlaceAt(ClientToScreenOf(form, anchor_));
        request_.BalloonOrigin = ScreenToClientOf(form, {placed.left, placed.top});
        request_.StemTip = ScreenToClientOf(form, window_->StemPoint(window_->BoundsRect()));
        break;
    }
    case WM_SIZE: {
        RECT client;
        GetClientRect(form->Handle(), &client);
        if (!PtInRect(&client, request_.StemTip))
            HideBalloon();
        break;
    }
    case WM_CLOSE:
    case WM_SHOWWINDOW:
    case WM_DPICHANGED:  // measured for the old scale; the box it points at moves
        HideBalloon();
        break;
    }
    return false;
}

void BalloonHint::StartCloseTimer() {
    StopCloseTimer();
    closeTimerId_ = SetTimer(nullptr, 0, static_cast<UINT>(request_.DisplayTime), &BalloonHint::CloseTimerProc);
    if (closeTimerId_ == 0) {
        HideBalloon();
        return;
    }
    CloseTimers()[closeTimerId_] = this;
}

void BalloonHint::StopCloseTimer() {
    if (closeTimerId_ == 0)
        return;
    KillTimer(nullptr, closeTimerId_);
    CloseTimers().erase(closeTimerId_);
    closeTimerId_ = 0;
}

void CALLBACK BalloonHint::CloseTimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    try {
        const auto it = CloseTimers().find(id);
        if (it == CloseTimers().end()) {
            // A platform timer repeats: one whose balloon is gone must not live on.
            KillTimer(nullptr, id);
            return;
        }
        it->second->HideBalloon();
    } catch (...) {
        toolkit::HandleCurrentException();
    }
}

namespace {
MessageHandler TrackerOf(BalloonHint* hint) {
    return MakeMessageHandler<&BalloonHint::FormTracker>(hint);
}
}  // namespace

}  // namespace ui
