// Form windows: creation from a pixel layout, the window procedure that binds
// the C++ object, close requests, cursors of controls, show and hide.
#include "toolkit/Form.h"

#include <algorithm>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/ErrorReport.h"

namespace toolkit {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

void RegisterFormClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(instance, kFormWindowClass, &wc))
        return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window at WM_NCCREATE binding
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = kFormWindowClass;
    RegisterClassExA(&wc);
}
}  // namespace

Form::Form(Component* owner, std::string name, const FormLayout& layout)
    : Component(owner, std::move(name)), centreOnFirstShow_(layout.centreOnFirstShow), layout_(layout) {
    procedure_ = [this](WindowMessage& m) { m.Result = HandleMessage(m.Msg, m.WParam, m.LParam); };
    Application& app = Application::Instance();
    HINSTANCE instance = app.HInstance() ? app.HInstance() : GetModuleHandleA(nullptr);
    RegisterFormClass(instance);

    // Sized for the monitor it opens on; a window that lands on another is
    // laid out again below.
    dpi_ = DpiForPoint({layout.left, layout.top});
    const SIZE outer = OuterSize();
    hwnd_ = CreateWindowExA(kDialogExStyle, kFormWindowClass, layout.caption.c_str(), kDialogStyle, layout.left,
                            layout.top, outer.cx, outer.cy, app.Handle(), nullptr, instance, this);
    // Bind after creation: the class procedure is the default one, so no
    // message during CreateWindowEx needs the object.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::WindowProc));

    if (const int actual = DpiForWindow(hwnd_); actual != dpi_) {
        dpi_ = actual;
        const SIZE resized = OuterSize();
        SetWindowPos(hwnd_, nullptr, 0, 0, resized.cx, resized.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    MakeFont();
    app.RegisterForm(this);
}

// The font is made for the form's DPI, not taken from the screen once: the
// same point size has more pixels on a denser monitor.
void Form::MakeFont() {
    auto make = [this](int height) {
        return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, layout_.fontName.c_str());
    };
    WindowDC dc(nullptr);
    auto widthAt = [&](int height) {
        UniqueGdi<HFONT> font(make(height));
        SelectedObject selected(dc.get(), font.get());
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), kFontWidthSample, sizeof kFontWidthSample - 1, &size);
        return static_cast<int>(size.cx);
    };
    font_.reset(make(FittingFontHeight(layout_.fontHeight, dpi_, widthAt)));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

SIZE Form::OuterSize() const {
    RECT r{0, 0, ScaleForDpi(layout_.clientWidth, dpi_), ScaleForDpi(layout_.clientHeight, dpi_)};
    AdjustWindowRectForDpi(r, kDialogStyle, kDialogExStyle, dpi_);
    return {r.right - r.left, r.bottom - r.top};
}

void Form::ApplyDpi(int dpi) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int oldDpi = dpi_;
    dpi_ = dpi;
    const SIZE outer = OuterSize();
    dpi_ = oldDpi;
    ChangeDpi(dpi, {r.left, r.top, r.left + outer.cx, r.top + outer.cy});
}

void Form::ChangeDpi(int dpi, const RECT& suggested) {
    dpi_ = dpi > 0 ? dpi : kDesignDpi;
    MakeFont();
    for (Control* c : controls_)
        c->ApplyDpi(dpi_);
    // The system's rectangle keeps the window under the pointer that dragged
    // it; the client area inside it is the scaled one.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

Form::~Form() {
    // Hooks on the window go while it still answers.
    NotifyRemoval();
    Application::Instance().UnregisterForm(this);
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    Application::Instance().UpdateTaskbarButton();
}

void Form::Show() {
    if (!shownOnce_ && centreOnFirstShow_) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    shownOnce_ = true;
    // The taskbar button goes up before the form is activated: a taskbar that
    // takes its list of buttons at the activation would otherwise miss it.
    ShowWindow(hwnd_, SW_SHOWNA);
    Application::Instance().UpdateTaskbarButton();
    BringWindowToTop(hwnd_);
    SetForegroundWindow(hwnd_);
}

void Form::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
    Application::Instance().UpdateTaskbarButton();
}

std::string Form::Caption() const {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd_, caption.c_str());
}

void Form::AddControl(Control* control) {
    controls_.push_back(control);
}

void Form::RemoveControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

Control* Form::FindControl(HWND hwnd) const {
    for (Control* c : controls_)
        if (c->Handle() == hwnd)
            return c;
    return nullptr;
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Application::Instance().NoteMenuLoop(message);
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        WindowMessage m{message, wParam, lParam, 0};
        // A copy: a hook removed while this message is handled puts another
        // procedure in the slot, which must not destroy the running one.
        const MessageProcedure procedure = form->procedure_;
        procedure(m);
        return m.Result;
    } catch (...) {
        HandleCurrentException();
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            if (Control* c = FindControl(reinterpret_cast<HWND>(lParam))) {
                c->Notify(HIWORD(wParam));
                return 0;
            }
        }
        break;
    case WM_CLOSE: {
        bool canClose = true;
        if (OnCloseQuery)
            OnCloseQuery(canClose);
        if (canClose) {
            if (Application::Instance().MainForm() == this)
                Application::Instance().Terminate();
            else
                Hide();
        }
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            if (Control* c = FindControl(reinterpret_cast<HWND>(wParam)); c && c->Cursor() == kHelpCursor) {
                ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HELP)));
                return TRUE;
            }
        }
        break;
    case WM_ACTIVATE:
        // Give the keyboard to the first control when the form is activated
        // and nothing of it has the focus yet.
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = GetFocus();
            if (!focus || (focus != hwnd_ && !IsChild(hwnd_, focus))) {
                if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
                    SetFocus(first);
            }
            return 0;
        }
        break;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SHOWWINDOW:
        // Shown or hidden along with the application window (minimise, restore).
        if (lParam == SW_PARENTCLOSING || lParam == SW_PARENTOPENING)
            PostMessageA(Application::Instance().Handle(), WM_NULL, 0, 0);
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace toolkit
