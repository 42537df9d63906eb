// The application object: the message loop and its nested one-step pump, the
// hidden application window that owns the program's windows and carries the
// taskbar button, the title, the standard error box and application-wide
// hint settings.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/hint/ApplicationHints.h"

namespace toolkit {

// The installer and uninstaller find running copies by this class name.
constexpr char kApplicationWindowClass[] = "Tavrin2Application";
// The icon resource the application, its windows and its taskbar button show.
constexpr char kMainIconResource[] = "MAINICON";

class Control;
class Form;

// A colour that names a system colour (the COLOR_* index with the top bit set).
constexpr COLORREF SystemColor(int index) {
    return 0x80000000u | static_cast<COLORREF>(index);
}
constexpr COLORREF kInfoBackgroundColor = SystemColor(COLOR_INFOBK);
COLORREF ColorToRGB(COLORREF color);

class Application {
public:
    static Application& Instance();

    void Initialize(HINSTANCE instance);
    HINSTANCE HInstance() const { return instance_; }

    // The hidden window that owns every form and carries the taskbar button.
    HWND Handle() const { return handle_; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    HICON Icon() const { return icon_; }  // the main icon (kMainIconResource)

    // Runs the loop until Terminate; shows the main form first when ShowMainForm.
    void Run();
    // Dispatches every waiting message, then returns. A quit message marks the
    // application terminated (and is not swallowed), so exit works from inside
    // nested pumps too.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Marks a modal loop (a tracked menu, a dialog box) running on the thread
    // for its lifetime. Only then can the queue hold input that a nested pump
    // must leave alone, so only then does the pump look before it takes.
    class ModalLoop {
    public:
        ModalLoop() { ++Instance().modalDepth_; }
        ~ModalLoop() { --Instance().modalDepth_; }
        ModalLoop(const ModalLoop&) = delete;
        ModalLoop& operator=(const ModalLoop&) = delete;
    };
    int ModalDepth() const { return modalDepth_; }
    // A window's procedure passes every message here: the system's own menu
    // loops (a window's system menu) announce themselves to the window.
    void NoteMenuLoop(UINT message) {
        if (message == WM_ENTERMENULOOP)
            ++modalDepth_;
        else if (message == WM_EXITMENULOOP && modalDepth_ > 0)
            --modalDepth_;
    }

    void SetMainForm(Form* form) { mainForm_ = form; }
    Form* MainForm() const { return mainForm_; }
    bool ShowMainForm = true;

    // Control hints: timing (ms), background colour and the kind of window
    // they are shown in.
    int HintPause = 500;
    int HintShortPause = 0;
    int HintHidePause = 2500;
    COLORREF HintColor = kInfoBackgroundColor;
    COLORREF HintColorRGB() const { return ColorToRGB(HintColor); }
    const HintWindowClass& GetHintWindowClass() const { return hints_.WindowClass(); }
    void SetHintWindowClass(const HintWindowClass& windowClass) { hints_.SetWindowClass(windowClass); }
    ApplicationHints& Hints() { return hints_; }

    // The control of one of the forms that `window` is or belongs to; none
    // for windows of no form.
    Control* ControlOf(HWND window) const;

    // The standard error box: message (full-stop rule), title as caption, OK, stop icon.
    void ShowException(const std::string& message);

    // Called by forms when they are shown or hidden: the taskbar button exists
    // only while one of the program's windows is visible.
    void UpdateTaskbarButton();
    void RegisterForm(Form* form);
    void UnregisterForm(Form* form);

    // Minimise/restore the application (its window and, with it, the forms it owns).
    void Minimize();
    void Restore();
    bool IsMinimized() const;

    // Hooks on the application window's messages, run before its own handling.
    // A hook returning true consumes the message.
    using WindowHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    int HookMainWindow(WindowHook hook);
    void UnhookMainWindow(int id);

private:
    Application() = default;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchOne(MSG& msg);

    HINSTANCE instance_ = nullptr;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    std::string title_;
    bool terminated_ = false;
    int modalDepth_ = 0;
    Form* mainForm_ = nullptr;
    std::vector<Form*> forms_;
    struct Hook {
        int id;
        WindowHook fn;
    };
    std::vector<Hook> hooks_;
    int nextHookId_ = 1;
    ApplicationHints hints_;
};

}  // namespace toolkit
