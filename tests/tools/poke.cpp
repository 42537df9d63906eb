// poke.exe: what the end-to-end tests do to the running program from outside,
// in the same Wine session: messages to its windows, the shell's doings, the
// error boxes it shows, and raw registry values. Commands run in order:
//
//   untray CLASS ID            NIM_DELETE the icon (ID) of the window of CLASS
//   broadcast NAME             post the registered message NAME to every top-level window
//   post CLASS MSG WPARAM LPARAM   post to the window(s) of CLASS (top-level or message-only)
//   send CLASS MSG WPARAM LPARAM   send, with a time limit, to the same
//   postchild CLASS TEXT MSG WPARAM LPARAM   post to the child titled TEXT of the window of CLASS
//                              (fails when there is none)
//   quit CLASS                 post WM_QUIT to the thread of the window of CLASS
//   count CLASS                print how many windows of CLASS exist
//   boxes CAPTION MS FIRST     print and close, one after another, the error boxes
//                              titled CAPTION: the first within FIRST ms, each next
//                              within MS of the one before
//   fakeshell REFUSE_MS LIVE_MS  be a notification area ("Shell_TrayWnd") for
//                              LIVE_MS, refusing every add for its first REFUSE_MS;
//                              prints "<ms> <call> <uid> <answer>" for each call
//   regget KEY NAME            print "TYPE HEX" of an HKCU value, or "none"
//   sleep MS
// Numbers may be decimal or 0x-hex. A command aimed at a CLASS fails when no
// window of it exists, so a renamed class cannot make a check pass silently;
// "?CLASS" allows none. Exit code 0, 2 for a bad command line, 3 for a class
// without a window.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

unsigned long long Number(const char* text) {
    return std::strtoull(text, nullptr, 0);
}

// Every window of the class: top-level ones first, then message-only ones.
// Wine's top-level search finds message-only windows too: each counts once.
std::vector<HWND> WindowsOf(const char* cls) {
    std::vector<HWND> found;
    for (HWND parent : {static_cast<HWND>(nullptr), HWND_MESSAGE}) {
        HWND w = nullptr;
        while ((w = FindWindowExA(parent, w, cls, nullptr)) != nullptr)
            if (std::find(found.begin(), found.end(), w) == found.end())
                found.push_back(w);
    }
    return found;
}

// The windows a command is aimed at; none ends poke with exit code 3 unless
// the class is written "?CLASS".
std::vector<HWND> TargetsOf(const char* cls) {
    const bool noneAllowed = cls[0] == '?';
    std::vector<HWND> found = WindowsOf(noneAllowed ? cls + 1 : cls);
    if (found.empty() && !noneAllowed) {
        std::fprintf(stderr, "poke: no window of class %s\n", cls);
        std::exit(3);
    }
    return found;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[3];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02x", c);
        out += two;
    }
    return out;
}

HWND FindBox(const std::string& caption) {
    struct Search {
        const std::string* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char cls[16] = "", title[256] = "";
            GetClassNameA(hwnd, cls, sizeof cls);
            GetWindowTextA(hwnd, title, sizeof title);
            // Letter case aside: until the program sets its title, its boxes carry
            // the executable's name.
            if (std::string(cls) == "#32770" && lstrcmpiA(s->caption->c_str(), title) == 0 && IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Boxes(const std::string& caption, DWORD gap, DWORD first) {
    for (DWORD wait = first;; wait = gap) {
        HWND box = nullptr;
        const DWORD start = GetTickCount();
        while (!(box = FindBox(caption)) && GetTickCount() - start < wait)
            Sleep(20);
        if (!box)
            return;
        char text[2048] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
        std::printf("BOX %s\n", Hex(text).c_str());
        std::fflush(stdout);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        const DWORD closing = GetTickCount();
        while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - closing < 5000)
            Sleep(20);
    }
}

void RegGet(const char* key, const char* name) {
    HKEY k;
    DWORD type = 0, size = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) {
        std::printf("none\n");
        return;
    }
    if (RegQueryValueExA(k, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        std::printf("none\n");
    } else {
        std::string data(size, '\0');
        RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
        std::printf("%lu %s\n", type, Hex(data).c_str());
    }
    RegCloseKey(k);
}

// The shell's notify-icon calls arrive as WM_COPYDATA: dwData is the call
// (NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2, NIM_SETVERSION 4), the data starts
// with the window (32 bits) and the icon id.
DWORD fakeShellStart = 0;
DWORD fakeShellRefuseMs = 0;

LRESULT CALLBACK FakeShellProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const DWORD elapsed = GetTickCount() - fakeShellStart;
    UINT uid = 0;
    if (data->cbData >= 8)
        uid = reinterpret_cast<const UINT*>(data->lpData)[1];
    // Like a real notification area it knows an icon only from an accepted add.
    static bool held = false;
    bool accept = held;
    if (data->dwData == NIM_ADD) {
        accept = !held && elapsed >= fakeShellRefuseMs;
        held = held || accept;
    } else if (data->dwData == NIM_DELETE) {
        held = false;
    }
    static const char* const kCalls[] = {"add", "modify", "delete", "focus", "setversion"};
    std::printf("%lu %s %u %d\n", elapsed, data->dwData < 5 ? kCalls[data->dwData] : "other", uid, accept ? 1 : 0);
    std::fflush(stdout);
    (void)wParam;
    return accept ? TRUE : FALSE;
}

void FakeShell(DWORD refuseMs, DWORD liveMs) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FakeShellProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    fakeShellStart = GetTickCount();
    fakeShellRefuseMs = refuseMs;
    HWND hwnd = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    std::printf("ready %d\n", FindWindowA("Shell_TrayWnd", nullptr) == hwnd ? 1 : 0);
    std::fflush(stdout);
    while (GetTickCount() - fakeShellStart < liveMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DestroyWindow(hwnd);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string c = argv[i];
        const int left = argc - i - 1;
        if (c == "untray" && left >= 2) {
            NOTIFYICONDATAA data{};
            data.cbSize = sizeof data;
            data.uID = static_cast<UINT>(Number(argv[i + 2]));
            for (HWND w : TargetsOf(argv[i + 1])) {
                data.hWnd = w;
                std::printf("untray %d\n", Shell_NotifyIconA(NIM_DELETE, &data));
            }
            i += 2;
        } else if (c == "broadcast" && left >= 1) {
            PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(argv[++i]), 0, 0);
        } else if ((c == "post" || c == "send") && left >= 4) {
            const UINT msg = static_cast<UINT>(Number(argv[i + 2]));
            const WPARAM wp = static_cast<WPARAM>(Number(argv[i + 3]));
            const LPARAM lp = static_cast<LPARAM>(Number(argv[i + 4]));
            for (HWND w : TargetsOf(argv[i + 1])) {
                DWORD_PTR result = 0;
                if (c == "post")
                    PostMessageA(w, msg, wp, lp);
                else
                    SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, 3000, &result);
            }
            i += 4;
        } else if (c == "postchild" && left >= 5) {
            bool posted = false;
            for (HWND w : TargetsOf(argv[i + 1]))
                if (HWND child = FindWindowExA(w, nullptr, nullptr, argv[i + 2]))
                    posted = PostMessageA(child, static_cast<UINT>(Number(argv[i + 3])),
                                          static_cast<WPARAM>(Number(argv[i + 4])),
                                          static_cast<LPARAM>(Number(argv[i + 5]))) || posted;
            if (!posted) {
                std::fprintf(stderr, "poke: no child titled %s\n", argv[i + 2]);
                return 3;
            }
            i += 5;
        } else if (c == "count" && left >= 1) {
            std::printf("%zu\n", WindowsOf(argv[++i]).size());
        } else if (c == "quit" && left >= 1) {
            for (HWND w : TargetsOf(argv[++i]))
                PostThreadMessageA(GetWindowThreadProcessId(w, nullptr), WM_QUIT, 0, 0);
        } else if (c == "boxes" && left >= 3) {
            Boxes(argv[i + 1], static_cast<DWORD>(Number(argv[i + 2])), static_cast<DWORD>(Number(argv[i + 3])));
            i += 3;
        } else if (c == "regget" && left >= 2) {
            RegGet(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (c == "fakeshell" && left >= 2) {
            FakeShell(static_cast<DWORD>(Number(argv[i + 1])), static_cast<DWORD>(Number(argv[i + 2])));
            i += 2;
        } else if (c == "sleep" && left >= 1) {
            Sleep(static_cast<DWORD>(Number(argv[++i])));
        } else {
            std::fprintf(stderr, "poke: bad command at %s\n", argv[i]);
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
