// Every text the settings window and the tray menu show, byte for byte as
// users know them (the misspellings "Automaikus" and "Inteligens" included).
#pragma once

namespace app {

// The window's caption and the application's title (error boxes, the tray tip).
constexpr char kProgramTitle[] = "Tavrin2";

constexpr char kStartupGroupCaption[] = "Indítás";
constexpr char kAutostartCaption[] = "Automaikus indítás a windows indításakor";
constexpr char kAutostartHint[] = "Automatikus indítás";
constexpr char kControlGroupCaption[] = "Vezérlő";
constexpr char kIntelligentModeCaption[] = "Inteligens egér-vezérlő";
constexpr char kIntelligentModeHint[] = "Inteligens egér-vezérlő be/ki kapcsolása";
// What the program list's edit field shows when no entry is chosen.
constexpr char kProgramListText[] = "Programok listája";
constexpr char kAddCaption[] = "Hozzáad";
constexpr char kAddHint[] = "Program hozzáadása a listához";
constexpr char kRemoveCaption[] = "Töröl";
constexpr char kRemoveHint[] = "Program törlése a listáról";

// The open dialog's filter and the extension it appends to a bare name.
constexpr char kProgramFilter[] = "Alkalmazás|*.exe";
constexpr char kProgramExtension[] = "*.exe";
constexpr char kProgramFolder[] = "c:\\";

constexpr char kSettingsMenuCaption[] = "Beállítások...";
constexpr char kExitMenuCaption[] = "Kilépés";

// The help balloons' heading and texts.
constexpr char kHelpHeading[] = "Indítás";
constexpr char kIntelligentModeHelp[] =
    "Ha ki van pipálva, akkor a program, csak akkor mozgatja az egeret\r"
    "ha azon programok valamelyike fut a gépen, amit megadtunk a listában.";
constexpr char kAutostartHelp[] =
    "Ha ki van pipálva, akkor az\r"
    "op. rendszerrel egyszerre indul a program.";

}  // namespace app
