// Names of the icon resources in icons.rc.
#pragma once

#include "toolkit/Application.h"

namespace app {

// The green glyph: the application's icon and its taskbar button's.
constexpr const char* kMainIcon = toolkit::kMainIconResource;
// The red glyph stored with the tray icon, shown until a state is chosen.
constexpr char kTrayIcon[] = "TRAYICON";
// The state images of the tray icon's image list, in index order.
constexpr const char* kTrayStateIcons[] = {"TRAYSTATE0", "TRAYSTATE1", "TRAYSTATE2"};

}  // namespace app
