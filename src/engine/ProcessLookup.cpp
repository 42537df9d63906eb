// The platform side of process naming: toolhelp and the full-image-name query
// looked up in kernel32, the process-status library loaded on demand from the
// system folder.
#include "engine/ProcessLookup.h"

#include <tlhelp32.h>

#include <cstring>

#include "toolkit/SystemLibrary.h"

namespace engine {
namespace {

PlatformVersion ReadPlatformVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (rtlGetVersion && rtlGetVersion(&info) == 0)
        return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
    OSVERSIONINFOA fallback{};
    fallback.dwOSVersionInfoSize = sizeof(fallback);
    if (GetVersionExA(&fallback))
        return {fallback.dwPlatformId, fallback.dwMajorVersion, fallback.dwMinorVersion};
    return {};
}

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// kernel32 is always loaded; its entries are looked up at their first use.
struct Kernel32Entries {
    using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
    using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    using QueryFullNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

    CreateSnapshotFn CreateSnapshot;
    ProcessWalkFn First;
    ProcessWalkFn Next;
    QueryFullNameFn QueryFullName;

    static const Kernel32Entries& Get() {
        static const Kernel32Entries entries = [] {
            HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
            return Kernel32Entries{
                Lookup<CreateSnapshotFn>(kernel32, "CreateToolhelp32Snapshot"),
                Lookup<ProcessWalkFn>(kernel32, "Process32First"),
                Lookup<ProcessWalkFn>(kernel32, "Process32Next"),
                Lookup<QueryFullNameFn>(kernel32, "QueryFullProcessImageNameA"),
            };
        }();
        return entries;
    }
};

PsapiLibrary& SharedPsapi() {
    static PsapiLibrary psapi;
    return psapi;
}

}  // namespace

const PlatformVersion& CurrentPlatformVersion() {
    static const PlatformVersion version = ReadPlatformVersion();
    return version;
}

VersionClass CurrentVersionClass() {
    static const VersionClass versionClass = ClassifyVersion(CurrentPlatformVersion());
    return versionClass;
}

bool PsapiLibrary::Load() {
    if (library_)
        return true;
    ++loadAttempts_;
    toolkit::UniqueLibrary library(toolkit::LoadSystemLibrary(fileName_));
    if (!library)
        return false;
    enumProcesses_ = Lookup<EnumProcessesFn>(library.get(), "EnumProcesses");
    getModuleFileNameEx_ = Lookup<GetModuleFileNameExFn>(library.get(), "GetModuleFileNameExA");
    library_ = std::move(library);
    return true;
}

bool PsapiLibrary::EnumProcesses(DWORD* ids, DWORD bytes, DWORD* bytesWritten) {
    return Load() && enumProcesses_ && enumProcesses_(ids, bytes, bytesWritten);
}

DWORD PsapiLibrary::GetModuleFileNameEx(HANDLE process, char* path, DWORD size) {
    if (!Load() || !getModuleFileNameEx_)
        return 0;
    return getModuleFileNameEx_(process, nullptr, path, size);
}

bool SystemProcessSource::WalkSnapshot(const SnapshotVisitor& visit) {
    const Kernel32Entries& k = Kernel32Entries::Get();
    if (!k.CreateSnapshot || !k.First || !k.Next)
        return true;  // no snapshot service: a listing without processes
    HANDLE raw = k.CreateSnapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE)
        return false;
    toolkit::UniqueKernelHandle snapshot(raw);
    // The entry's size is the build's own record size: the 32-bit 296 bytes
    // would make the walk fail on x86_64.
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = k.First(snapshot.get(), &entry); more; more = k.Next(snapshot.get(), &entry)) {
        const std::string_view exeFile(entry.szExeFile, strnlen(entry.szExeFile, sizeof(entry.szExeFile)));
        if (!visit(entry.th32ProcessID, exeFile))
            break;
    }
    return true;
}

bool SystemProcessSource::EnumProcessIds(std::vector<uint32_t>& ids) {
    DWORD buffer[kProcessIdBufferCount];
    DWORD written = 0;
    if (!psapi_.EnumProcesses(buffer, sizeof(buffer), &written))
        return false;
    ids.assign(buffer, buffer + written / sizeof(DWORD));
    return true;
}

std::string SystemProcessSource::QueryProcessPath(uint32_t processId) {
    toolkit::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return {};
    std::string path(kPathBufferSize, '\0');
    if (psapi_.GetModuleFileNameEx(process.get(), path.data(), kPathBufferSize) == 0)
        return {};
    path.resize(strnlen(path.data(), path.size()));
    return path;
}

std::string SystemProcessSource::QueryFullImagePath(uint32_t processId) {
    if (!ReadsFullImagePath(version_))
        return {};
    const Kernel32Entries& k = Kernel32Entries::Get();
    if (!HasLimitedQuery(version_) || !k.QueryFullName)
        return QueryProcessPath(processId);
    toolkit::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return {};
    char path[kPathBufferSize];
    DWORD size = kPathBufferSize;
    if (!k.QueryFullName(process.get(), 0, path, &size))
        return {};
    return std::string(path, strnlen(path, size));
}

SystemProcessSource& SystemProcesses() {
    static SystemProcessSource source(SharedPsapi(), CurrentPlatformVersion());
    return source;
}

bool ListRunningProcesses(ProcessList& list) {
    return engine::ListRunningProcesses(SystemProcesses(), CurrentVersionClass(), list);
}

std::string QueryProcessPath(DWORD processId) {
    return SystemProcesses().QueryProcessPath(processId);
}

namespace {

// The id of the window's process, or the preset id when it has none.
bool OwnerOf(HWND window, DWORD& processId) {
    processId = kPresetProcessId;
    if (!IsWindow(window))
        return false;
    GetWindowThreadProcessId(window, &processId);
    return true;
}

}  // namespace

WindowProcessNames NamesOfWindowProcess(HWND window, ProcessNamesMemo* memo) {
    DWORD processId;
    if (!OwnerOf(window, processId))
        return {};
    if (memo)
        return memo->NamesOf(processId);
    return NamesOfProcess(SystemProcesses(), CurrentPlatformVersion(), processId);
}

std::string ProcessNameOfWindow(HWND window) {
    DWORD processId;
    if (!OwnerOf(window, processId))
        return {};
    return NameOfProcess(SystemProcesses(), CurrentVersionClass(), processId);
}

std::string ProcessNameOfWindowByListing(HWND window) {
    DWORD processId;
    if (!OwnerOf(window, processId))
        return {};
    ProcessList list;  // freed on every path, exceptions included
    if (!ListRunningProcesses(list))
        return {};
    return NameInList(list, processId);
}

}  // namespace engine
