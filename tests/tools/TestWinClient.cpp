// Starting and ending testwin.exe for the tests and the benchmark.
#include "TestWinClient.h"

#include <stdexcept>

namespace testsupport {
namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
}

// Arguments quoted the way CommandLineToArgvW splits them again.
std::string Quoted(const std::string& arg) {
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

struct Search {
    DWORD ProcessId;
    std::vector<HWND>* Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) noexcept {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search.ProcessId)
        search.Found->push_back(window);
    return TRUE;
}

}  // namespace

std::string TestWinPath() {
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self, n);
    dir.erase(dir.find_last_of("\\/:") + 1);
    for (const char* relative : {"testwin.exe", "..\\tools\\testwin.exe", "..\\tests\\tools\\testwin.exe"}) {
        const std::string candidate = FullPath(dir + relative);
        if (IsFile(candidate))
            return candidate;
    }
    throw std::runtime_error("testwin.exe not found beside " + dir);
}

TestWinProcess::TestWinProcess(const std::vector<std::string>& commands) : path_(TestWinPath()) {
    static LONG sequence = 0;
    const std::string base = "TavrinTestWin." + std::to_string(GetCurrentProcessId()) + "." +
                             std::to_string(InterlockedIncrement(&sequence));
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (base + ".ready").c_str());
    quit_ = CreateEventA(nullptr, TRUE, FALSE, (base + ".quit").c_str());
    if (!ready || !quit_)
        throw std::runtime_error("cannot create the testwin events");

    std::string line = Quoted(path_) + " --ready " + Quoted(base + ".ready") + " --quit " + Quoted(base + ".quit") +
                       " --owner " + std::to_string(GetCurrentProcessId());
    for (const std::string& c : commands) {
        line += ' ';
        line += Quoted(c);
    }
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path_.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(ready);
        throw std::runtime_error("cannot start " + path_ + ": error " + std::to_string(GetLastError()));
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    processId_ = pi.dwProcessId;

    HANDLE waits[] = {ready, process_};
    const DWORD r = WaitForMultipleObjects(2, waits, FALSE, 20000);
    CloseHandle(ready);
    if (r != WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        Quit();
        throw std::runtime_error("testwin.exe did not get ready (exit code " + std::to_string(code) + ")");
    }
}

TestWinProcess::~TestWinProcess() {
    Quit();
}

void TestWinProcess::Quit() {
    if (process_) {
        SetEvent(quit_);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_, 1);
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (quit_) {
        CloseHandle(quit_);
        quit_ = nullptr;
    }
}

std::vector<HWND> TestWinProcess::Windows() const {
    std::vector<HWND> found;
    Search search{processId_, &found};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND TestWinProcess::WindowTitled(const std::string& title) const {
    for (HWND window : Windows()) {
        char text[512] = "";
        GetWindowTextA(window, text, sizeof(text));
        if (title == text)
            return window;
    }
    return nullptr;
}

bool TestWinProcess::CloseWindow(HWND window, DWORD timeoutMs) const {
    PostMessageA(window, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

}  // namespace testsupport
