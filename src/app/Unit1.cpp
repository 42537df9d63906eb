// The settings window's layout, start-up and lifecycle handlers.
#include "app/Unit1.h"

#include "store/ListFile.h"
#include "store/ListFileText.h"

#include "app/IconResources.h"
#include "app/SettingsWindowTexts.h"
#include "toolkit/Application.h"
#include "toolkit/CommaText.h"
#include "toolkit/ErrorReport.h"

namespace {
using toolkit::Bounds;

// Group boxes hold their controls at offsets from their own top-left corner;
// the controls are children of the window itself, so they are placed at the
// sum (their notifications then reach the window directly).
constexpr Bounds kGroupBox1{0, 0, 235, 41};
constexpr Bounds kGroupBox2{0, 41, 235, 112};
constexpr Bounds In(const Bounds& group, int left, int top, int width, int height) {
    return Bounds{group.left + left, group.top + top, width, height};
}

toolkit::FormLayout Layout() {
    toolkit::FormLayout layout;
    layout.caption = app::kProgramTitle;
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

TForm1::TForm1(std::string exePath)
    : Form(nullptr, "Form1", Layout()),
      IdleEngine(*this, engine::MakeWin32TimerPlatform(), static_cast<engine::IdlePlatform&>(*this)),
      GroupBox1(*this, "GroupBox1", kGroupBox1, app::kStartupGroupCaption),
      CheckBox2(*this, "CheckBox2", In(kGroupBox1, 8, 16, 217, 17), app::kAutostartCaption),
      GroupBox2(*this, "GroupBox2", kGroupBox2, app::kControlGroupCaption),
      CheckBox1(*this, "CheckBox1", In(kGroupBox2, 8, 16, 129, 17), app::kIntelligentModeCaption),
      ComboBox1(*this, "ComboBox1", In(kGroupBox2, 8, 40, 217, 21), 13),
      Button1(*this, "Button1", In(kGroupBox2, 8, 72, 75, 25), app::kAddCaption),
      Button2(*this, "Button2", In(kGroupBox2, 144, 72, 75, 25), app::kRemoveCaption),
      WindowsList1(this, "WindowsList1"),
      TrayIcon1(this, "TrayIcon1"),
      ImageList1(this, "ImageList1"),
      OpenDialog1(this, "OpenDialog1"),
      AppEvents1(this, "AppEvents1"),
      PopupMenu1(this, "PopupMenu1"),
      Belltsok1(this, "Belltsok1"),
      N1(this, "N1"),
      Kilps1(this, "Kilps1"),
      CaptionButton1(this, "CaptionButton1"),
      BalloonHint1(this, "BalloonHint1"),
      DragDrop1(this, "DragDrop1"),
      exePath_(std::move(exePath)) {
    toolkit::Application::Instance().SetMainForm(this);
    ApplyStoredLayout();
    LoadedAll();
    try {
        FormCreate();
    } catch (...) {
        // The create step is a platform entry of its own: show the error and
        // run on with what was set up.
        toolkit::HandleCurrentException();
    }
}

TForm1::~TForm1() {
    // Members go in reverse order of creation; the timer list stops first of
    // all so no tick reaches a half-destroyed window.
    TimerList1.SetActive(false);
}

void TForm1::ApplyStoredLayout() {
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };

    // Tab order: the second group box's controls first, then the first's.
    // Group boxes go to the bottom of the Z order so they paint under them.
    HWND tabOrder[] = {CheckBox1.Handle(), ComboBox1.Handle(), Button1.Handle(), Button2.Handle(),
                       CheckBox2.Handle(), GroupBox2.Handle(), GroupBox1.Handle()};
    for (HWND hwnd : tabOrder)
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    CheckBox2.Hint = app::kAutostartHint;
    CheckBox2.ShowHint = true;
    CheckBox2.OnClick = [this] { CheckBox2Click(); };
    CheckBox1.Hint = app::kIntelligentModeHint;
    CheckBox1.ShowHint = true;
    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    ComboBox1.SetText(app::kProgramListText);
    Button1.Hint = app::kAddHint;
    Button1.ShowHint = true;
    Button1.OnClick = [this] { Button1Click(); };
    Button2.Hint = app::kRemoveHint;
    Button2.ShowHint = true;
    Button2.OnClick = [this] { Button2Click(); };

    program_ell.OnTimer = [this](engine::TTimerEvent* sender) { program_ellTimer(sender); };
    WindowsList1.AcceptEmptyNames = false;

    // The tray icon registers with the main icon, then shows its stored red
    // glyph at once; no state is chosen until the engine picks one.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    TrayIcon1.SetActive(true);
    TrayIcon1.SetIcon(static_cast<HICON>(LoadImageA(instance, app::kTrayIcon, IMAGE_ICON, 16, 16, LR_SHARED)));
    TrayIcon1.SetIconIndex(-1);

    for (const char* name : app::kTrayStateIcons)
        ImageList1.AddIconResource(instance, name);

    OpenDialog1.Filter = app::kProgramFilter;
    OpenDialog1.FilterIndex = 1;
    OpenDialog1.DefaultExt = app::kProgramExtension;
    OpenDialog1.InitialDir = app::kProgramFolder;
    OpenDialog1.Options = OFN_ENABLEHOOK | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    OpenDialog1.OnCanClose = [this](toolkit::TOpenDialog&, bool& canClose) { OpenDialog1CanClose(canClose); };

    AppEvents1.SetShowMainForm(false);

    Belltsok1.SetCaption(app::kSettingsMenuCaption);
    Belltsok1.OnClick = [this] { Belltsok1Click(); };
    N1.SetCaption("-");
    Kilps1.SetCaption(app::kExitMenuCaption);
    Kilps1.OnClick = [this] { Kilps1Click(); };
    PopupMenu1.Add(Belltsok1);
    PopupMenu1.Add(N1);
    PopupMenu1.Add(Kilps1);
    PopupMenu1.OnPopup = [this] { PopupMenu1Popup(); };

    CaptionButton1.SetStandard(ui::tsbHelp);
    CaptionButton1.SetButtonLeft(40);
    CaptionButton1.SetButtonTop(6);
    CaptionButton1.SetButtonWidth(16);
    CaptionButton1.SetButtonHeight(14);
    CaptionButton1.SetAlignment(ui::taRightJustify);
    CaptionButton1.SetFont("MS Sans Serif", -11);
    CaptionButton1.OnClick = [this](ui::TCaptionButton&) { CaptionButton1Click(); };

    // Control hints become balloons from here on.
    BalloonHint1.Options = {ui::boShowCloseBtn};
    BalloonHint1.SetApplicationHintOptions({ui::ahShowHeaderInHint, ui::ahShowIconInHint, ui::ahUseBalloonAsHint});
    BalloonHint1.DefaultIcon = ui::ikNone;

    DragDrop1.OnDrop = [this](ui::TDragDrop&, POINT pos, std::vector<std::string>& value) {
        DragDrop1Drop(pos, value);
    };

    // References between components are resolved once all of them exist.
    TrayIcon1.SetIcons(&ImageList1);
    TrayIcon1.SetPopupMenu(&PopupMenu1);
}

void TForm1::FormCreate() {
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
    toolkit::Application::Instance().SetTitle(app::kProgramTitle);
    RunStartStep([this] { LoadSettings(); });
    if (listFileReady)
        RunStartStep([this] { LoadProgramList(); });
    StepX = 10;
    StepY = 10;
}

bool TForm1::RunStartStep(const std::function<void()>& step) {
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

void TForm1::FormCloseQuery(bool& canClose) {
    Hide();
    canClose = false;
}

void TForm1::Belltsok1Click() {
    // A minimised (and so auto-hidden) application would keep the window out
    // of reach: bring the application back first.
    toolkit::Application::Instance().Restore();
    Show();
}

void TForm1::Kilps1Click() {
    toolkit::Application::Instance().Terminate();
}

void TForm1::PopupMenu1Popup() {
    toolkit::Application::Instance().ProcessMessages();
}

void TForm1::CaptionButton1Click() {
    CheckBox1.SetCursor(toolkit::crHelp);
    CheckBox2.SetCursor(toolkit::crHelp);
}

void TForm1::HelpClick(toolkit::CheckBox& box, const char* text) {
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
    BalloonHint1.ShowBalloon(&box, text, app::kHelpHeading, 10000);
    CheckBox1.SetCursor(toolkit::crDefault);
    CheckBox2.SetCursor(toolkit::crDefault);
}

void TForm1::DragDrop1Drop(POINT, std::vector<std::string>& value) {
    SetCaption(toolkit::CommaText(value, [](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }));
}

void TForm1::program_ellTimer(engine::TTimerEvent*) {
    engine::ScanPorts ports;
    ports.LowerPriority = [this] { LowerPriorityStep(); };
    ports.ProcessMessages = [this] { ProcessMessagesStep(); };
    ports.FindExact = [this](const std::string& name) { return ComboBox1.FindExact(name); };
    engine::RunProgramScan(program_ell, WatchedRunning, WindowsList1, ports);
}

std::string TForm1::ExePath() const {
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

engine::Point TForm1::CursorPos() {
    return platform_.CursorPos();
}
void TForm1::SetCursorPos(engine::Point p) {
    platform_.SetCursorPos(p);
}
engine::Point TForm1::ScreenSize() {
    return platform_.ScreenSize();
}
void TForm1::LowerPriority() {
    platform_.LowerPriority();
}
void TForm1::ProcessMessages() {
    toolkit::Application::Instance().ProcessMessages();
}
bool TForm1::IntelligentMode() {
    return CheckBox1.Checked();
}
void TForm1::SetTrayIconIndex(int index) {
    TrayIcon1.SetIconIndex(index);
}
