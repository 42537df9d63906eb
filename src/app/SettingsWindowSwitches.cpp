// The settings window's registry side: the start-up load of the two switches
// and the store actions of the two check boxes, with help mode in front.
#include "app/SettingsWindow.h"

#include "app/RegistryNames.h"
#include "app/SettingsWindowTexts.h"

namespace app {
namespace {

// Windows splits an unquoted command line at its first space at logon, so a
// path with a space is stored in quotes; others byte for byte.
std::string AutostartCommand(const std::string& exePath) {
    if (exePath.find(' ') == std::string::npos)
        return exePath;
    return "\"" + exePath + "\"";
}
}  // namespace

void SettingsWindow::LoadSettings() {
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    if (reg.HasKey(kSettingsKey)) {
        reg.UseKey(kSettingsKey, false);
        // Runs StoreIntelligentMode, nested, when the stored switch is on.
        intelligentModeBox.SetChecked(reg.ReadFlag(kIntelligentValue));
        addButton.SetEnabled(intelligentModeBox.Checked());
        removeButton.SetEnabled(intelligentModeBox.Checked());
        programList.SetEnabled(intelligentModeBox.Checked());
    } else {
        reg.UseKey(kSettingsKey, true);
        reg.WriteFlag(kIntelligentValue, intelligentModeBox.Checked());
    }
    // The settings key may still be current: it must not answer for the Run key.
    if (!reg.UseKey(kRunKey, true))
        reg.ReleaseKey();
    // A non-empty entry checks the box, whose handler rewrites it with the
    // path the program now runs from.
    autostartBox.SetChecked(!reg.ReadText(kAutostartValue).empty());
    reg.ReleaseKey();
}

void SettingsWindow::StoreIntelligentMode() {
    if (intelligentModeBox.Cursor() == toolkit::kHelpCursor) {
        HelpClick(intelligentModeBox, kIntelligentModeHelp);
        return;
    }
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    // A key left open by an earlier error must not receive this value.
    if (!reg.UseKey(kSettingsKey, false))
        reg.ReleaseKey();
    reg.WriteFlag(kIntelligentValue, intelligentModeBox.Checked());
    reg.ReleaseKey();
    addButton.SetEnabled(intelligentModeBox.Checked());
    removeButton.SetEnabled(intelligentModeBox.Checked());
}

void SettingsWindow::StoreAutostart() {
    if (autostartBox.Cursor() == toolkit::kHelpCursor) {
        HelpClick(autostartBox, kAutostartHelp);
        return;
    }
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    if (!reg.UseKey(kRunKey, true))
        reg.ReleaseKey();
    if (autostartBox.Checked())
        reg.WriteText(kAutostartValue, AutostartCommand(ExePath()));
    else if (reg.HasCurrentKey() || !reg.ValueMissing(kRunKey, kAutostartValue))
        // A removal that silently failed would keep starting the program at
        // logon with the box unchecked; a value already gone is no failure.
        reg.DeleteValue(kAutostartValue);
    reg.ReleaseKey();
}

}  // namespace app
