// testwin.exe: a stand-in "listed program" for the window list and scan tests.
// It opens the top-level windows its command line asks for, signals that it is
// ready, and stays until asked to quit (or its owner ends, or a time limit).
//
//   testwin.exe [--ready EVENT] [--quit EVENT] [--owner PID] [--timeout MS] COMMAND...
//   COMMAND:  visible TITLE | hidden TITLE | untitled | minimised TITLE | many N TITLE | tray
//
// "tray" puts the stock application icon, with the tip "testwin", in the
// notification area (owned by a hidden window), so a desktop's taskbar stays
// while the program under test comes and goes.
// "many N TITLE" opens N visible windows titled "TITLE 1" to "TITLE N".
// EVENT names are named events the starter created; WM_CLOSE closes one window.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kClassName[] = "TavrinTestWin";

std::vector<std::string> Arguments() {
    // The command line is split the platform's usual way (quotes group words).
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(arg);
    }
    LocalFree(wide);
    return args;
}

HWND Open(HINSTANCE instance, const std::string& title, int show, int index) {
    const int x = 40 + (index % 20) * 12, y = 40 + (index % 20) * 12;
    HWND window = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 180, 90, nullptr, nullptr,
                                  instance, nullptr);
    if (window && show != SW_HIDE)
        ShowWindow(window, show);
    return window;
}

// The notification icon's record, removed again at exit.
NOTIFYICONDATAA trayIcon{};

void AddTrayIcon(HINSTANCE instance, int index) {
    trayIcon.cbSize = sizeof trayIcon;
    trayIcon.hWnd = Open(instance, "", SW_HIDE, index);
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_ICON | NIF_TIP;
    trayIcon.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    lstrcpynA(trayIcon.szTip, "testwin", sizeof trayIcon.szTip);
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 2;

    std::string readyEvent, quitEvent;
    DWORD owner = 0, timeout = 120000;
    const std::vector<std::string> args = Arguments();
    int opened = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasNext = i + 1 < args.size();
        if (a == "--ready" && hasNext)
            readyEvent = args[++i];
        else if (a == "--quit" && hasNext)
            quitEvent = args[++i];
        else if (a == "--owner" && hasNext)
            owner = std::strtoul(args[++i].c_str(), nullptr, 10);
        else if (a == "--timeout" && hasNext)
            timeout = std::strtoul(args[++i].c_str(), nullptr, 10);
        else if (a == "visible" && hasNext)
            Open(instance, args[++i], SW_SHOWNOACTIVATE, opened++);
        else if (a == "hidden" && hasNext)
            Open(instance, args[++i], SW_HIDE, opened++);
        else if (a == "minimised" && hasNext)
            Open(instance, args[++i], SW_SHOWMINNOACTIVE, opened++);
        else if (a == "tray")
            AddTrayIcon(instance, opened++);
        else if (a == "untitled")
            Open(instance, "", SW_SHOWNOACTIVATE, opened++);
        else if (a == "many" && i + 2 < args.size()) {
            const int n = std::atoi(args[++i].c_str());
            const std::string title = args[++i];
            for (int k = 1; k <= n; ++k)
                Open(instance, title + " " + std::to_string(k), SW_SHOWNOACTIVATE, opened++);
        } else
            return 3;  // unknown command: the starter sees the exit code
    }

    // Handles to wait on: the quit request and the owner's end.
    std::vector<HANDLE> waits;
    if (!quitEvent.empty())
        if (HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, quitEvent.c_str()))
            waits.push_back(quit);
    if (owner)
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner))
            waits.push_back(process);

    if (!readyEvent.empty())
        if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())) {
            SetEvent(ready);
            CloseHandle(ready);
        }

    const DWORD deadline = GetTickCount() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD now = GetTickCount();
        if (static_cast<int32_t>(deadline - now) <= 0)
            break;
        const DWORD r = MsgWaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE,
                                                  deadline - now, QS_ALLINPUT);
        if (r < WAIT_OBJECT_0 + waits.size() || r == WAIT_TIMEOUT || r == WAIT_FAILED)
            break;
    }
    for (HANDLE h : waits)
        CloseHandle(h);
    if (trayIcon.hWnd)
        Shell_NotifyIconA(NIM_DELETE, &trayIcon);
    return 0;
}
