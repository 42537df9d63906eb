// The benchmarks' reference: what the program must ask of the platform per
// tick and per second, and nothing else, on one plain 100 ms timer. Its
// handlers fire in the program's order with the program's rhythm: each lowers
// the priority (process and thread), the samplers read the cursor, the
// decision pumps messages and assigns the tray state, which checks the taskbar
// twice (the assignment and the image change each do) and sends a modify with
// a state image made once at start; the mover sets the cursor (and, as the
// program does, makes the move count as input); once a second the scan walks
// the top-level windows (first window, next window, title, visibility) and,
// for each listed window, builds a complete process list from a snapshot.
// It links the system libraries the program needs and so loads them at start.
// Started and measured by bench/run_bench.py; ends on WM_CLOSE.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kWindowClass[] = "TavrinBenchReference";
constexpr UINT kTrayCallback = WM_USER + 1;

HWND window = nullptr;
HICON stateIcons[3] = {};
NOTIFYICONDATAA notify{};
std::vector<std::string> programList;  // lower-case full paths from list.txt
bool intelligent = false;

// The engine's state.
bool userMoved = false, watchedRunning = false;
POINT sampleA{}, sampleB{}, movePos{};
int stepX = 10, stepY = 10;
bool waitOn = false, moving = false;
DWORD waitSince = 0, scanEnded = 0;
bool pairFirstHalf = true;  // this tick compares and takes the first sample

void LowerPriority() {
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND shellTray = nullptr;
void TaskbarCheck() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar == shellTray)
        return;
    shellTray = taskbar;
    Shell_NotifyIconA(NIM_DELETE, &notify);
    notify.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconA(NIM_ADD, &notify);
    Shell_NotifyIconA(NIM_SETVERSION, &notify);
}

void SetTrayIconIndex(int index) {
    notify.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TaskbarCheck();  // the assignment's check
    TaskbarCheck();  // the image change's check
    notify.hIcon = stateIcons[index];
    Shell_NotifyIconA(NIM_MODIFY, &notify);
}

void StopMoving(int index) {
    waitOn = false;
    moving = false;
    SetTrayIconIndex(index);
}

void SwitchWaitOn() {
    if (!waitOn) {
        waitOn = true;
        waitSince = GetTickCount();
    }
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The name the snapshot listing gives the window's process.
std::string ProcessNameOfWindow(HWND hwnd) {
    if (!IsWindow(hwnd))
        return {};
    DWORD pid = 0xFFFFFFFF;
    GetWindowThreadProcessId(hwnd, &pid);
    std::vector<std::pair<std::string, DWORD>> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return {};
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        processes.emplace_back(entry.th32ProcessID == 0 ? "System Idle Process" : entry.szExeFile,
                               entry.th32ProcessID);
    CloseHandle(snapshot);
    for (const auto& [name, id] : processes)
        if (id == pid)
            return name;
    return {};
}

void Scan() {
    LowerPriority();
    watchedRunning = false;
    ProcessMessages();
    std::vector<HWND> listed;
    for (HWND hwnd = FindWindowA(nullptr, nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        char title[255];
        title[0] = '\0';
        GetWindowTextA(hwnd, title, sizeof title);
        if (title[0] != '\0' && IsWindowVisible(hwnd))
            listed.push_back(hwnd);
    }
    for (HWND hwnd : listed) {
        ProcessMessages();
        const std::string name = LowerAscii(ProcessNameOfWindow(hwnd));
        for (const std::string& entry : programList)
            if (entry == name)
                watchedRunning = true;
    }
    scanEnded = GetTickCount();
}

void Decide() {
    LowerPriority();
    ProcessMessages();
    if (intelligent) {
        if (userMoved && watchedRunning)
            StopMoving(1);
        if (userMoved && !watchedRunning)
            StopMoving(0);
        if (!userMoved && watchedRunning)
            SwitchWaitOn();
        if (!userMoved && !watchedRunning) {
            StopMoving(0);
        }
    } else if (userMoved) {
        StopMoving(0);
    }
    if (!userMoved)
        SwitchWaitOn();
}

void Move() {
    LowerPriority();
    SetTrayIconIndex(2);
    movePos.x += stepX;
    movePos.y += stepY;
    if (movePos.x >= GetSystemMetrics(SM_CXSCREEN))
        stepX = -stepX;
    if (movePos.x <= 0)
        stepX = -stepX;
    if (movePos.y >= GetSystemMetrics(SM_CYSCREEN))
        stepY = -stepY;
    if (movePos.y <= 0)
        stepY = -stepY;
    SetCursorPos(movePos.x, movePos.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

// One tick, the handlers in the program's firing order.
void Tick() {
    const DWORD now = GetTickCount();
    if (waitOn && static_cast<LONG>(now - waitSince) >= 9950) {  // idleWait
        waitOn = false;
        LowerPriority();
        moving = true;
        GetCursorPos(&movePos);
        ProcessMessages();
    }
    if (pairFirstHalf) {  // sampleComparison
        LowerPriority();
        userMoved = sampleA.x != sampleB.x && sampleA.y != sampleB.y;
    }
    if (static_cast<LONG>(now - scanEnded) >= 950)  // programScan
        Scan();
    if (!pairFirstHalf) {  // secondSample
        LowerPriority();
        GetCursorPos(&sampleB);
        ProcessMessages();
    }
    if (moving)  // cursorMove
        Move();
    Decide();  // decision
    if (pairFirstHalf) {  // firstSample
        LowerPriority();
        GetCursorPos(&sampleA);
        ProcessMessages();
    }
    pairFirstHalf = !pairFirstHalf;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        Tick();
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        Shell_NotifyIconA(NIM_DELETE, &notify);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HICON MakeStateIcon(COLORREF fill) {
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 16, 16);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colour);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

void LoadSettings() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Orvaneth\\Tavrin2", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD value = 0, size = sizeof value;
        if (RegQueryValueExA(key, "Inteligens", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS)
            intelligent = value == 1;
        RegCloseKey(key);
    }
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string list = path;
    list = list.substr(0, list.find_last_of('\\') + 1) + "list.txt";
    HANDLE file = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char buffer[65536];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    std::string text(buffer, read), line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                programList.push_back(LowerAscii(line));
            line.clear();
        } else {
            line += c;
        }
    }
}

// Never run: keeps the libraries the program needs among the imports, so
// they load at start as they would for a program linked in the usual way.
void LinkTheProgramsLibraries() {
    OPENFILENAMEA ofn{};
    GetOpenFileNameA(&ofn);
    ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 3, 4);
    DWORD handle = 0;
    GetFileVersionInfoSizeA("shell32.dll", &handle);
    PlaySoundA(nullptr, nullptr, 0);
    DragAcceptFiles(nullptr, FALSE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (commandLine && std::strcmp(commandLine, "--never") == 0)
        LinkTheProgramsLibraries();
    LowerPriority();
    LoadSettings();
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc))
        return 1;
    window = CreateWindowExA(0, kWindowClass, "Reference", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    stateIcons[0] = MakeStateIcon(RGB(255, 0, 0));
    stateIcons[1] = MakeStateIcon(RGB(255, 255, 0));
    stateIcons[2] = MakeStateIcon(RGB(0, 255, 0));
    notify.cbSize = sizeof notify;
    notify.hWnd = window;
    notify.uID = 1;
    notify.uCallbackMessage = kTrayCallback;
    notify.hIcon = stateIcons[0];
    notify.uVersion = NOTIFYICON_VERSION;
    notify.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    shellTray = FindWindowA("Shell_TrayWnd", nullptr);
    Shell_NotifyIconA(NIM_ADD, &notify);
    Shell_NotifyIconA(NIM_SETVERSION, &notify);
    scanEnded = GetTickCount();
    if (!SetTimer(window, 1, 100, nullptr))
        return 1;
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    for (HICON icon : stateIcons)
        DestroyIcon(icon);
    return static_cast<int>(msg.wParam);
}
