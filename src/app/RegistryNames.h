// Where the program keeps its switch and its autostart entry in the user's
// registry; stored settings and the uninstaller rely on every name here.
#pragma once

namespace app {

constexpr char kSettingsKey[] = "Software\\Orvaneth\\Tavrin2";
// REG_DWORD 1 or 0: intelligent mode on or off.
constexpr char kIntelligentValue[] = "Inteligens";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// REG_SZ: the executable's path while autostart is on.
constexpr char kAutostartValue[] = "Tavrin2";

}  // namespace app
