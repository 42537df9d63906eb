// The running-program scan behind ScanForListedPrograms: do the visible, titled
// top-level windows include one whose process is on the program list?
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/ProcessLookup.h"
#include "engine/TimerList.h"
#include "engine/WindowList.h"

namespace engine {

// What the scan needs from the settings window.
struct ScanPorts {
    std::function<void()> LowerPriority;
    std::function<void()> ProcessMessages;
    // The program list's exact search (programList, CB_FINDSTRINGEXACT from -1):
    // the index of the first entry equal to the text regardless of case, or -1.
    std::function<int(const std::string&)> FindExact;
    // Names the window's process; when empty, NamesOfWindowProcess with a
    // memo for the scan, so each process is asked once per scan.
    std::function<WindowProcessNames(HWND)> NameWindow;
};

// One scan. programScan is off while it runs, so scans never nest; it is on
// again at the end (restarting its countdown). WatchedRunning turns true at
// the first match and takes the scan's result at the end, so decisions taken
// inside the scan's message pumps see the previous result until then. An
// exception leaves programScan off and WatchedRunning as it stands.
void RunProgramScan(TimerEvent& programScan, bool& WatchedRunning, WindowList& list, const ScanPorts& ports);

}  // namespace engine
