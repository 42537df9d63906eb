// The running-program scan's cost per run against a baseline that only walks
// the top-level windows, measured in the same run with 10, 50 and 200 visible
// titled windows of testwin.exe. Run it by hand (it is not a test):
//   tools/wine-run build/windows/bench/scan_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "TestWinClient.h"
#include "engine/ProgramScan.h"

namespace {

double Now() {
    static const double ticksPerUs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerUs;
}

// Median microseconds of one run, over at least 7 runs and 400 ms.
double MedianUs(const std::function<void()>& run) {
    run();  // warm up
    std::vector<double> times;
    const double start = Now();
    while (times.size() < 7 || Now() - start < 400000) {
        const double t0 = Now();
        run();
        times.push_back(Now() - t0);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

}  // namespace

int main() {
    // The program list, as the settings window holds it: a real combo box.
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND combo =
        CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 300, 200, host, nullptr, nullptr, nullptr);
    for (const char* entry : {"c:\\Program Files\\Editor\\editor.exe", "c:\\Games\\game.exe"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));

    engine::ScanPorts ports;
    ports.ProcessMessages = Pump;  // priority is left alone: the timing is of the work
    ports.FindExact = [combo](const std::string& text) {
        return static_cast<int>(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text.c_str())));
    };
    // The same scan naming each window's process afresh (no memo for the scan),
    // and naming it by a full process listing per window.
    engine::ScanPorts fresh = ports;
    fresh.NameWindow = [](HWND w) { return engine::NamesOfWindowProcess(w); };
    engine::ScanPorts listing = ports;
    listing.NameWindow = [](HWND w) { return engine::WindowProcessNames{engine::ProcessNameOfWindowByListing(w), {}}; };

    std::printf("running-program scan, median of one run (us) and ratio to the baseline,\n"
                "the window walk alone (Refresh); all windows belong to one process\n");
    std::printf("%8s %8s %10s %10s %7s %12s %7s %14s %7s\n", "windows", "listed", "baseline", "scan", "ratio",
                "no-memo", "ratio", "full-listing", "ratio");
    for (int n : {10, 50, 200}) {
        testsupport::TestWinProcess program({"many", std::to_string(n), "Bench window"});
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(program.Path().c_str()));

        engine::WindowList list(nullptr);
        engine::TimerEvent programScan(nullptr, "programScan");
        bool watched = false;

        const double baseline = MedianUs([&] { list.Refresh(); });
        const int listed = list.Count();
        const double scan = MedianUs([&] { engine::RunProgramScan(programScan, watched, list, ports); });
        if (!watched)
            std::printf("warning: the listed program was not found\n");
        const double noMemo = MedianUs([&] { engine::RunProgramScan(programScan, watched, list, fresh); });
        const double full = MedianUs([&] { engine::RunProgramScan(programScan, watched, list, listing); });
        std::printf("%8d %8d %10.0f %10.0f %7.1f %12.0f %7.1f %14.0f %7.1f\n", n, listed, baseline, scan,
                    scan / baseline, noMemo, noMemo / baseline, full, full / baseline);
        SendMessageA(combo, CB_DELETESTRING, SendMessageA(combo, CB_GETCOUNT, 0, 0) - 1, 0);
    }

    // Where the listing opens every process (Windows 2000 and XP), naming one
    // process against listing all of them, on this system's processes.
    engine::SystemProcessSource& source = engine::SystemProcesses();
    const uint32_t self = GetCurrentProcessId();
    engine::ProcessList all;
    engine::ListRunningProcesses(source, engine::VersionClass::WindowsXP, all);
    const double one = MedianUs([&] { engine::NameOfProcess(source, engine::VersionClass::WindowsXP, self); });
    const double every = MedianUs([&] {
        engine::ProcessList list;
        engine::ListRunningProcesses(source, engine::VersionClass::WindowsXP, list);
    });
    std::printf("\nname lookup by the 2000/XP rules, %zu processes: one process %.0f us, full listing %.0f us, ratio %.1f\n",
                all.size(), one, every, every / one);
    DestroyWindow(host);
    return 0;
}
