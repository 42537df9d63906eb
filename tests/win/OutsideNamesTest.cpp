// The names other programs, the shell, the installer, stored settings and
// users know the program by. Each expected value is written split in the
// middle of a word, so that no rename of an identifier, however it is done,
// can rewrite it together with the constant it checks.
#include <gtest/gtest.h>

#include <string>

#include "app/IconResources.h"
#include "app/RegistryNames.h"
#include "app/SettingsWindowTexts.h"
#include "engine/Win32TimerPlatform.h"
#include "store/ListFileText.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/hint/HintWindow.h"
#include "toolkit/LiveCounts.h"
#include "ui/balloon/BalloonWindow.h"
#include "ui/tray/PopupMenu.h"
#include "ui/tray/ShellPort.h"
#include "ui/tray/TrayIcon.h"
#include "ui/hook/MessageHook.h"

namespace {

struct OutsideName {
    const char* what;
    std::string actual;
    const char* expected;
};

TEST(OutsideNames, KeepTheirValuesByteForByte) {
    const OutsideName names[] = {
        // Window classes and the window property.
        {"application window", toolkit::kApplicationWindowClass, "Tavrin2Appli" "cation"},
        {"form window", toolkit::kFormWindowClass, "Tavrin2Fo" "rm"},
        {"hint window", toolkit::kHintWindowClass, "THintWi" "ndow"},
        {"timer window", engine::kTimerWindowClass, "TavrinTimerLi" "stWindow"},
        {"tray callback window", ui::kTrayNotifyWindowClass, "Tavrin2Tray" "Notify"},
        {"menu owner window", ui::kMenuOwnerWindowClass, "Tavrin2Menu" "Owner"},
        {"balloon hint window", ui::kBalloonWindowClass, "TBallo" "onWindow"},
        {"help balloon window", ui::kHelpBalloonWindowClass, "TBallo" "onWindowEx"},
        {"hook releaser window", ui::kReleaserWindowClass, "TRele" "aser"},
        {"hook record property", ui::kHookRecordProperty, "Tavrin2.Hook" "Record"},
        // Registered messages, the tray callback and the icon's id.
        {"taskbar message", ui::kTaskbarCreatedMessage, "Taskbar" "Created"},
        {"live counts message", toolkit::kLiveCountsMessage, "Tavrin2.Live" "Counts"},
        {"tray callback message", std::to_string(ui::kTrayCallbackMessage), "10" "25"},
        {"tray icon id", std::to_string(ui::kTrayIconId), "1"},
        // Resources.
        {"main icon", toolkit::kMainIconResource, "MAIN" "ICON"},
        {"tray icon", app::kTrayIcon, "TRAY" "ICON"},
        {"tray state 0", app::kTrayStateIcons[0], "TRAY" "STATE0"},
        {"tray state 1", app::kTrayStateIcons[1], "TRAY" "STATE1"},
        {"tray state 2", app::kTrayStateIcons[2], "TRAY" "STATE2"},
        // Files and the registry.
        {"list file", store::kListFileName, "li" "st.txt"},
        {"settings key", app::kSettingsKey, "Software\\Orva" "neth\\Tavrin2"},
        {"intelligent mode value", app::kIntelligentValue, "Intel" "igens"},
        {"run key", app::kRunKey, "Software\\Microsoft\\Windows\\Current" "Version\\Run"},
        {"autostart value", app::kAutostartValue, "Tav" "rin2"},
        // What users read.
        {"title", app::kProgramTitle, "Tav" "rin2"},
        {"autostart box", app::kAutostartCaption, "Automa" "ikus indítás a windows indításakor"},
        {"intelligent mode box", app::kIntelligentModeCaption, "Intel" "igens egér-vezérlő"},
        {"settings menu item", app::kSettingsMenuCaption, "Beállí" "tások..."},
        {"exit menu item", app::kExitMenuCaption, "Kilé" "pés"},
    };
    for (const OutsideName& n : names)
        EXPECT_EQ(n.actual, n.expected) << n.what;
}

}  // namespace
