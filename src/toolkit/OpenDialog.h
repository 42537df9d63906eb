// The open-file dialog as a component: the platform's Explorer-style dialog
// with a hook that asks OnCanClose, while the dialog is still open, whether
// the file the user confirmed may be taken.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "toolkit/Component.h"

namespace toolkit {

class OpenDialog : public Component {
public:
    explicit OpenDialog(Component* owner, std::string name = {});
    ~OpenDialog() override;

    // "Description|pattern" pairs separated by vertical bars.
    std::string Filter;
    int FilterIndex = 1;
    // As stored ("*.exe"); the dialog appends it, without "*.", to names typed
    // without an extension.
    std::string DefaultExt;
    std::string InitialDir;
    // Empty: the platform's own title.
    std::string Title;
    // Platform flags, passed as they are. Without OFN_ENABLEHOOK and
    // OFN_EXPLORER, OnCanClose is never asked.
    DWORD Options = OFN_ENABLEHOOK | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    // The full path of the last file taken; shown in the name field next time.
    std::string FileName;

    // Asked when the user confirms a file, FileName already set to its full
    // path and canClose preset true; false keeps the dialog open. An error it
    // raises is shown, and the dialog closes unless canClose was set false
    // before the error.
    std::function<void(OpenDialog& sender, bool& canClose)> OnCanClose;

    // Shows the modal dialog; true when a file was taken. Messages (timers
    // included) go on being dispatched while it is open.
    bool Execute(HWND owner);

    // The dialog window while it is open, otherwise null.
    HWND Handle() const { return handle_; }

    static constexpr size_t kFileNameSize = 260;

private:
    static UINT_PTR CALLBACK HookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void CanClose(const OPENFILENAMEA& ofn, bool& canClose);

    HWND handle_ = nullptr;
};

}  // namespace toolkit
