// The application object and its hidden application window.
#include "toolkit/Application.h"

#include <algorithm>
#include <cstring>

#include "toolkit/Controls.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Form.h"
#include "toolkit/LiveCounts.h"

namespace toolkit {

Application& Application::Instance() {
    static Application application;
    return application;
}

void Application::Initialize(HINSTANCE instance) {
    instance_ = instance;
    // Until the program names itself, the title is the executable's name.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(instance, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/:") + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    title_ = name;
    // The small uses (tray hand-over, caption, taskbar) draw at the system's
    // small-icon size, which grows with the display scale: loaded at that
    // size, the main icon's image made for it is taken instead of a stretched one.
    icon_ = static_cast<HICON>(LoadImageA(instance, kMainIconResource, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!icon_)
        icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    HICON bigIcon =
        static_cast<HICON>(LoadImageA(instance, kMainIconResource, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    if (!bigIcon)
        bigIcon = icon_;

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Application::WindowProc;
    wc.hInstance = instance;
    wc.hIcon = bigIcon;
    wc.hIconSm = icon_;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kApplicationWindowClass;
    RegisterClassExA(&wc);

    // A zero-sized popup at the screen centre: never seen itself, it owns the
    // forms (so they get no taskbar buttons of their own) and, while shown,
    // carries the application's single taskbar button.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExA(0, kApplicationWindowClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, instance, nullptr);
    if (handle_) {
        SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    SetExceptionHandler([this](const std::string& message) { ShowException(message); });
}

void Application::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_)
        SetWindowTextA(handle_, title_.c_str());
}

void Application::ShowException(const std::string& message) {
    const std::string text = ErrorBoxText(message);
    HWND owner = GetActiveWindow();
    if (!owner)
        owner = handle_;
    const ModalLoop box;
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

COLORREF ColorToRGB(COLORREF color) {
    return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

Control* Application::ControlOf(HWND window) const {
    for (Form* form : forms_) {
        HWND hwnd = form->Handle();
        if (!hwnd || !window || (window != hwnd && !IsChild(hwnd, window)))
            continue;
        for (HWND h = window; h && h != hwnd; h = GetParent(h))
            if (Control* c = form->FindControl(h))
                return c;
    }
    return nullptr;
}

bool Application::DispatchOne(MSG& msg) {
    hints_.BeforeDispatch(msg);
    // Dialog keys (Tab, Shift+Tab, Space, Enter) for whichever form has the message.
    for (Form* form : forms_) {
        HWND hwnd = form->Handle();
        if (hwnd && IsWindowVisible(hwnd) && (msg.hwnd == hwnd || IsChild(hwnd, msg.hwnd)) &&
            IsDialogMessageA(hwnd, &msg))
            return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void Application::Run() {
    if (ShowMainForm && mainForm_)
        mainForm_->Show();
    MSG msg;
    while (!terminated_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        DispatchOne(msg);
    }
}

namespace {
// Mouse and keyboard input for a tracked menu or a dialog box is read by
// that window's own modal loop, not by its window procedure: a nested pump
// that dispatched it would lose the click or key for the user.
bool IsInputForModalLoop(const MSG& msg) {
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                       (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
    if (!input || !msg.hwnd)
        return false;
    char className[16] = "";
    GetClassNameA(GetAncestor(msg.hwnd, GA_ROOT), className, sizeof className);
    return std::strcmp(className, "#32768") == 0 || std::strcmp(className, "#32770") == 0;
}
}  // namespace

void Application::ProcessMessages() {
    MSG msg;
    for (;;) {
        // Each look at the queue is a round trip to the window server: outside
        // modal loops a message is taken with a single one.
        if (modalDepth_ > 0) {
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                break;
            if (IsInputForModalLoop(msg))
                break;  // left for the modal loop this pump runs inside
        }
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            break;
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            // Put it back for the loops around this pump: a dialog's or a
            // tracked menu's modal loop ends on it too, and the outer loop
            // sees it even while it waits for the next message.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchOne(msg);
    }
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
    // A quit can be swallowed by a modal loop (a tracked menu); this wakes the
    // outer loop so it sees the flag.
    if (handle_)
        PostMessageA(handle_, WM_NULL, 0, 0);
}

void Application::RegisterForm(Form* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end())
        forms_.push_back(form);
}

void Application::UnregisterForm(Form* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

void Application::UpdateTaskbarButton() {
    if (!handle_)
        return;
    const bool anyVisible =
        std::any_of(forms_.begin(), forms_.end(), [](Form* f) { return f->Handle() && IsWindowVisible(f->Handle()); });
    const bool shown = IsWindowVisible(handle_) != FALSE;
    if (anyVisible && !shown)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    else if (!anyVisible && shown && !IsIconic(handle_))
        ShowWindow(handle_, SW_HIDE);
}

void Application::Minimize() {
    if (handle_ && !IsIconic(handle_))
        ShowWindow(handle_, SW_MINIMIZE);
}

void Application::Restore() {
    if (handle_ && IsIconic(handle_))
        ShowWindow(handle_, SW_RESTORE);
}

bool Application::IsMinimized() const {
    return handle_ && IsIconic(handle_);
}

int Application::HookMainWindow(WindowHook hook) {
    const int id = nextHookId_++;
    hooks_.push_back({id, std::move(hook)});
    return id;
}

void Application::UnhookMainWindow(int id) {
    hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [id](const Hook& h) { return h.id == id; }),
                 hooks_.end());
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Application& app = Instance();
    app.NoteMenuLoop(message);
    try {
        // Messages sent while CreateWindowEx runs find no handle yet.
        if (app.handle_ == hwnd)
            return app.HandleMessage(message, wParam, lParam);
    } catch (...) {
        HandleCurrentException();
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
#ifdef TAVRIN_COUNT_HANDLES
    if (message == LiveCountsMessage())
        return LiveCount(static_cast<LiveKind>(wParam));
#endif
    // Copy: a hook may unhook itself.
    const std::vector<Hook> hooks = hooks_;
    for (const Hook& hook : hooks) {
        LRESULT result = 0;
        if (hook.fn(message, wParam, lParam, result))
            return result;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == ApplicationHints::kTimerId) {
            hints_.TimerFired();
            return 0;
        }
        break;
    case WM_ACTIVATEAPP:
        if (!wParam)
            hints_.Dismiss();
        break;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            return 0;
        case SC_RESTORE:
            Restore();
            return 0;
        case SC_CLOSE:
            if (mainForm_ && mainForm_->Handle())
                PostMessageA(mainForm_->Handle(), WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (mainForm_ && mainForm_->Handle())
            PostMessageA(mainForm_->Handle(), WM_CLOSE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        // The application window is never the one the user works in: pass
        // activation on to the visible form.
        if (LOWORD(wParam) != WA_INACTIVE && mainForm_ && mainForm_->Handle() &&
            IsWindowVisible(mainForm_->Handle())) {
            SetActiveWindow(mainForm_->Handle());
            return 0;
        }
        break;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

}  // namespace toolkit
