// The tray icon's dealings with the shell: registration, the taskbar check,
// image changes, the index rule and the tip, kept free of the platform so the
// exact order of shell calls can be checked against a fake shell.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/tray/ShellPort.h"

namespace ui {

// What the registration needs from the tray icon that owns it.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    virtual void InstallAppHook() = 0;
    virtual void RemoveAppHook() = 0;
    // The application's icon, taken when the icon has no image at registration.
    virtual uintptr_t MainIcon() = 0;
};

// The index a tray icon keeps: n when it selects an image of the list, else -1.
// imageCount < 0 means no list is set.
int ValidIconIndex(int n, int imageCount);

// The tip's source: the hint's text before the first "|", or all of it.
std::string_view ShortHint(std::string_view hint);

class TrayRegistration {
public:
    TrayRegistration(ShellPort& shell, TrayHost& host, NotifyRecordSizes sizes, uintptr_t notifyWindow);

    bool Active() const { return active_; }
    // true: registers (again, also when already registered); false: unregisters.
    void SetActive(bool active);

    // The shell announced a new notification area ("TaskbarCreated"): it knows
    // no icons, so ours is added again, with the image shown now. This and a
    // refused add's retry are the only times the taskbar window is looked up
    // after registration.
    void ShellRestarted();

    // Whether the shell accepted the icon (its last add, or the icon stood).
    bool Registered() const { return registered_; }

    // The icon's image is now `icon`: sent to the shell while registered, and
    // only when it differs from the image the shell shows.
    void ImageChanged(uintptr_t icon);
    uintptr_t Icon() const { return record_.hIcon; }

    int IconIndex() const { return iconIndex_; }
    // Selects image n of a list of imageCount images (< 0: no list). A valid
    // index asks `extract` for the icon of that image (the caller may hand out
    // one it made before) and sends it when it is not the image shown already;
    // otherwise the index becomes -1 and the image is kept. A valid index
    // tries a refused add again.
    void SetIconIndex(int n, int imageCount, const std::function<uintptr_t(int)>& extract);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool HintChangedSincePushed() const { return hint_ != tipShown_; }
    // The mouse moved over the icon: a changed hint becomes the tip.
    void PushTip();

    const NotifyRecord& Record() const { return record_; }
    uintptr_t ShellTrayHandle() const { return shellTray_; }
    bool AppHookInstalled() const { return hookInstalled_; }

private:
    void Register();
    void Unregister();
    void RetryRefusedAdd();
    void ShowImage(uintptr_t icon);

    ShellPort& shell_;
    TrayHost& host_;
    NotifyRecordSizes sizes_;
    uintptr_t notifyWindow_;
    NotifyRecord record_;
    bool active_ = false;
    bool hookInstalled_ = false;
    bool registered_ = false;
    uintptr_t shellTray_ = 0;
    int iconIndex_ = 0;
    std::string hint_;
    std::string tipShown_;
};

}  // namespace ui
