// Starting testwin.exe from a test or benchmark, waiting until its windows
// exist, finding them, and ending it again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// The full path of testwin.exe in the build tree, found from the running
// executable's own path (tests/win, tests/tools or bench beside tests).
std::string TestWinPath();

class TestWinProcess {
public:
    // Starts testwin.exe with the commands (see testwin.cpp) and waits until
    // it has opened its windows. Raises std::runtime_error when it cannot.
    explicit TestWinProcess(const std::vector<std::string>& commands);
    ~TestWinProcess();
    TestWinProcess(const TestWinProcess&) = delete;
    TestWinProcess& operator=(const TestWinProcess&) = delete;

    DWORD ProcessId() const { return processId_; }
    const std::string& Path() const { return path_; }

    // Its top-level windows, top of the Z order first.
    std::vector<HWND> Windows() const;
    HWND WindowTitled(const std::string& title) const;

    // Asks the window to close and waits until it is gone.
    bool CloseWindow(HWND window, DWORD timeoutMs = 5000) const;

    // Asks the program to end and waits for it.
    void Quit();

private:
    std::string path_;
    HANDLE process_ = nullptr;
    HANDLE quit_ = nullptr;
    DWORD processId_ = 0;
};

}  // namespace testsupport
