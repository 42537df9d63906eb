// The settings window: the program's main window and the owner of every
// component. Its event handlers are the program's behaviour: the idle engine's
// timer handlers (inherited), the running-program scan, the registry and
// program-list handlers, the tray menu commands and help mode.
#pragma once

#include <memory>
#include <string>

#include "engine/IdleEngine.h"
#include "engine/ProgramScan.h"
#include "engine/Win32TimerPlatform.h"
#include "engine/Win32IdlePlatform.h"
#include "engine/WindowsListUnit.h"
#include "store/SettingsRegistry.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/OpenDialog.h"
#include "ui/AppEvent.h"
#include "ui/BalloonHint.h"
#include "ui/CaptionButton.h"
#include "ui/DragDrop.h"
#include "ui/ImageList.h"
#include "ui/Menus.h"
#include "ui/TrayIcon.h"

class TForm1 : public toolkit::Form, private engine::IdlePlatform, public engine::IdleEngine {
public:
    // exePath stands for the running module's file name (tests place the
    // program in a folder of their own); empty means the real one.
    explicit TForm1(std::string exePath = {});
    ~TForm1() override;

    // Controls, in layout order.
    toolkit::GroupBox GroupBox1;
    toolkit::CheckBox CheckBox2;
    toolkit::GroupBox GroupBox2;
    toolkit::CheckBox CheckBox1;
    toolkit::ComboBox ComboBox1;
    toolkit::Button Button1;
    toolkit::Button Button2;

    // Non-visual components after the timer list, in layout order.
    engine::TWindowsList WindowsList1;
    ui::TTrayIcon TrayIcon1;
    ui::TImageList ImageList1;
    toolkit::TOpenDialog OpenDialog1;
    ui::TAppEvents AppEvents1;
    ui::TPopupMenu PopupMenu1;
    ui::TMenuItem Belltsok1;
    ui::TMenuItem N1;
    ui::TMenuItem Kilps1;
    ui::TCaptionButton CaptionButton1;
    ui::TBalloonHint BalloonHint1;
    ui::TDragDrop DragDrop1;

    // Handlers.
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void Belltsok1Click();
    void Kilps1Click();
    void PopupMenu1Popup();
    void CaptionButton1Click();
    void DragDrop1Drop(POINT pos, std::vector<std::string>& value);
    void CheckBox1Click();
    void CheckBox2Click();
    void Button1Click();
    void Button2Click();
    void OpenDialog1CanClose(bool& canClose);
    void program_ellTimer(engine::TTimerEvent* sender);

    // Full path of list.txt beside the executable, formed at start-up.
    std::string ListPath;
    // Whether the program list in ComboBox1 holds what list.txt held.
    bool ListLoaded = false;

    store::SettingsRegistry* Registry() const { return registry_.get(); }

private:
    // The idle engine's view of the platform and of this window.
    engine::Point CursorPos() override;
    void SetCursorPos(engine::Point p) override;
    engine::Point ScreenSize() override;
    void LowerPriority() override;
    void ProcessMessages() override;
    bool IntelligentMode() override;
    void SetTrayIconIndex(int index) override;

    void ApplyStoredLayout();
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
