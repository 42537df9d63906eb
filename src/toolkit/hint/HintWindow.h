// The application's hint window: a borderless-looking popup in the tooltip
// colours that shows a control's hint below the pointer. Derived classes
// reshape, measure and paint it; the application creates its hint window
// from the hint window class in force.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/UniqueHandle.h"

namespace toolkit {

// The window class of the plain hint window.
constexpr char kHintWindowClass[] = "THintWindow";

class HintWindow;

// A kind of hint window the application can be told to use.
struct HintWindowClass {
    const char* Name = nullptr;
    std::unique_ptr<HintWindow> (*Create)() = nullptr;
    bool operator==(const HintWindowClass& other) const { return Create == other.Create; }
};

class HintWindow {
public:
    HintWindow();
    virtual ~HintWindow();
    HintWindow(const HintWindow&) = delete;
    HintWindow& operator=(const HintWindow&) = delete;

    static HintWindowClass Class();

    // The window, created at first need under the class name.
    HWND Handle();
    bool HandleAllocated() const { return hwnd_ != nullptr; }
    bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
    virtual const char* ClassName() const { return kHintWindowClass; }

    COLORREF Color;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // The rectangle a hint needs, at the origin.
    virtual RECT CalcHintRect(int maxWidth, const std::string& hint, const void* data);
    // Shows the hint in `rect` (screen), topmost, without taking the activation.
    virtual void ActivateHint(RECT rect, const std::string& hint);
    void Hide();

    RECT BoundsRect() const;
    void SetBounds(const RECT& r);

    // The system's hint font, normal or bold, for the window's DPI; the
    // window keeps them until the DPI changes.
    HFONT HintFont(bool bold);
    // The DPI of the monitor the hint shows on next; sizes and fonts follow it.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);

protected:
    struct CreateParams {
        DWORD style = 0, exStyle = 0;
        UINT classStyle = 0;
        HWND parent = nullptr;
    };
    virtual void GetCreateParams(CreateParams& params);
    // Called for every message first; true when handled, with the result.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void EraseBackground(HDC dc);
    virtual void Paint(HDC dc);
    virtual void PaintNonClient(HDC dc);
    // The plain window fits itself to a new text.
    virtual void TextChanged();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
    std::string caption_;
    UniqueGdi<HFONT> font_, boldFont_;
    int dpi_ = 96;
};

// Whether the system is Windows XP (5.1) or later.
bool IsXpOrLater();

}  // namespace toolkit
