// The balloon hint component: shows help balloons that point at a control of
// a form, follows the form while one shows, closes it after its display time,
// and, while it is the hint in charge, turns the application's control hints
// into balloons.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/hint/HintWindow.h"
#include "ui/balloon/BalloonTypes.h"
#include "ui/balloon/BalloonWindow.h"

namespace toolkit {
class ImageList;
class Form;
struct WindowMessage;
}  // namespace toolkit

namespace ui {

// What one help balloon shows and where.
struct BalloonRequest {
    toolkit::Form* TargetForm = nullptr;
    POINT BalloonOrigin{};  // the anchor, then the window's top-left (form client coordinates)
    POINT StemTip{};        // form client coordinates
    std::string Heading;
    std::string Message;
    IconKind BalloonIcon = IconKind::None;
    int BalloonImage = -1;
    int DisplayTime = 0;  // ms; 0 or less: it stays
    bool CloseButtonShown = false;
    AnimationStyle ShowEffect = AnimationStyle::None;
    unsigned EffectTime = 100;
    int RaiseHeight = 0;
};

class BalloonHint : public toolkit::Component {
public:
    explicit BalloonHint(toolkit::Component* owner, std::string name = {});
    ~BalloonHint() override;

    BalloonOptions Options{BalloonOption::ShowCloseButton};
    IconKind DefaultIcon = IconKind::Information;
    std::string DefaultHeader;
    int DefaultImageIndex = -1;
    BalloonPosition DefaultBalloonPosition = BalloonPosition::Auto;
    AnimationStyle CustomAnimationStyle = AnimationStyle::Blend;
    unsigned CustomAnimationTime = 100;
    toolkit::ImageList* Images = nullptr;  // for IconKind::Custom

    ApplicationHintOptions HintOptions() const { return appHintOptions_; }
    // Takes effect at once: with UseBalloonAsHint (and only while this is the
    // hint in charge) application hints are shown as balloons.
    void SetHintOptions(ApplicationHintOptions options);

    // A balloon pointing at the bottom centre of `control` (a control or a
    // form); nothing for none.
    void ShowBalloon(toolkit::Component* control, const std::string& message, const std::string& heading,
                     int displayTime);
    void HideBalloon();

    bool BalloonShown() const { return shown_; }
    UINT_PTR CloseTimerId() const { return closeTimerId_; }
    const BalloonRequest& Request() const { return request_; }
    HelpBalloonWindow& Window() { return *window_; }

    // Hooked before the target form's own handling while a balloon shows;
    // never consumes a message.
    bool FormTracker(toolkit::WindowMessage& m);

private:
    void StartCloseTimer();
    void StopCloseTimer();
    static void CALLBACK CloseTimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept;

    std::unique_ptr<HelpBalloonWindow> window_;
    ApplicationHintOptions appHintOptions_{ApplicationHintOption::ShowHeaderInHint,
                                           ApplicationHintOption::ShowIconInHint};
    bool tookOver_ = false;
    toolkit::HintWindowClass savedHintWindowClass_;
    bool shown_ = false;
    UINT_PTR closeTimerId_ = 0;
    int formNotice_ = 0;
    POINT anchor_{};  // form client coordinates
    BalloonRequest request_;
};

}  // namespace ui
