// System libraries loaded from the system folder only: a file of the same name
// beside the executable (a Downloads folder) or in the working folder is never
// taken, nor is one found through PATH.
#pragma once

#include <windows.h>

#include <string>

namespace toolkit {

// The platform calls a system-folder load is made of; a test replaces them to
// walk the older systems' path.
struct SystemLoadCalls {
    HMODULE (*LoadFromSystemFolder)(const wchar_t* name);  // the search limited to the system folder
    DWORD (*LastError)();
    std::wstring (*SystemFolder)();  // empty when it cannot be read
    HMODULE (*LoadFullPath)(const wchar_t* path);
};

const SystemLoadCalls& PlatformLoadCalls();

// The library `name` (a plain file name) from the system folder; nullptr when
// it is not there. Windows 7 without its loader update and Vista reject the
// search flag as an invalid parameter; the full path is used there instead.
HMODULE LoadSystemLibrary(const char* name, const SystemLoadCalls& calls = PlatformLoadCalls());

// Limits what the platform loads for this process later (shell extensions,
// the libraries other system libraries pull in) to the system folder. False
// where the platform has no such switch; the process then keeps its search.
bool LimitLibrarySearchToSystemFolder();

}  // namespace toolkit
