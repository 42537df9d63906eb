// The settings window's registry side: the start-up load of the two switches
// and the store actions of the two check boxes, with help mode in front.
#include "app/Unit1.h"

#include "app/RegistryNames.h"
#include "app/SettingsWindowTexts.h"

namespace {
using app::kAutostartValue;
using app::kIntelligentValue;
using app::kRunKey;
using app::kSettingsKey;

// Windows splits an unquoted command line at its first space at logon, so a
// path with a space is stored in quotes; others byte for byte.
std::string AutostartCommand(const std::string& exePath) {
    if (exePath.find(' ') == std::string::npos)
        return exePath;
    return "\"" + exePath + "\"";
}
}  // namespace

void TForm1::LoadSettings() {
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    if (reg.HasKey(kSettingsKey)) {
        reg.UseKey(kSettingsKey, false);
        // Runs CheckBox1Click, nested, when the stored switch is on.
        CheckBox1.SetChecked(reg.ReadFlag(kIntelligentValue));
        Button1.SetEnabled(CheckBox1.Checked());
        Button2.SetEnabled(CheckBox1.Checked());
        ComboBox1.SetEnabled(CheckBox1.Checked());
    } else {
        reg.UseKey(kSettingsKey, true);
        reg.WriteFlag(kIntelligentValue, CheckBox1.Checked());
    }
    // The settings key may still be current: it must not answer for the Run key.
    if (!reg.UseKey(kRunKey, true))
        reg.ReleaseKey();
    // A non-empty entry checks the box, whose handler rewrites it with the
    // path the program now runs from.
    CheckBox2.SetChecked(!reg.ReadText(kAutostartValue).empty());
    reg.ReleaseKey();
}

void TForm1::CheckBox1Click() {
    if (CheckBox1.Cursor() == toolkit::crHelp) {
        HelpClick(CheckBox1, app::kIntelligentModeHelp);
        return;
    }
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    // A key left open by an earlier error must not receive this value.
    if (!reg.UseKey(kSettingsKey, false))
        reg.ReleaseKey();
    reg.WriteFlag(kIntelligentValue, CheckBox1.Checked());
    reg.ReleaseKey();
    Button1.SetEnabled(CheckBox1.Checked());
    Button2.SetEnabled(CheckBox1.Checked());
}

void TForm1::CheckBox2Click() {
    if (CheckBox2.Cursor() == toolkit::crHelp) {
        HelpClick(CheckBox2, app::kAutostartHelp);
        return;
    }
    if (!registry_)
        registry_ = std::make_unique<store::SettingsRegistry>();
    store::SettingsRegistry& reg = *registry_;
    if (!reg.UseKey(kRunKey, true))
        reg.ReleaseKey();
    if (CheckBox2.Checked())
        reg.WriteText(kAutostartValue, AutostartCommand(ExePath()));
    else if (reg.HasCurrentKey() || !reg.ValueMissing(kRunKey, kAutostartValue))
        // A removal that silently failed would keep starting the program at
        // logon with the box unchecked; a value already gone is no failure.
        reg.DeleteValue(kAutostartValue);
    reg.ReleaseKey();
}
