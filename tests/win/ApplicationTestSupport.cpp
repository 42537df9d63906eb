// Child processes, scripted windows, the error box watcher and the loop
// watchdog of the application object's tests; and their entry point, which
// initialises the application object once per process.
#include "ApplicationTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "toolkit/Application.h"
#include "toolkit/UniqueHandle.h"

namespace apptest {
namespace {

bool inChild = false;

constexpr char kScriptedClass[] = "TavrinApplicationTestWindow";
constexpr int kMessageText = 0xFFFF;
constexpr int kMessageIcon = 1088;
constexpr double kChildTimeoutMs = 60000;

std::string WindowText(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string ReadFile(const std::string& path) {
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            content.append(buffer, n);
        std::fclose(f);
    }
    return content;
}

// Visible dialogs of this process with the caption. Only dialogs are asked
// for their text: asking sends a message to the owning thread.
std::vector<HWND> FindBoxes(const std::string& caption) {
    struct Search {
        const std::string* caption;
        std::vector<HWND> found;
    } search{&caption, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770" &&
                WindowText(hwnd) == *s->caption)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

SeenBox Read(HWND box) {
    SeenBox seen;
    seen.hwnd = box;
    seen.seenAtMs = NowMs();
    seen.caption = WindowText(box);
    HWND text = GetDlgItem(box, kMessageText);
    seen.text = text ? WindowText(text) : "<no message static>";
    if (HWND ok = GetDlgItem(box, IDOK); ok && IsWindowVisible(ok))
        seen.okText = WindowText(ok);
    EnumChildWindows(
        box,
        [](HWND child, LPARAM count) -> BOOL {
            if (ClassOf(child) == "Button" && GetDlgCtrlID(child) != IDOK && IsWindowVisible(child))
                ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen.otherButtons));
    if (HWND icon = GetDlgItem(box, kMessageIcon))
        seen.icon = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
    return seen;
}

}  // namespace

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

void SetInChild() {
    inChild = true;
}

bool InOwnProcess() {
    if (inChild)
        return true;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string fullName = std::string(info->test_suite_name()) + "." + info->name();

    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    char outPath[MAX_PATH] = "";
    GetTempFileNameA(folder, "app", 0, outPath);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    toolkit::UniqueFile out(CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        ADD_FAILURE() << "cannot create " << outPath;
        return false;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    std::string command = std::string("\"") + exe + "\" --gtest_filter=" + fullName + " --gtest_color=no " + kChildFlag;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command << ": error " << GetLastError();
        return false;
    }
    toolkit::UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    out.reset();

    DWORD code = 0;
    if (WaitForSingleObject(processHandle.get(), static_cast<DWORD>(kChildTimeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 2);
        WaitForSingleObject(processHandle.get(), 5000);
        ADD_FAILURE() << "the case did not end within " << kChildTimeoutMs << " ms:\n" << ReadFile(outPath);
    } else {
        GetExitCodeProcess(processHandle.get(), &code);
        const std::string output = ReadFile(outPath);
        // The child's own verdict, so a filter that matches nothing cannot pass.
        if (code != 0 || output.find("[       OK ] " + fullName) == std::string::npos)
            ADD_FAILURE() << "in a fresh process (exit code " << code << "):\n" << output;
    }
    DeleteFileA(outPath);
    return false;
}

ScriptedWindow::ScriptedWindow(Handler handler) : handler_(std::move(handler)) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(module, kScriptedClass, &wc)) {
        wc.lpfnWndProc = &ScriptedWindow::WindowProc;
        wc.hInstance = module;
        wc.lpszClassName = kScriptedClass;
        RegisterClassExA(&wc);
    }
    hwnd_ = CreateWindowExA(0, kScriptedClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ScriptedWindow::~ScriptedWindow() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK ScriptedWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<ScriptedWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message >= WM_APP) {
        self->handler_(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

BoxWatcher::BoxWatcher(std::string caption, bool pressOk, double giveUpMs)
    : caption_(std::move(caption)), pressOk_(pressOk), giveUpMs_(giveUpMs), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
    Stop();
}

void BoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    // A box closed since the last look is gone by now.
    std::lock_guard<std::mutex> lock(mutex_);
    for (SeenBox& b : boxes_) {
        if (!b.gone && !IsWindow(b.hwnd)) {
            b.gone = true;
            b.goneAtMs = NowMs();
            ++closed_;
        }
    }
}

std::vector<SeenBox> BoxWatcher::Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void BoxWatcher::Watch() {
    while (!stop_) {
        for (HWND hwnd : FindBoxes(caption_)) {
            std::lock_guard<std::mutex> lock(mutex_);
            bool known = false;
            for (const SeenBox& b : boxes_)
                known |= b.hwnd == hwnd && !b.gone;
            if (!known)
                boxes_.push_back(Read(hwnd));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (SeenBox& b : boxes_) {
                if (b.gone)
                    continue;
                if (!IsWindow(b.hwnd) || !IsWindowVisible(b.hwnd)) {
                    b.gone = true;
                    b.goneAtMs = NowMs();
                    ++closed_;
                } else if (!b.pressedOk && (pressOk_ || NowMs() - b.seenAtMs > giveUpMs_)) {
                    PostMessageA(b.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(b.hwnd, IDOK)));
                    b.pressedOk = true;
                }
            }
        }
        Sleep(10);
    }
}

LoopWatchdog::LoopWatchdog(double ms)
    : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this, ms, gui = GetCurrentThreadId()] {
          if (WaitForSingleObject(done_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0)
              return;
          fired_ = true;
          PostThreadMessageA(gui, WM_QUIT, kExitCode, 0);
          PostMessageA(toolkit::Application::Instance().Handle(), WM_NULL, 0, 0);
      }) {}

LoopWatchdog::~LoopWatchdog() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
}

}  // namespace apptest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == apptest::kChildFlag)
            apptest::SetInChild();
    toolkit::Application::Instance().Initialize(GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
