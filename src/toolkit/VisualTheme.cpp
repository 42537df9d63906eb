// The theme library's few calls the program makes, looked up at first use.
#include "toolkit/VisualTheme.h"

#include "toolkit/DelayedLibrary.h"

namespace toolkit {
namespace {

DelayedLibrary& ThemeLibrary() {
    static DelayedLibrary uxtheme("uxtheme.dll");
    return uxtheme;
}

template <typename Function>
Function ThemeCall(const char* name) {
    return ThemeLibrary().Find<Function>(name);
}

}  // namespace

bool VisualStylesActive() {
    using StateFn = BOOL(WINAPI*)();
    const auto appThemed = ThemeCall<StateFn>("IsAppThemed");
    const auto themeActive = ThemeCall<StateFn>("IsThemeActive");
    return appThemed && themeActive && appThemed() && themeActive();
}

WindowTheme::WindowTheme(HWND window, const wchar_t* classList) {
    using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    if (const auto open = ThemeCall<OpenFn>("OpenThemeData"))
        theme_ = open(window, classList);
}

WindowTheme::~WindowTheme() {
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    if (!theme_)
        return;
    if (const auto close = ThemeCall<CloseFn>("CloseThemeData"))
        close(theme_);
}

bool WindowTheme::DrawBackground(HDC dc, int part, int state, const RECT& rect) const {
    using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    const auto draw = theme_ ? ThemeCall<DrawFn>("DrawThemeBackground") : nullptr;
    return draw && SUCCEEDED(draw(theme_, dc, part, state, &rect, nullptr));
}

}  // namespace toolkit
