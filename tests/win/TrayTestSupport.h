// Shared pieces of the tray tests: a spy on the real shell, a message pump,
// and the tray components wired as the settings window's layout wires them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/IconResources.h"
#include "toolkit/Component.h"
#include "ui/AppEvent.h"
#include "ui/ImageList.h"
#include "ui/Menus.h"
#include "ui/TrayIcon.h"
#include "ui/Win32Shell.h"

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
    explicit TrayLayout(ui::ShellPort* shell) : Component(nullptr, "Form1"), TrayIcon1(this, "TrayIcon1", shell) {
        TrayIcon1.SetActive(true);
        TrayIcon1.SetIcon(SharedIcon(app::kTrayIcon));
        TrayIcon1.SetIconIndex(-1);
        for (const char* name : app::kTrayStateIcons)
            ImageList1.AddIconResource(GetModuleHandleA(nullptr), name);
        AppEvents1.SetShowMainForm(false);
        Belltsok1.SetCaption("Beállítások...");
        Belltsok1.OnClick = [this] { ++settingsClicks; };
        PopupMenu1.Add(Belltsok1);
        N1.SetCaption("-");
        PopupMenu1.Add(N1);
        Kilps1.SetCaption("Kilépés");
        Kilps1.OnClick = [this] { ++exitClicks; };
        PopupMenu1.Add(Kilps1);
        PopupMenu1.OnPopup = [this] { ++popups; };
        TrayIcon1.SetIcons(&ImageList1);
        TrayIcon1.SetPopupMenu(&PopupMenu1);
        LoadedAll();
    }
    ui::TTrayIcon TrayIcon1;
    ui::TImageList ImageList1{this, "ImageList1"};
    ui::TAppEvents AppEvents1{this, "AppEvents1"};
    ui::TPopupMenu PopupMenu1{this, "PopupMenu1"};
    ui::TMenuItem Belltsok1{this, "Belltsok1"};
    ui::TMenuItem N1{this, "N1"};
    ui::TMenuItem Kilps1{this, "Kilps1"};
    int popups = 0;
    int settingsClicks = 0;
    int exitClicks = 0;
};

}  // namespace tray_test
