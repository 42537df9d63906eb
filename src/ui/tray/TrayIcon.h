// The notification-area icon: registers with the shell, shows the image the
// engine's state index selects, opens the tray menu, and hides the
// application's taskbar button when the application is minimised.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"
#include "ui/tray/StateImageCache.h"
#include "ui/tray/TrayCallback.h"
#include "ui/tray/TrayRegistration.h"

namespace toolkit {
class ImageList;
}

namespace ui {

// The hidden window that receives the shell's callbacks for the icon.
constexpr char kTrayNotifyWindowClass[] = "Tavrin2TrayNotify";
// The shell's broadcast when it has (re)created its notification area.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

class PopupMenu;

// Flags of TrayIcon::Visibility.
namespace tray_visibility {
constexpr unsigned kVisibleTaskBar = 1u << 0;
constexpr unsigned kVisibleTaskList = 1u << 1;
constexpr unsigned kAutoHide = 1u << 2;
constexpr unsigned kVisibleDesign = 1u << 3;
constexpr unsigned kRestoreClick = 1u << 4;
constexpr unsigned kRestoreDbClick = 1u << 5;
constexpr unsigned kMinimizeClick = 1u << 6;
constexpr unsigned kMinimizeDbClick = 1u << 7;
}  // namespace tray_visibility

// Modifier keys and buttons held while a tray mouse event happened.
namespace tray_shift {
constexpr unsigned kShift = 1, kAlt = 2, kCtrl = 4, kLeft = 8, kRight = 16, kMiddle = 32;
}

class TrayIcon : public toolkit::Component, private TrayHost {
public:
    // `shell` lets a test put a fake or a spy between the icon and the shell.
    TrayIcon(toolkit::Component* owner, std::string name, ShellPort* shell = nullptr);
    ~TrayIcon() override;

    bool Active() const { return registration_.Active(); }
    void SetActive(bool active) { registration_.SetActive(active); }

    // The image registered with the shell. A shared icon (a resource loaded
    // with LR_SHARED, the application's icon) is used, never destroyed; an
    // owned one is destroyed when it is replaced.
    HICON Icon() const { return reinterpret_cast<HICON>(registration_.Icon()); }
    void SetIcon(HICON shared);
    void SetIcon(toolkit::UniqueIcon owned);
    // The icon resource `name` of `module`, loaded at ImageSize() now and
    // again whenever that size changes; the name must outlive the icon.
    void SetIconResource(HINSTANCE module, const char* name);

    // The size of the images given to the shell: its small-icon size at the
    // display scale of the primary monitor, where the notification area is.
    int ImageSize() const { return imageSize_; }
    // Loads the stored icon and the state images again at `size` and sends
    // the shell the image now shown, once; nothing when the size is the same.
    void SetImageSize(int size);

    const std::string& Hint() const { return registration_.Hint(); }
    void SetHint(const std::string& hint) { registration_.SetHint(hint); }

    PopupMenu* ContextMenu() const { return contextMenu_; }
    void SetContextMenu(PopupMenu* menu) { contextMenu_ = menu; }
    PopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(PopupMenu* menu) { dropDownMenu_ = menu; }

    // The state images; -1 selects none and keeps the image shown. Each image
    // is made into an icon once and kept until the list is replaced, its
    // number of images changes, or the tray icon goes.
    toolkit::ImageList* Icons() const { return icons_; }
    void SetIcons(toolkit::ImageList* icons);
    int IconIndex() const { return registration_.IconIndex(); }
    void SetIconIndex(int index);

    unsigned Visibility() const { return visibility_; }
    void SetVisibility(unsigned visibility);
    bool Snap = false;
    bool AppShown() const { return appShown_; }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(TrayButton button, unsigned shift, int x, int y)> OnMouseDown;
    std::function<void(TrayButton button, unsigned shift, int x, int y)> OnMouseUp;
    std::function<void(unsigned shift, int x, int y)> OnMouseMove;

    HWND NotifyWindow() const { return notifyWindow_; }
    const NotifyRecord& NotifyData() const { return registration_.Record(); }
    HWND ShellTrayHandle() const { return reinterpret_cast<HWND>(registration_.ShellTrayHandle()); }

    // One callback message from the shell (what NotifyWindow does with 0x401).
    void HandleCallback(uint32_t notification);

private:
    static LRESULT CALLBACK NotifyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static HWND CreateNotifyWindow(TrayIcon* icon);
    void KeepShown(std::vector<toolkit::UniqueIcon> dropped);
    void FollowDisplayScale();
    void InstallAppHook() override;
    void RemoveAppHook() override;
    uintptr_t MainIcon() override;
    void ShowMenu(PopupMenu& menu, POINT at);
    void ShowApplication();
    void HideApplication();

    std::unique_ptr<ShellPort> ownShell_;
    HWND notifyWindow_;
    TrayRegistration registration_;
    // Held only while it is the image registered: the icon set as owned, or a
    // state image kept past its list until the shell has the next image.
    toolkit::UniqueIcon ownedIcon_;
    StateImageCache<toolkit::UniqueIcon> stateImages_;
    PopupMenu* contextMenu_ = nullptr;
    PopupMenu* dropDownMenu_ = nullptr;
    toolkit::ImageList* icons_ = nullptr;
    int imageSize_;
    HINSTANCE iconModule_ = nullptr;
    const char* iconName_ = nullptr;
    HICON storedIcon_ = nullptr;  // the icon last loaded from that resource
    unsigned visibility_ =
        tray_visibility::kVisibleTaskBar | tray_visibility::kVisibleTaskList | tray_visibility::kAutoHide;
    bool appShown_ = true;
    int appHookId_ = 0;
};

}  // namespace ui
