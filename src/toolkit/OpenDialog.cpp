// The open-file dialog component over GetOpenFileNameA and its Explorer hook.
#include "toolkit/OpenDialog.h"

#include <cstring>
#include <utility>

#include "toolkit/Application.h"
#include "toolkit/DelayedLibrary.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/FileDialogText.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCopy.h"

namespace toolkit {
namespace {

// The dialog is opened only when the user asks to add a program: its library
// is loaded then, not at start.
using GetOpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEA);
GetOpenFileNameFn GetOpenFileName() {
    static DelayedLibrary comdlg32("comdlg32.dll");
    const auto fn = comdlg32.Find<GetOpenFileNameFn>("GetOpenFileNameA");
    if (!fn)
        throw Exception("Cannot load comdlg32.dll");
    return fn;
}

}  // namespace


OpenDialog::OpenDialog(Component* owner, std::string name) : Component(owner, std::move(name)) {}

OpenDialog::~OpenDialog() = default;

bool OpenDialog::Execute(HWND owner) {
    char file[kFileNameSize];
    CopyTruncated(file, FileName);
    const std::string filter = PlatformFilter(Filter);
    const std::string defaultExt = PlatformDefaultExt(DefaultExt);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.Flags = Options;
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    ofn.lpfnHook = &OpenDialog::HookProc;

    BOOL taken;
    {
        const Application::ModalLoop dialog;
        taken = GetOpenFileName()(&ofn);
    }
    handle_ = nullptr;
    if (taken) {
        FileName = file;
        FilterIndex = static_cast<int>(ofn.nFilterIndex);
    }
    return taken != FALSE;
}

void OpenDialog::CanClose(const OPENFILENAMEA& ofn, bool& canClose) {
    // The platform has written the confirmed full path into the name buffer.
    if (ofn.lpstrFile)
        FileName.assign(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile));
    if (OnCanClose)
        OnCanClose(*this, canClose);
}

// The hook runs inside the dialog's own message handling: a platform entry,
// so no exception may leave it. A failing OnCanClose is reported, and the
// dialog closes unless the handler refused before it failed: nothing asked it
// to stay, and kept open it would invite the user to take the same file again.
UINT_PTR CALLBACK OpenDialog::HookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) noexcept {
    const OFNOTIFYA* notify = message == WM_NOTIFY ? reinterpret_cast<const OFNOTIFYA*>(lParam) : nullptr;
    const bool fileOk = notify && notify->hdr.code == CDN_FILEOK && notify->lpOFN;
    bool canClose = true;
    try {
        if (message == WM_INITDIALOG) {
            // With the Explorer style the hook's dialog is a child of the real one.
            auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
            if (ofn)
                reinterpret_cast<OpenDialog*>(ofn->lCustData)->handle_ = GetParent(hook);
        } else if (fileOk) {
            reinterpret_cast<OpenDialog*>(notify->lpOFN->lCustData)->CanClose(*notify->lpOFN, canClose);
        }
    } catch (...) {
        HandleCurrentException();
    }
    if (fileOk && !canClose) {
        SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
        return 1;
    }
    return 0;
}

}  // namespace toolkit
