// Registration of the tray icon with the shell and everything that re-sends it.
#include "ui/tray/TrayRegistration.h"

#include "toolkit/TextCopy.h"

namespace ui {

int ValidIconIndex(int n, int imageCount) {
    return (imageCount >= 0 && n >= 0 && n < imageCount) ? n : -1;
}

std::string_view ShortHint(std::string_view hint) {
    return hint.substr(0, hint.find('|'));
}

TrayRegistration::TrayRegistration(ShellPort& shell, TrayHost& host, NotifyRecordSizes sizes,
                                   uintptr_t notifyWindow)
    : shell_(shell), host_(host), sizes_(sizes), notifyWindow_(notifyWindow) {}

void TrayRegistration::SetActive(bool active) {
    if (active)
        Register();
    else
        Unregister();
}

void TrayRegistration::Register() {
    if (!hookInstalled_) {
        host_.InstallAppHook();
        hookInstalled_ = true;
    }
    shellTray_ = shell_.FindTaskbar();
    if (record_.hIcon == 0)
        record_.hIcon = host_.MainIcon();

    const bool shell5 = IsShell5OrLater(shell_.ShellVersion());
    record_.cbSize = shell5 ? sizes_.v2 : sizes_.v1;
    record_.uVersion = shell5 ? kNotifyIconVersion : 0;
    record_.hWnd = notifyWindow_;
    record_.uID = kTrayIconId;
    record_.uCallbackMessage = kTrayCallbackMessage;
    toolkit::CopyTruncated(record_.szTip, ShortHint(hint_));
    record_.uFlags = notify_flags::kRegister;

    // A refused add leaves the icon unregistered (no notification area yet,
    // or one that takes no icons yet, as at logon), and the next decision
    // tries again. An add is refused too while the shell holds the icon
    // already (a second add, or an announced restart that was none): a modify
    // it accepts tells so, and nothing is retried then.
    if (shell_.NotifyIcon(NotifyMessage::Add, record_))
        registered_ = true;
    else if (!registered_)
        registered_ = shell_.NotifyIcon(NotifyMessage::Modify, record_);
    if (shell5)
        shell_.NotifyIcon(NotifyMessage::SetVersion, record_);
    active_ = true;
}

void TrayRegistration::Unregister() {
    if (hookInstalled_) {
        host_.RemoveAppHook();
        hookInstalled_ = false;
    }
    shell_.NotifyIcon(NotifyMessage::Delete, record_);
    registered_ = false;
    active_ = false;
}

void TrayRegistration::RetryRefusedAdd() {
    // Without an icon the user could neither open the settings nor quit: the
    // engine assigns the index at every decision, so this retries a few times
    // a second until the shell takes it. A registered icon asks nothing: a
    // new notification area announces itself with "TaskbarCreated".
    if (active_ && !registered_)
        Register();
}

void TrayRegistration::ShellRestarted() {
    if (!active_)
        return;
    registered_ = false;
    Register();
}

void TrayRegistration::ImageChanged(uintptr_t icon) {
    RetryRefusedAdd();
    ShowImage(icon);
}

void TrayRegistration::ShowImage(uintptr_t icon) {
    // Every modify wakes the shell to redraw the icon; the same image again
    // would redraw nothing the user can see.
    if (icon == record_.hIcon)
        return;
    record_.hIcon = icon;
    if (registered_)
        shell_.NotifyIcon(NotifyMessage::Modify, record_);
}

void TrayRegistration::SetIconIndex(int n, int imageCount, const std::function<uintptr_t(int)>& extract) {
    iconIndex_ = n;
    if (ValidIconIndex(n, imageCount) < 0) {
        iconIndex_ = -1;
        return;
    }
    const uintptr_t fresh = extract(n);
    if (fresh == record_.hIcon && registered_)
        return;  // the decision repeats itself: the shell hears nothing
    // Chosen before the retry, so the image sent right after a retried add
    // keeps the add's flags.
    record_.uFlags = notify_flags::kImage;
    RetryRefusedAdd();
    ShowImage(fresh);
}

void TrayRegistration::SetHint(const std::string& hint) {
    RetryRefusedAdd();
    if (IsShell5OrLater(shell_.ShellVersion())) {
        hint_ = hint;
        return;
    }
    // Older shells show a one-line tip.
    std::string oneLine;
    for (size_t i = 0; i < hint.size(); ++i) {
        if (hint[i] == '\r' && i + 1 < hint.size() && hint[i + 1] == '\n') {
            oneLine += " - ";
            ++i;
        } else {
            oneLine += hint[i];
        }
    }
    hint_ = std::move(oneLine);
}

void TrayRegistration::PushTip() {
    if (!HintChangedSincePushed())
        return;
    tipShown_ = hint_;
    toolkit::CopyTruncated(record_.szTip, ShortHint(hint_));
    record_.uFlags = notify_flags::kImage;
    if (active_)
        shell_.NotifyIcon(NotifyMessage::Modify, record_);
}

}  // namespace ui
