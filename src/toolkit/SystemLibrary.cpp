// Loading from the system folder, with the full-path way for systems whose
// loader predates the search flags.
#include "toolkit/SystemLibrary.h"

namespace toolkit {
namespace {

HMODULE LoadFromSystemFolder(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

DWORD LastError() {
    return GetLastError();
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length);
}

// A full path alone would still look for the library's own dependencies in
// the executable's folder first; the altered search starts them at its folder.
HMODULE LoadFullPath(const wchar_t* path) {
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

const SystemLoadCalls& PlatformLoadCalls() {
    static const SystemLoadCalls calls{&LoadFromSystemFolder, &LastError, &SystemFolder, &LoadFullPath};
    return calls;
}

HMODULE LoadSystemLibrary(const char* name, const SystemLoadCalls& calls) {
    // The names are the program's own ASCII constants.
    std::wstring wide;
    for (const char* c = name; *c; ++c)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    if (HMODULE module = calls.LoadFromSystemFolder(wide.c_str()))
        return module;
    if (calls.LastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    std::wstring path = calls.SystemFolder();
    if (path.empty())
        return nullptr;
    if (path.back() != L'\\')
        path.push_back(L'\\');
    return calls.LoadFullPath((path + wide).c_str());
}

bool LimitLibrarySearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // Looked up, not imported: Windows 7 has it only with its loader update.
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                           GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                                     : nullptr;
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace toolkit
