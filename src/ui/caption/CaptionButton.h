// A button drawn into a form's caption, left of the system's own buttons. It
// is no window: it paints into the form's frame and finds its clicks among
// the form's messages, which it watches after the form's own handling.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"
#include "ui/caption/CaptionButtonPress.h"

namespace toolkit {
class Form;
struct WindowMessage;
}  // namespace toolkit

namespace ui {

enum class StandardButton { None, Close, Help, Maximize, Minimize, Restore };
enum class CaptionAlignment { Left, Right, Center };
enum class CaptionMouseButton { Left, Right, Middle };

// The frame-control state that draws a standard button's glyph.
unsigned GlyphStateOf(StandardButton standard);

class CaptionButton : public toolkit::Component {
public:
    explicit CaptionButton(toolkit::Component* owner, std::string name = {});
    ~CaptionButton() override;

    StandardButton Standard() const { return standard_; }
    void SetStandard(StandardButton standard);
    unsigned GlyphState() const { return glyphState_; }

    // Place and size in pixels at 96 DPI, scaled for the DPI of the form's
    // monitor wherever the button is painted or hit.
    int ButtonLeft() const { return left_; }
    void SetButtonLeft(int value) { SetValue(left_, value); }
    int ButtonTop() const { return top_; }
    void SetButtonTop(int value) { SetValue(top_, value); }
    int ButtonWidth() const { return width_; }
    void SetButtonWidth(int value);
    int ButtonHeight() const { return height_; }
    void SetButtonHeight(int value);

    CaptionAlignment Alignment() const { return alignment_; }
    void SetAlignment(CaptionAlignment alignment);
    bool Toggle() const { return press_.Toggle; }
    void SetToggle(bool toggle);
    bool Down() const { return press_.Down(); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The bitmap shown on a button without a standard glyph; the button keeps a copy.
    void SetGlyph(HBITMAP glyph);
    void SetFont(const std::string& name, int height);

    // The rectangle last painted, in window coordinates, at the form's DPI.
    const PixelRect& ButtonBounds() const { return bounds_; }

    std::function<void(CaptionButton& sender)> OnClick;
    std::function<void(CaptionButton& sender, CaptionMouseButton button, unsigned shift, int x, int y)> OnMouseDown;
    std::function<void(CaptionButton& sender, CaptionMouseButton button, unsigned shift, int x, int y)> OnMouseUp;

    void PaintButton();
    void InvalidateFrame();

    // The form whose caption holds the button: the owner, or the form that
    // contains it. None when the owner is on no form.
    toolkit::Form* HostForm() const { return host_; }

protected:
    virtual void NotifyMouseDown(CaptionMouseButton button, unsigned shift, int x, int y);
    virtual void NotifyMouseUp(CaptionMouseButton button, unsigned shift, int x, int y);

private:
    bool HookHandler(toolkit::WindowMessage& m);
    void Press(toolkit::WindowMessage& m);
    void Release(toolkit::WindowMessage& m);
    void PaintFace(HDC dc, const RECT& r);
    void UpdateBounds();
    HFONT FontForDpi(int dpi);
    void SetValue(int& field, int value);

    toolkit::Form* host_ = nullptr;
    StandardButton standard_ = StandardButton::None;
    unsigned glyphState_ = 0;
    int left_, top_, width_, height_;
    CaptionAlignment alignment_ = CaptionAlignment::Left;
    std::string caption_;
    toolkit::UniqueGdi<HBITMAP> glyph_;
    toolkit::UniqueGdi<HFONT> font_;
    std::string fontName_ = "MS Sans Serif";
    int fontHeight_ = -11, fontDpi_ = 0;
    int dpi_ = 96;
    CaptionButtonPress press_;
    PixelRect bounds_;
};

}  // namespace ui
