// Balloon-shaped hint windows: BalloonWindow, the application's hint window
// once balloons take over, and HelpBalloonWindow, the help balloon of a
// BalloonHint with its close button and show effect.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/hint/HintWindow.h"
#include "ui/balloon/BalloonGeometry.h"

namespace ui {

// The application's hint window once balloons take over.
constexpr char kBalloonWindowClass[] = "TBalloonWindow";
// The help balloon's window.
constexpr char kHelpBalloonWindowClass[] = "TBalloonWindowEx";

class BalloonHint;
struct BalloonRequest;

PixelRect ToPixelRect(const RECT& r);
RECT ToRect(const PixelRect& r);
PixelRect WorkArea();

class BalloonWindow : public toolkit::HintWindow {
public:
    BalloonWindow() = default;
    static toolkit::HintWindowClass Class();
    const char* ClassName() const override { return kBalloonWindowClass; }

    BalloonLayout Layout;  // placement, stem, content and text tops, lift
    bool HeadingVisible = false;
    bool IconVisible = false;
    std::string HeadingText;
    std::string MessageText;
    IconKind IconKind = IconKind::None;
    int ImageIndex = -1;
    int IconWidth = 0, IconHeight = 0;

    // The balloon's rectangle with its stem tip at (0, 0).
    RECT MeasureBalloon(int maxWidth, const std::string& message, const void* data);
    RECT CalcHintRect(int maxWidth, const std::string& hint, const void* data) override {
        return MeasureBalloon(maxWidth, hint, data);
    }
    void ActivateHint(RECT rect, const std::string& hint) override;

    void FitToWorkArea(RECT& rect);
    POINT StemPoint(const RECT& r) const;
    // The outline of the current size as the window region; kept as it was
    // when the platform refuses it.
    void ApplyShape();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void EraseBackground(HDC dc) override;
    void Paint(HDC dc) override;
    void PaintNonClient(HDC) override {}
    // The window keeps the size it was given; its text never resizes it.
    void TextChanged() override {}

    virtual PixelRect MeasureHeader(TextMeasurer& measurer, int maxWidth);
    virtual PixelRect MeasureText(TextMeasurer& measurer, int maxWidth);
    virtual void LoadDisplayData(const void* data);

    // Icon, message and heading in client coordinates.
    void PaintContent(HDC dc, int iconTop);
};

class HelpBalloonWindow : public BalloonWindow {
public:
    explicit HelpBalloonWindow(BalloonHint& owner) : OwnerHint(owner) {}
    const char* ClassName() const override { return kHelpBalloonWindowClass; }

    BalloonHint& OwnerHint;
    bool Anchored = false;
    bool CloseButtonShown = false;
    PixelRect CloseButtonRect;
    CloseButtonStates CloseButton;
    AnimationStyle ShowEffect = AnimationStyle::None;
    unsigned EffectTime = 100;

    // Fits, shapes, keeps on the desktop and shows the balloon topmost
    // without activating it; gives the rectangle as placed.
    RECT PresentBalloon(RECT rect);
    void MoveBalloonTo(POINT p);
    // Places the shown balloon afresh for its stem tip at `anchor` (screen):
    // placement chosen and flipped as when it was shown, kept on the desktop.
    // Gives the rectangle placed.
    RECT PlaceAt(POINT anchor);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(HDC dc) override;
    PixelRect MeasureHeader(TextMeasurer& measurer, int maxWidth) override;
    void LoadDisplayData(const void* data) override;

private:
    void PaintCloseButton(unsigned state, HDC dc = nullptr);
    bool Themed() const;
};

}  // namespace ui
