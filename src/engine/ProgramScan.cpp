// The scan: walk the listed windows, name each one's process and look the
// names up in the program list.
#include "engine/ProgramScan.h"

namespace engine {
namespace {

// A blank list line must not match every process that cannot be named, so
// an empty name is never searched.
bool Listed(const ScanPorts& ports, const std::string& name) {
    if (name.empty() || !ports.FindExact)
        return false;
    return ports.FindExact(LowerAscii(name)) >= 0;
}

}  // namespace

void RunProgramScan(TimerEvent& programScan, bool& WatchedRunning, WindowList& list, const ScanPorts& ports) {
    if (ports.LowerPriority)
        ports.LowerPriority();
    programScan.SetEnabled(false);
    if (ports.ProcessMessages)
        ports.ProcessMessages();
    list.Refresh();
    const int count = list.Count();
    ProcessNamesMemo memo(SystemProcesses(), CurrentPlatformVersion());
    bool found = false;
    // Every window is looked up, also after a match.
    for (int i = 0; i < count; ++i) {
        if (ports.ProcessMessages)
            ports.ProcessMessages();
        const HWND window = list.GetWindowHandle(i);
        const WindowProcessNames names =
            ports.NameWindow ? ports.NameWindow(window) : NamesOfWindowProcess(window, &memo);
        // The list holds the full paths the open dialog gives; the snapshot
        // names only the file on current systems, so either may match.
        if (Listed(ports, names.Name) || Listed(ports, names.FullPath)) {
            found = true;
            WatchedRunning = true;
        }
    }
    WatchedRunning = found;
    programScan.SetEnabled(true);
}

}  // namespace engine
