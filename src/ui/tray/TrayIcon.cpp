// The tray icon's Win32 side: its callback window, its images, its menu and
// the auto-hide hook on the application window.
#include "ui/tray/TrayIcon.h"

#include <utility>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"
#include "toolkit/HiddenWindow.h"
#include "toolkit/ImageList.h"
#include "ui/tray/PopupMenu.h"
#include "ui/tray/Win32Shell.h"

namespace ui {
namespace {

// Broadcast to top-level windows by a shell that has (re)created its
// notification area; the hidden NotifyWindow is top-level so it hears it.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA(kTaskbarCreatedMessage);
    return message;
}

// The notification area sits on the primary monitor, which holds (0, 0), and
// draws its icons at the small-icon size of that monitor's scale.
int ShellImageSize() {
    return toolkit::SystemMetricForDpi(SM_CXSMICON, toolkit::DpiForPoint(POINT{0, 0}));
}

unsigned ReadShiftState() {
    auto down = [](int key) { return GetKeyState(key) < 0; };
    unsigned shift = 0;
    if (down(VK_SHIFT))
        shift |= tray_shift::kShift;
    if (down(VK_MENU))
        shift |= tray_shift::kAlt;
    if (down(VK_CONTROL))
        shift |= tray_shift::kCtrl;
    if (down(VK_LBUTTON))
        shift |= tray_shift::kLeft;
    if (down(VK_RBUTTON))
        shift |= tray_shift::kRight;
    if (down(VK_MBUTTON))
        shift |= tray_shift::kMiddle;
    return shift;
}

}  // namespace

TrayIcon::TrayIcon(toolkit::Component* owner, std::string name, ShellPort* shell)
    : Component(owner, std::move(name)),
      ownShell_(shell ? nullptr : std::make_unique<Win32Shell>()),
      notifyWindow_(CreateNotifyWindow(this)),
      registration_(shell ? *shell : *ownShell_, *this, Win32Shell::RecordSizes(),
                    reinterpret_cast<uintptr_t>(notifyWindow_)),
      imageSize_(ShellImageSize()) {}

TrayIcon::~TrayIcon() {
    BeginDestroy();
    // The menu and the image list may be gone already: they are not touched.
    registration_.SetActive(false);
    SetWindowLongPtrA(notifyWindow_, GWLP_USERDATA, 0);
    DestroyWindow(notifyWindow_);
}

HWND TrayIcon::CreateNotifyWindow(TrayIcon* icon) {
    // Top-level, not message-only: the tray menu makes it the foreground window.
    return toolkit::CreateHiddenWindow(kTrayNotifyWindowClass, &TrayIcon::NotifyWindowProc, nullptr, WS_POPUP, icon);
}

LRESULT CALLBACK TrayIcon::NotifyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    try {
        auto* icon = reinterpret_cast<TrayIcon*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (icon && message == kTrayCallbackMessage) {
            // The whole lParam is the notification; wParam (the icon id) is ours anyway.
            icon->HandleCallback(static_cast<uint32_t>(lParam));
            return 0;
        }
        if (icon && message == TaskbarCreatedMessage() && message != 0) {
            icon->registration_.ShellRestarted();
            icon->FollowDisplayScale();
            return 0;
        }
        // A new scale reaches a hidden window as a changed setting or display;
        // a window moved to another monitor hears of it as a DPI change.
        if (icon && (message == WM_SETTINGCHANGE || message == WM_DISPLAYCHANGE || message == WM_DPICHANGED))
            icon->FollowDisplayScale();
    } catch (...) {
        toolkit::HandleCurrentException();
        return 0;
    }
    return toolkit::HiddenWindowDefault(hwnd, message, wParam, lParam);
}

void TrayIcon::SetIcon(HICON shared) {
    // The image replaced is released only after the shell has the new one.
    toolkit::UniqueIcon replaced = std::move(ownedIcon_);
    registration_.ImageChanged(reinterpret_cast<uintptr_t>(shared));
}

void TrayIcon::SetIcon(toolkit::UniqueIcon owned) {
    const HICON image = owned.get();
    toolkit::UniqueIcon replaced = std::exchange(ownedIcon_, std::move(owned));
    registration_.ImageChanged(reinterpret_cast<uintptr_t>(image));
}

void TrayIcon::SetIconResource(HINSTANCE module, const char* name) {
    toolkit::UniqueIcon icon(static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, imageSize_, imageSize_, 0)));
    if (!icon)
        throw toolkit::Exception(toolkit::Format("Resource %s not found", name));
    iconModule_ = module;
    iconName_ = name;
    storedIcon_ = icon.get();
    SetIcon(std::move(icon));
}

void TrayIcon::SetIcons(toolkit::ImageList* icons) {
    if (icons == icons_)
        return;
    icons_ = icons;
    if (icons_)
        icons_->SetSize(imageSize_, imageSize_);
    KeepShown(stateImages_.Reset());
}

void TrayIcon::FollowDisplayScale() {
    SetImageSize(ShellImageSize());
}

void TrayIcon::SetImageSize(int size) {
    if (size <= 0 || size == imageSize_)
        return;
    // The list gets a new handle, so the next state image is made from it.
    if (icons_)
        icons_->SetSize(size, size);
    imageSize_ = size;
    if (IconIndex() >= 0 && icons_)
        SetIconIndex(IconIndex());
    else if (iconName_ && Icon() == storedIcon_)
        SetIconResource(iconModule_, iconName_);
}

void TrayIcon::KeepShown(std::vector<toolkit::UniqueIcon> dropped) {
    // The shell may draw the registered image at any time: it lives on as the
    // stored icon until the next image has been sent.
    for (toolkit::UniqueIcon& image : dropped)
        if (image.get() == Icon())
            ownedIcon_ = std::move(image);
}

void TrayIcon::SetIconIndex(int index) {
    // Every valid assignment is sent, but each state image is made only once:
    // at ten assignments a second nothing is made or released after the first
    // three. What stops being shown is released after the shell has the new image.
    toolkit::UniqueIcon replaced;
    const int count = icons_ ? icons_->Count() : -1;
    registration_.SetIconIndex(index, count, [&](int i) {
        const auto list = reinterpret_cast<uintptr_t>(icons_->Handle());
        if (!stateImages_.Holds(list, count))
            KeepShown(stateImages_.Reset(list, count));
        const HICON image = stateImages_.Get(i, [&] { return icons_->GetIcon(i); }).get();
        replaced = std::move(ownedIcon_);
        return reinterpret_cast<uintptr_t>(image);
    });
}

void TrayIcon::SetVisibility(unsigned visibility) {
    const unsigned before = std::exchange(visibility_, visibility);
    const bool wasShown = (before & tray_visibility::kVisibleTaskBar) != 0;
    const bool shown = (visibility & tray_visibility::kVisibleTaskBar) != 0;
    if (shown && !wasShown)
        ShowApplication();
    else if (!shown && wasShown)
        HideApplication();
}

void TrayIcon::HandleCallback(uint32_t notification) {
    POINT at{};
    GetCursorPos(&at);
    const unsigned shift = ReadShiftState();

    TrayCallbackConfig config;
    config.hasPopupMenu = contextMenu_ != nullptr;
    config.hasDropDownMenu = dropDownMenu_ != nullptr;
    config.hasDefaultItem = contextMenu_ && contextMenu_->DefaultItem();
    config.onClick = static_cast<bool>(OnClick);
    config.onDblClick = static_cast<bool>(OnDblClick);
    config.onMouseMove = static_cast<bool>(OnMouseMove);
    config.onMouseDown = static_cast<bool>(OnMouseDown);
    config.onMouseUp = static_cast<bool>(OnMouseUp);
    config.hintChanged = registration_.HintChangedSincePushed();
    config.appShown = appShown_;
    config.clicks.minimizeClick = visibility_ & tray_visibility::kMinimizeClick;
    config.clicks.restoreClick = visibility_ & tray_visibility::kRestoreClick;
    config.clicks.minimizeDbClick = visibility_ & tray_visibility::kMinimizeDbClick;
    config.clicks.restoreDbClick = visibility_ & tray_visibility::kRestoreDbClick;

    const TrayReaction reaction = DecideTrayCallback(notification, config);
    for (const TrayStep step : reaction.steps) {
        switch (step) {
        case TrayStep::PushTip:
            registration_.PushTip();
            break;
        case TrayStep::MouseMove:
            if (OnMouseMove)
                OnMouseMove(shift, at.x, at.y);
            break;
        case TrayStep::MouseDown:
            if (OnMouseDown)
                OnMouseDown(reaction.button, shift, at.x, at.y);
            break;
        case TrayStep::MouseUp:
            if (OnMouseUp)
                OnMouseUp(reaction.button, shift, at.x, at.y);
            break;
        case TrayStep::Click:
            if (OnClick)
                OnClick();
            break;
        case TrayStep::DblClick:
            if (OnDblClick)
                OnDblClick();
            break;
        case TrayStep::ClickDefaultItem:
            if (MenuItem* item = contextMenu_ ? contextMenu_->DefaultItem() : nullptr)
                item->Click();
            break;
        case TrayStep::ShowApp:
            SetVisibility(visibility_ | tray_visibility::kVisibleTaskBar);
            break;
        case TrayStep::HideApp:
            SetVisibility(visibility_ & ~tray_visibility::kVisibleTaskBar);
            break;
        case TrayStep::PopupMenu:
            if (contextMenu_)
                ShowMenu(*contextMenu_, at);
            break;
        case TrayStep::DropDownMenu:
            if (dropDownMenu_)
                ShowMenu(*dropDownMenu_, at);
            break;
        case TrayStep::BalloonHidden:
        case TrayStep::BalloonTimedOut:
        case TrayStep::BalloonClicked:
            break;  // the icon shows no balloons of its own
        }
    }
}

void TrayIcon::ShowMenu(PopupMenu& menu, POINT at) {
    // Without the foreground switch the menu would not close when the user
    // clicks elsewhere; the posted null message lets the system finish the
    // switch so the next opening works too.
    SetForegroundWindow(notifyWindow_);
    menu.Popup(at.x, at.y);
    PostMessageA(notifyWindow_, WM_NULL, 0, 0);
}

void TrayIcon::ShowApplication() {
    appShown_ = true;
    toolkit::Application& app = toolkit::Application::Instance();
    if (app.Handle()) {
        ShowWindow(app.Handle(), SW_SHOW);
        app.Restore();
    }
    if (toolkit::Form* main = app.MainForm())
        main->Show();
}

void TrayIcon::HideApplication() {
    appShown_ = false;
    toolkit::Application& app = toolkit::Application::Instance();
    toolkit::Form* main = app.MainForm();
    if (main && main->Handle() && !IsIconic(main->Handle())) {
        if (Snap) {
            main->Hide();
            app.ShowMainForm = false;
        }
        app.Minimize();
    }
    // Hidden, the application window takes its taskbar button with it.
    if (app.Handle())
        ShowWindow(app.Handle(), SW_HIDE);
}

void TrayIcon::InstallAppHook() {
    appHookId_ = toolkit::Application::Instance().HookMainWindow(
        [this](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
            // Compared exactly, not masked: only the plain minimise command.
            if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE && (visibility_ & tray_visibility::kAutoHide) &&
                Active())
                HideApplication();
            return false;  // the application still handles the command itself
        });
}

void TrayIcon::RemoveAppHook() {
    toolkit::Application::Instance().UnhookMainWindow(appHookId_);
    appHookId_ = 0;
}

uintptr_t TrayIcon::MainIcon() {
    return reinterpret_cast<uintptr_t>(toolkit::Application::Instance().Icon());
}

}  // namespace ui
