// Times, from inside the Wine session, what a program cannot time itself: how
// long it takes to start and how long it takes to end once asked. A helper of
// bench/run_bench.py (see there for how to run the benchmark):
//   bench_probe.exe launch <program> <first window class> <answering window class>
//     "pid=<id> window_ms=<t> ready_ms=<t>": from just before CreateProcess
//     until a window of the first class belongs to the new process, and until
//     a window of the answering class exists and has answered a sent message
//     (the program's thread is in its message loop). WaitForInputIdle would
//     be the usual way, but under Wine it reports idle before the program's
//     first window exists.
//   bench_probe.exe stop <window class> <message> <wParam>
//     posts the message to the class's window; "stop_ms=<t>": until the
//     window's process has ended
//   bench_probe.exe libraries <dll>...
//     loads the libraries one after another, each with what it brings along:
//     "<dll>=<KiB>" the working set each load added, and "modules=<n>" after
//   bench_probe.exe callcost
//     the CPU time (on this thread, us) and wall time of one call of each
//     platform call the program makes per tick or per second, over many calls:
//     "<call>=<cpu us>/<wall us>"; which required call costs what
//   bench_probe.exe counts <window class>
//     asks the class's window, of a build with TAVRIN_COUNT_HANDLES, for its
//     live object counts: "icons=<n> cursors=<n> ..." (-1: not answered)
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMs;
}

HWND WindowOf(const char* windowClass, DWORD processId) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExA(nullptr, hwnd, windowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (processId == 0 || owner == processId)
            return hwnd;
    }
    return nullptr;
}

int Fail(const std::string& what) {
    std::printf("error=%s (error %lu)\n", what.c_str(), GetLastError());
    return 1;
}

int Launch(const char* program, const char* firstClass, const char* answeringClass) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = std::string("\"") + program + "\"";
    const double start = NowMs();
    if (!CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return Fail(std::string("cannot start ") + program);
    double windowMs = -1, readyMs = -1;
    while (NowMs() - start < 30000 && readyMs < 0) {
        if (windowMs < 0 && WindowOf(firstClass, process.dwProcessId))
            windowMs = NowMs() - start;
        if (windowMs >= 0) {
            if (HWND answering = WindowOf(answeringClass, process.dwProcessId)) {
                // Returns once the program's thread takes sent messages.
                DWORD_PTR result = 0;
                if (SendMessageTimeoutA(answering, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
                    readyMs = NowMs() - start;
            }
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            return Fail("the program ended while starting");
        if (readyMs < 0)
            Sleep(1);
    }
    std::printf("pid=%lu window_ms=%.1f ready_ms=%.1f\n", process.dwProcessId, windowMs, readyMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return windowMs < 0 || readyMs < 0 ? 1 : 0;
}

int Stop(const char* windowClass, UINT message, WPARAM wParam) {
    HWND hwnd = WindowOf(windowClass, 0);
    if (!hwnd)
        return Fail(std::string("no window of class ") + windowClass);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return Fail("cannot open the process");
    const double start = NowMs();
    if (!PostMessageA(hwnd, message, wParam, 0))
        return Fail("cannot post");
    const DWORD r = WaitForSingleObject(process, 10000);
    const double stopMs = NowMs() - start;
    CloseHandle(process);
    if (r != WAIT_OBJECT_0)
        return Fail("the program did not end within 10 s");
    std::printf("stop_ms=%.1f\n", stopMs);
    return 0;
}

SIZE_T WorkingSetKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.WorkingSetSize / 1024
                                                                                    : 0;
}

int Libraries(int count, char** names) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        const SIZE_T before = WorkingSetKiB();
        if (!LoadLibraryA(names[i]))
            return Fail(std::string("cannot load ") + names[i]);
        line += std::string(names[i]) + "=" + std::to_string(static_cast<long long>(WorkingSetKiB() - before)) + " ";
    }
    HMODULE modules[1024];
    DWORD needed = 0;
    K32EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &needed);
    std::printf("%smodules=%lu\n", line.c_str(), needed / static_cast<DWORD>(sizeof(HMODULE)));
    return 0;
}

double ThreadCpuUs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto us = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10.0;
    };
    return us(kernel) + us(user);
}

template <typename Call>
void Cost(std::string& line, const char* name, int count, Call call) {
    const double cpu = ThreadCpuUs(), wall = NowMs();
    for (int i = 0; i < count; ++i)
        call(i);
    line += std::string(name) + "=" + std::to_string(static_cast<int>((ThreadCpuUs() - cpu) / count)) + "/" +
            std::to_string(static_cast<int>((NowMs() - wall) * 1000.0 / count)) + " ";
}

LRESULT CALLBACK QuietProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_TIMER ? 0 : DefWindowProcA(hwnd, message, wParam, lParam);
}

int CallCost() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = QuietProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TavrinCallCost";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    HICON icons[2] = {LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)),
                      LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING))};
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd;
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_USER + 1;
    nid.hIcon = icons[0];
    Shell_NotifyIconA(NIM_ADD, &nid);
    std::string line;
    MSG msg;
    POINT p;
    Cost(line, "SetPriorityClass", 2000, [](int) { SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS); });
    Cost(line, "SetThreadPriority", 2000,
         [](int) { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); });
    Cost(line, "GetCursorPos", 2000, [&](int) { GetCursorPos(&p); });
    Cost(line, "PeekMessage(empty)", 2000, [&](int) { PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); });
    Cost(line, "SetTimer(100)", 2000, [&](int) { SetTimer(hwnd, 1, 100, nullptr); });
    Cost(line, "KillTimer", 2000, [&](int) { KillTimer(hwnd, 1); });
    Cost(line, "FindWindowA(Shell_TrayWnd)", 2000, [](int) { FindWindowA("Shell_TrayWnd", nullptr); });
    Cost(line, "Shell_NotifyIconA(modify)", 300, [&](int i) {
        nid.hIcon = icons[i & 1];
        Shell_NotifyIconA(NIM_MODIFY, &nid);
    });
    Cost(line, "EnumWindows+IsWindowVisible", 200, [](int) {
        EnumWindows([](HWND w, LPARAM) { return IsWindowVisible(w) ? TRUE : TRUE; }, 0);
    });
    Cost(line, "snapshot+walk", 200, [](int) {
        HANDLE h = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 e{};
        e.dwSize = sizeof e;
        for (BOOL more = Process32First(h, &e); more; more = Process32Next(h, &e)) {
        }
        CloseHandle(h);
    });
    Cost(line, "OpenProcess+QueryFullProcessImageName+CloseHandle", 500, [](int) {
        HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentProcessId());
        char path[MAX_PATH];
        DWORD size = MAX_PATH;
        QueryFullProcessImageNameA(h, 0, path, &size);
        CloseHandle(h);
    });
    Shell_NotifyIconA(NIM_DELETE, &nid);
    DestroyWindow(hwnd);
    std::printf("%s\n", line.c_str());
    return 0;
}

int Counts(const char* windowClass) {
    // The order of the program's LiveKind.
    static const char* const kinds[] = {"icons",   "cursors", "regions", "brushes", "fonts",
                                        "bitmaps", "dcs",     "windows", "menus",   "keys",
                                        "files",   "kernel",  "libraries", "process_handles"};
    HWND hwnd = WindowOf(windowClass, 0);
    if (!hwnd)
        return Fail(std::string("no window of class ") + windowClass);
    const UINT message = RegisterWindowMessageA("Tavrin2.LiveCounts");
    std::string line;
    for (size_t i = 0; i < sizeof kinds / sizeof kinds[0]; ++i) {
        DWORD_PTR result = static_cast<DWORD_PTR>(-1);
        if (!SendMessageTimeoutA(hwnd, message, i, 0, SMTO_NORMAL, 5000, &result))
            result = static_cast<DWORD_PTR>(-1);
        line += std::string(i ? " " : "") + kinds[i] + "=" + std::to_string(static_cast<long>(result));
    }
    std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    int rc;
    if (verb == "launch" && argc == 5)
        rc = Launch(argv[2], argv[3], argv[4]);
    else if (verb == "stop" && argc == 5)
        rc = Stop(argv[2], static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                  static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)));
    else if (verb == "libraries" && argc > 2)
        rc = Libraries(argc - 2, argv + 2);
    else if (verb == "callcost" && argc == 2)
        rc = CallCost();
    else if (verb == "counts" && argc == 3)
        rc = Counts(argv[2]);
    else {
        std::printf("usage: bench_probe launch <program> <first window class> <answering window class>\n"
                    "       bench_probe stop <window class> <message> <wParam>\n"
                    "       bench_probe counts <window class>\n");
        rc = 2;
    }
    std::fflush(stdout);
    return rc;
}
