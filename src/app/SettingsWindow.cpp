// The settings window's layout, start-up and lifecycle handlers.
#include "app/SettingsWindow.h"

#include "store/ListFile.h"
#include "store/ListFileText.h"

#include "app/IconResources.h"
#include "app/SettingsWindowTexts.h"
#include "toolkit/Application.h"
#include "toolkit/CommaText.h"
#include "toolkit/ErrorReport.h"

namespace app {

namespace {
using toolkit::Bounds;

// Group boxes hold their controls at offsets from their own top-left corner;
// the controls are children of the window itself, so they are placed at the
// sum (their notifications then reach the window directly).
constexpr Bounds kStartupGroupBounds{0, 0, 235, 41};
constexpr Bounds kControlGroupBounds{0, 41, 235, 112};
constexpr Bounds In(const Bounds& group, int left, int top, int width, int height) {
    return Bounds{group.left + left, group.top + top, width, height};
}

toolkit::FormLayout Layout() {
    toolkit::FormLayout layout;
    layout.caption = kProgramTitle;
    layout.left = 381;
    layout.top = 179;
    layout.clientWidth = 235;
    layout.clientHeight = 153;
    layout.centreOnFirstShow = true;
    layout.fontName = "MS Sans Serif";
    layout.fontHeight = -11;
    return layout;
}
}  // namespace

SettingsWindow::SettingsWindow(std::string exePath)
    : Form(nullptr, "SettingsWindow", Layout()),
      IdleEngine(*this, engine::MakeWin32TimerPlatform(), static_cast<engine::IdlePlatform&>(*this)),
      startupGroup(*this, "startupGroup", kStartupGroupBounds, kStartupGroupCaption),
      autostartBox(*this, "autostartBox", In(kStartupGroupBounds, 8, 16, 217, 17), kAutostartCaption),
      controlGroup(*this, "controlGroup", kControlGroupBounds, kControlGroupCaption),
      intelligentModeBox(*this, "intelligentModeBox", In(kControlGroupBounds, 8, 16, 129, 17), kIntelligentModeCaption),
      programList(*this, "programList", In(kControlGroupBounds, 8, 40, 217, 21), 13),
      addButton(*this, "addButton", In(kControlGroupBounds, 8, 72, 75, 25), kAddCaption),
      removeButton(*this, "removeButton", In(kControlGroupBounds, 144, 72, 75, 25), kRemoveCaption),
      windowList(this, "windowList"),
      trayIcon(this, "trayIcon"),
      trayImages(this, "trayImages"),
      programDialog(this, "programDialog"),
      appEvents(this, "appEvents"),
      trayMenu(this, "trayMenu"),
      settingsItem(this, "settingsItem"),
      separatorItem(this, "separatorItem"),
      exitItem(this, "exitItem"),
      helpButton(this, "helpButton"),
      helpBalloon(this, "helpBalloon"),
      dropTarget(this, "dropTarget"),
      exePath_(std::move(exePath)) {
    toolkit::Application::Instance().SetMainForm(this);
    ApplyStoredLayout();
    LoadedAll();
    try {
        LoadSettingsAndList();
    } catch (...) {
        // The create step is a platform entry of its own: show the error and
        // run on with what was set up.
        toolkit::HandleCurrentException();
    }
}

SettingsWindow::~SettingsWindow() {
    // Members go in reverse order of creation; the timer list stops first of
    // all so no tick reaches a half-destroyed window.
    timers.SetActive(false);
}

void SettingsWindow::ApplyStoredLayout() {
    OnCloseQuery = [this](bool& canClose) { HideInsteadOfClosing(canClose); };

    // Tab order: the second group box's controls first, then the first's.
    // Group boxes go to the bottom of the Z order so they paint under them.
    HWND tabOrder[] = {intelligentModeBox.Handle(), programList.Handle(), addButton.Handle(), removeButton.Handle(),
                       autostartBox.Handle(), controlGroup.Handle(), startupGroup.Handle()};
    for (HWND hwnd : tabOrder)
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    autostartBox.Hint = kAutostartHint;
    autostartBox.ShowHint = true;
    autostartBox.OnClick = [this] { StoreAutostart(); };
    intelligentModeBox.Hint = kIntelligentModeHint;
    intelligentModeBox.ShowHint = true;
    intelligentModeBox.OnClick = [this] { StoreIntelligentMode(); };
    programList.SetText(kProgramListText);
    addButton.Hint = kAddHint;
    addButton.ShowHint = true;
    addButton.OnClick = [this] { AddProgram(); };
    removeButton.Hint = kRemoveHint;
    removeButton.ShowHint = true;
    removeButton.OnClick = [this] { RemoveProgram(); };

    programScan.OnTimer = [this](engine::TimerEvent* sender) { ScanForListedPrograms(sender); };
    windowList.AcceptEmptyNames = false;

    // The tray icon registers with the main icon, then shows its stored red
    // glyph at once; no state is chosen until the engine picks one.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    trayIcon.SetActive(true);
    trayIcon.SetIconResource(instance, kTrayIcon);
    trayIcon.SetIconIndex(-1);

    for (const char* name : kTrayStateIcons)
        trayImages.AddIconResource(instance, name);

    programDialog.Filter = kProgramFilter;
    programDialog.FilterIndex = 1;
    programDialog.DefaultExt = kProgramExtension;
    programDialog.InitialDir = kProgramFolder;
    programDialog.Options = OFN_ENABLEHOOK | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    programDialog.OnCanClose = [this](toolkit::OpenDialog&, bool& canClose) { AddChosenProgram(canClose); };

    appEvents.SetShowMainForm(false);

    settingsItem.SetCaption(kSettingsMenuCaption);
    settingsItem.OnClick = [this] { ShowSettings(); };
    separatorItem.SetCaption("-");
    exitItem.SetCaption(kExitMenuCaption);
    exitItem.OnClick = [this] { Quit(); };
    trayMenu.Add(settingsItem);
    trayMenu.Add(separatorItem);
    trayMenu.Add(exitItem);
    trayMenu.OnPopup = [this] { ProcessMessagesBeforeMenu(); };

    helpButton.SetStandard(ui::StandardButton::Help);
    helpButton.SetButtonLeft(40);
    helpButton.SetButtonTop(6);
    helpButton.SetButtonWidth(16);
    helpButton.SetButtonHeight(14);
    helpButton.SetAlignment(ui::CaptionAlignment::Right);
    helpButton.SetFont("MS Sans Serif", -11);
    helpButton.OnClick = [this](ui::CaptionButton&) { EnterHelpMode(); };

    // Control hints become balloons from here on.
    helpBalloon.Options = {ui::BalloonOption::ShowCloseButton};
    helpBalloon.SetHintOptions({ui::ApplicationHintOption::ShowHeaderInHint, ui::ApplicationHintOption::ShowIconInHint,
                                ui::ApplicationHintOption::UseBalloonAsHint});
    helpBalloon.DefaultIcon = ui::IconKind::None;

    dropTarget.OnDrop = [this](ui::DropTarget&, POINT pos, std::vector<std::string>& value) {
        ShowDroppedNames(pos, value);
    };

    // References between components are resolved once all of them exist.
    trayIcon.SetIcons(&trayImages);
    trayIcon.SetContextMenu(&trayMenu);
}

void SettingsWindow::LoadSettingsAndList() {
    // The mover's steps come first: an error in a later step must not leave
    // the mover showing its moving state while holding the cursor still.
    StepX = 10;
    StepY = 10;
    ListPath = store::ListPathFor(ExePath());
    // The three loads are independent: one that fails is shown and the others
    // still run, so a damaged list.txt cannot cost the stored switches, nor a
    // damaged registry value the program list. Only the list's load needs the
    // file made in the first step, and is skipped quietly without it.
    const bool listFileReady = RunStartStep([this] { store::EnsureListFile(ListPath); });
    LowerPriority();
    toolkit::Application::Instance().SetTitle(kProgramTitle);
    RunStartStep([this] { LoadSettings(); });
    if (listFileReady)
        RunStartStep([this] { LoadProgramList(); });
    StepX = 10;
    StepY = 10;
}

bool SettingsWindow::RunStartStep(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (...) {
        // The create step is a platform entry: each load's error is shown here,
        // once, in the order the loads run.
        toolkit::HandleCurrentException();
        return false;
    }
}

void SettingsWindow::HideInsteadOfClosing(bool& canClose) {
    Hide();
    canClose = false;
}

void SettingsWindow::ShowSettings() {
    // A minimised (and so auto-hidden) application would keep the window out
    // of reach: bring the application back first.
    toolkit::Application::Instance().Restore();
    Show();
}

void SettingsWindow::Quit() {
    toolkit::Application::Instance().Terminate();
}

void SettingsWindow::ProcessMessagesBeforeMenu() {
    toolkit::Application::Instance().ProcessMessages();
}

void SettingsWindow::EnterHelpMode() {
    intelligentModeBox.SetCursor(toolkit::kHelpCursor);
    autostartBox.SetCursor(toolkit::kHelpCursor);
}

void SettingsWindow::HelpClick(toolkit::CheckBox& box, const char* text) {
    if (restoringHelpClick_)
        return;
    // A click in help mode asks what the box means; it changes no setting.
    // The click has already turned the box over: turn it back, so the box
    // keeps showing what is stored and what the engine acts on.
    restoringHelpClick_ = true;
    try {
        box.SetChecked(!box.Checked());
    } catch (...) {
        restoringHelpClick_ = false;
        throw;
    }
    restoringHelpClick_ = false;
    helpBalloon.ShowBalloon(&box, text, kHelpHeading, 10000);
    intelligentModeBox.SetCursor(toolkit::kDefaultCursor);
    autostartBox.SetCursor(toolkit::kDefaultCursor);
}

void SettingsWindow::ShowDroppedNames(POINT, std::vector<std::string>& value) {
    SetCaption(toolkit::CommaText(value, [](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }));
}

void SettingsWindow::ScanForListedPrograms(engine::TimerEvent*) {
    engine::ScanPorts ports;
    ports.LowerPriority = [this] { LowerPriorityStep(); };
    ports.ProcessMessages = [this] { ProcessMessagesStep(); };
    ports.FindExact = [this](const std::string& name) { return programList.FindExact(name); };
    engine::RunProgramScan(programScan, WatchedRunning, windowList, ports);
}

std::string SettingsWindow::ExePath() const {
    if (!exePath_.empty())
        return exePath_;
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

engine::Point SettingsWindow::CursorPos() {
    return platform_.CursorPos();
}
void SettingsWindow::SetCursorPos(engine::Point p) {
    platform_.SetCursorPos(p);
}
engine::Point SettingsWindow::ScreenSize() {
    return platform_.ScreenSize();
}
int SettingsWindow::DpiAt(engine::Point p) {
    return platform_.DpiAt(p);
}
void SettingsWindow::LowerPriority() {
    platform_.LowerPriority();
}
void SettingsWindow::ProcessMessages() {
    toolkit::Application::Instance().ProcessMessages();
}
bool SettingsWindow::IntelligentMode() {
    return intelligentModeBox.Checked();
}
void SettingsWindow::SetTrayIconIndex(int index) {
    trayIcon.SetIconIndex(index);
}

}  // namespace app
