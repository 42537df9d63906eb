// Visual-style drawing through the theme library, which is loaded from the
// system folder when first asked for instead of imported at start.
#pragma once

#include <windows.h>
#include <uxtheme.h>

namespace toolkit {

// Visual styles are on for this program; false without the theme library.
bool VisualStylesActive();

// A window's theme data for a class list, closed when it goes; empty when
// styles are off, the library is missing or the class is unknown.
class WindowTheme {
public:
    WindowTheme(HWND window, const wchar_t* classList);
    ~WindowTheme();
    WindowTheme(const WindowTheme&) = delete;
    WindowTheme& operator=(const WindowTheme&) = delete;

    explicit operator bool() const noexcept { return theme_ != nullptr; }
    // False when nothing was drawn.
    bool DrawBackground(HDC dc, int part, int state, const RECT& rect) const;

private:
    HTHEME theme_ = nullptr;
};

}  // namespace toolkit
