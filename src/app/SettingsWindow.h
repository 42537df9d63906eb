// The settings window: the program's main window and the owner of every
// component. Its event handlers are the program's behaviour: the idle engine's
// timer handlers (inherited), the running-program scan, the registry and
// program-list handlers, the tray menu commands and help mode.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/IdleEngine.h"
#include "engine/ProgramScan.h"
#include "engine/Win32TimerPlatform.h"
#include "engine/Win32IdlePlatform.h"
#include "engine/WindowList.h"
#include "store/SettingsRegistry.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/OpenDialog.h"
#include "toolkit/ApplicationEvents.h"
#include "ui/balloon/BalloonHint.h"
#include "ui/caption/CaptionButton.h"
#include "ui/DropTarget.h"
#include "toolkit/ImageList.h"
#include "ui/tray/PopupMenu.h"
#include "ui/tray/TrayIcon.h"

namespace app {

class SettingsWindow : public toolkit::Form, private engine::IdlePlatform, public engine::IdleEngine {
public:
    // exePath stands for the running module's file name (tests place the
    // program in a folder of their own); empty means the real one.
    explicit SettingsWindow(std::string exePath = {});
    ~SettingsWindow() override;

    // Controls, in layout order.
    toolkit::GroupBox startupGroup;
    toolkit::CheckBox autostartBox;
    toolkit::GroupBox controlGroup;
    toolkit::CheckBox intelligentModeBox;
    toolkit::ComboBox programList;
    toolkit::Button addButton;
    toolkit::Button removeButton;

    // Non-visual components after the timer list, in layout order.
    engine::WindowList windowList;
    ui::TrayIcon trayIcon;
    toolkit::ImageList trayImages;
    toolkit::OpenDialog programDialog;
    toolkit::ApplicationEvents appEvents;
    ui::PopupMenu trayMenu;
    ui::MenuItem settingsItem;
    ui::MenuItem separatorItem;
    ui::MenuItem exitItem;
    ui::CaptionButton helpButton;
    ui::BalloonHint helpBalloon;
    ui::DropTarget dropTarget;

    // Handlers.
    void LoadSettingsAndList();
    void HideInsteadOfClosing(bool& canClose);
    void ShowSettings();
    void Quit();
    void ProcessMessagesBeforeMenu();
    void EnterHelpMode();
    void ShowDroppedNames(POINT pos, std::vector<std::string>& value);
    void StoreIntelligentMode();
    void StoreAutostart();
    void AddProgram();
    void RemoveProgram();
    void AddChosenProgram(bool& canClose);
    void ScanForListedPrograms(engine::TimerEvent* sender);

    // Full path of list.txt beside the executable, formed at start-up.
    std::string ListPath;
    // Whether programList holds what list.txt held.
    bool ListLoaded = false;

    store::SettingsRegistry* Registry() const { return registry_.get(); }

private:
    // The idle engine's view of the platform and of this window.
    engine::Point CursorPos() override;
    void SetCursorPos(engine::Point p) override;
    engine::Point ScreenSize() override;
    int DpiAt(engine::Point p) override;
    void LowerPriority() override;
    void ProcessMessages() override;
    bool IntelligentMode() override;
    void SetTrayIconIndex(int index) override;

    void ApplyStoredLayout();
    // Runs one step of LoadSettingsAndList and shows its error; whether it succeeded.
    bool RunStartStep(const std::function<void()>& step);
    void LoadSettings();
    void LoadProgramList();
    void SaveProgramList();
    bool EnsureProgramListLoaded();
    void HelpClick(toolkit::CheckBox& box, const char* text);
    std::string ExePath() const;
    std::string exePath_;
    // Set while a help-mode click puts its box back, so the handler that
    // runs again for that change does nothing.
    bool restoringHelpClick_ = false;

    engine::Win32IdlePlatform platform_;
    std::unique_ptr<store::SettingsRegistry> registry_;
};

}  // namespace app
