// Shell calls of the tray icon.
#include "ui/tray/Win32Shell.h"

#include <shellapi.h>

#include <vector>

#include "toolkit/DelayedLibrary.h"
#include "toolkit/TextCopy.h"

namespace ui {
namespace {

// The version library is not one the system protects by name: imported, it
// would be looked for beside the executable first, so it is loaded from the
// system folder when the shell's version is first asked for.
struct VersionCalls {
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    SizeFn Size;
    InfoFn Info;
    QueryFn Query;
};

VersionCalls LoadVersionCalls() {
    static toolkit::DelayedLibrary version("version.dll");
    return {version.Find<VersionCalls::SizeFn>("GetFileVersionInfoSizeA"),
            version.Find<VersionCalls::InfoFn>("GetFileVersionInfoA"),
            version.Find<VersionCalls::QueryFn>("VerQueryValueA")};
}

// The file version of shell32.dll, major word high; 0 when it cannot be read.
uint32_t ReadShellVersion() {
    const VersionCalls calls = LoadVersionCalls();
    if (!calls.Size || !calls.Info || !calls.Query)
        return 0;
    DWORD ignored = 0;
    const DWORD size = calls.Size("shell32.dll", &ignored);
    if (size == 0)
        return 0;
    std::vector<char> data(size);
    if (!calls.Info("shell32.dll", 0, size, data.data()))
        return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!calls.Query(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return 0;
    return info->dwFileVersionMS;
}

}  // namespace

NotifyRecordSizes Win32Shell::RecordSizes() {
    return {static_cast<uint32_t>(NOTIFYICONDATAA_V1_SIZE), static_cast<uint32_t>(NOTIFYICONDATAA_V2_SIZE)};
}

bool Win32Shell::NotifyIcon(NotifyMessage message, const NotifyRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.cbSize;
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    // The first layout has room for 64 tip characters only: keep the tip
    // terminated inside the part of the record the shell reads.
    const size_t tipRoom = record.cbSize <= NOTIFYICONDATAA_V1_SIZE ? 64 : sizeof data.szTip;
    toolkit::CopyTruncated(data.szTip, tipRoom, record.szTip);
    data.uVersion = record.uVersion;
    lastResult_ = Shell_NotifyIconA(static_cast<DWORD>(message), &data);
    return lastResult_ != FALSE;
}

uintptr_t Win32Shell::FindTaskbar() {
    return reinterpret_cast<uintptr_t>(FindWindowA("Shell_TrayWnd", nullptr));
}

uint32_t Win32Shell::ShellVersion() {
    // Read once for the process; an unreadable version is tried again next time.
    static uint32_t version = 0;
    if (version == 0)
        version = ReadShellVersion();
    return version;
}

}  // namespace ui
