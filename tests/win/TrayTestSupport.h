// Shared pieces of the tray tests: a spy on the real shell, a message pump,
// and the tray components wired as the settings window's layout wires them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/IconResources.h"
#include "toolkit/Component.h"
#include "toolkit/ApplicationEvents.h"
#include "toolkit/ImageList.h"
#include "ui/tray/PopupMenu.h"
#include "ui/tray/TrayIcon.h"
#include "ui/tray/Win32Shell.h"

namespace tray_test {

// Errors stopped at a platform entry, collected instead of shown in a box.
inline std::vector<std::string> reportedErrors;

// The real shell, with every call and its answer written down.
class SpyShell : public ui::ShellPort {
public:
    struct Call {
        ui::NotifyMessage message;
        ui::NotifyRecord record;
        BOOL result;
    };
    bool NotifyIcon(ui::NotifyMessage message, const ui::NotifyRecord& record) override {
        const bool accepted = real.NotifyIcon(message, record);
        calls.push_back({message, record, real.LastResult()});
        return accepted;
    }
    uintptr_t FindTaskbar() override { return real.FindTaskbar(); }
    uint32_t ShellVersion() override { return real.ShellVersion(); }

    ui::Win32Shell real;
    std::vector<Call> calls;
};

inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline HICON SharedIcon(const char* name) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 16, 16, LR_SHARED));
}

// The program's tray components, created in the order of the settings
// window's layout and wired as it wires them.
struct TrayLayout : toolkit::Component {
    explicit TrayLayout(ui::ShellPort* shell)
        : Component(nullptr, "SettingsWindow"), trayIcon(this, "trayIcon", shell) {
        trayIcon.SetActive(true);
        trayIcon.SetIcon(SharedIcon(app::kTrayIcon));
        trayIcon.SetIconIndex(-1);
        for (const char* name : app::kTrayStateIcons)
            trayImages.AddIconResource(GetModuleHandleA(nullptr), name);
        appEvents.SetShowMainForm(false);
        settingsItem.SetCaption("Beállítások...");
        settingsItem.OnClick = [this] { ++settingsClicks; };
        trayMenu.Add(settingsItem);
        separatorItem.SetCaption("-");
        trayMenu.Add(separatorItem);
        exitItem.SetCaption("Kilépés");
        exitItem.OnClick = [this] { ++exitClicks; };
        trayMenu.Add(exitItem);
        trayMenu.OnPopup = [this] { ++popups; };
        trayIcon.SetIcons(&trayImages);
        trayIcon.SetContextMenu(&trayMenu);
        LoadedAll();
    }
    ui::TrayIcon trayIcon;
    toolkit::ImageList trayImages{this, "trayImages"};
    toolkit::ApplicationEvents appEvents{this, "appEvents"};
    ui::PopupMenu trayMenu{this, "trayMenu"};
    ui::MenuItem settingsItem{this, "settingsItem"};
    ui::MenuItem separatorItem{this, "separatorItem"};
    ui::MenuItem exitItem{this, "exitItem"};
    int popups = 0;
    int settingsClicks = 0;
    int exitClicks = 0;
};

}  // namespace tray_test
