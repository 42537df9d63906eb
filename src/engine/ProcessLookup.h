// Naming the process behind a window on the real platform: the version class,
// the toolhelp snapshot, the lazily loaded process-status library and the
// process path queries. Lookups that fail give empty names, never errors.
#pragma once

#include <windows.h>

#include <string>

#include "engine/ProcessNaming.h"
#include "toolkit/UniqueHandle.h"

namespace engine {

// The running system's version, read once. GetVersionEx reports 6.2 to a
// program without a compatibility manifest, so the version comes from
// RtlGetVersion, which always tells the truth.
const PlatformVersion& CurrentPlatformVersion();
VersionClass CurrentVersionClass();

// The process-status library, loaded at its first use. A failed load is
// tried again at the next use; while it is missing both calls report failure.
class PsapiLibrary {
public:
    explicit PsapiLibrary(const char* fileName = "PSAPI.dll") : fileName_(fileName) {}

    // False when the library is missing or the call fails.
    bool EnumProcesses(DWORD* ids, DWORD bytes, DWORD* bytesWritten);
    // The main executable's path of an open process; 0 on failure.
    DWORD GetModuleFileNameEx(HANDLE process, char* path, DWORD size);

    bool Loaded() const { return static_cast<bool>(library_); }
    int LoadAttempts() const { return loadAttempts_; }

private:
    bool Load();

    const char* fileName_;
    toolkit::UniqueLibrary library_;
    int loadAttempts_ = 0;
    using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    EnumProcessesFn enumProcesses_ = nullptr;
    GetModuleFileNameExFn getModuleFileNameEx_ = nullptr;
};

// The platform's process services for the naming rules.
class SystemProcessSource : public ProcessSource {
public:
    SystemProcessSource(PsapiLibrary& psapi, const PlatformVersion& version) : psapi_(psapi), version_(version) {}

    bool WalkSnapshot(const SnapshotVisitor& visit) override;
    bool EnumProcessIds(std::vector<uint32_t>& ids) override;
    std::string QueryProcessPath(uint32_t processId) override;
    std::string QueryFullImagePath(uint32_t processId) override;

private:
    PsapiLibrary& psapi_;
    PlatformVersion version_;
};

// The program's own source: the shared library instance, the running version.
SystemProcessSource& SystemProcesses();

bool ListRunningProcesses(ProcessList& list);
std::string QueryProcessPath(DWORD processId);

// Both names of the window's process; empty when the window is gone or its
// process cannot be named. Only that one process is looked at; with a memo,
// a process already named in this scan is not asked again.
WindowProcessNames NamesOfWindowProcess(HWND window, ProcessNamesMemo* memo = nullptr);

// The window's process name as the process listing gives it, or empty.
std::string ProcessNameOfWindow(HWND window);

// The same name found the long way, by listing every running process for
// this one window. Kept to show that both ways agree.
std::string ProcessNameOfWindowByListing(HWND window);

}  // namespace engine
