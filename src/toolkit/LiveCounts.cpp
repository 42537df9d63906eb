// Reads the wrappers' counts and counts the thread's windows.
#include "toolkit/LiveCounts.h"

#include "toolkit/UniqueHandle.h"

namespace toolkit {
namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(hwnd, &CountChild, count);
    return TRUE;
}

long ThreadWindows() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWithChildren, reinterpret_cast<LPARAM>(&count));
    // Message-only windows are not among the thread's top-level windows.
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExA(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr)
        if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
            CountWithChildren(hwnd, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

const char* LiveKindName(LiveKind kind) {
    static const char* const names[] = {"icons",   "cursors", "regions", "brushes",        "fonts",
                                        "bitmaps", "dcs",     "windows", "menus",          "keys",
                                        "files",   "kernel",  "libraries", "process_handles"};
    const int i = static_cast<int>(kind);
    return i >= 0 && i < static_cast<int>(LiveKind::Count) ? names[i] : "?";
}

long LiveCount(LiveKind kind) {
    switch (kind) {
    case LiveKind::Icons: return UniqueIcon::Live();
    case LiveKind::Cursors: return UniqueCursor::Live();
    case LiveKind::Regions: return UniqueGdi<HRGN>::Live();
    case LiveKind::Brushes: return UniqueGdi<HBRUSH>::Live();
    case LiveKind::Fonts: return UniqueGdi<HFONT>::Live();
    case LiveKind::Bitmaps: return UniqueGdi<HBITMAP>::Live();
    case LiveKind::DCs: return LiveDCs::Live();
    case LiveKind::Windows: return ThreadWindows();
    case LiveKind::Menus: return UniqueMenu::Live();
    case LiveKind::Keys: return UniqueKey::Live();
    case LiveKind::Files: return UniqueFile::Live();
    case LiveKind::KernelHandles: return UniqueKernelHandle::Live();
    case LiveKind::Libraries: return UniqueLibrary::Live();
    case LiveKind::ProcessHandles: {
        DWORD count = 0;
        return GetProcessHandleCount(GetCurrentProcess(), &count) ? static_cast<long>(count) : -1;
    }
    case LiveKind::Count: break;
    }
    return -1;
}

UINT LiveCountsMessage() {
    static const UINT message = RegisterWindowMessageA(kLiveCountsMessage);
    return message;
}

}  // namespace toolkit
