// The narrow door to the shell's notification area: the record we pass, the
// calls we make, and the port a fake shell implements in tests.
#pragma once

#include <cstdint>

namespace ui {

enum class NotifyMessage : uint32_t { Add = 0, Modify = 1, Delete = 2, SetVersion = 4 };

namespace notify_flags {
constexpr uint32_t kMessage = 0x01;
constexpr uint32_t kIcon = 0x02;
constexpr uint32_t kTip = 0x04;
constexpr uint32_t kInfo = 0x10;
constexpr uint32_t kRegister = kMessage | kIcon | kTip | kInfo;  // 0x17, at the add
constexpr uint32_t kImage = kMessage | kIcon | kTip;             // 7, at an image change
}  // namespace notify_flags

constexpr uint32_t kTrayCallbackMessage = 0x401;  // WM_USER + 1
constexpr uint32_t kTrayIconId = 1;
constexpr uint32_t kNotifyIconVersion = 3;
constexpr uint32_t kTipCapacity = 128;  // szTip, terminator included

// The fields of the platform's notify-icon record that we fill; the adapter
// copies them into the real record (balloon fields and state stay zero).
struct NotifyRecord {
    uint32_t cbSize = 0;
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    uintptr_t hIcon = 0;
    char szTip[kTipCapacity] = {};
    uint32_t uVersion = 0;
};

// The record sizes of the build's own layouts: the first one, and the one with
// balloon members that shells from 5.0 on understand.
struct NotifyRecordSizes {
    uint32_t v1 = 0;
    uint32_t v2 = 0;
};

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // Whether the shell accepted the call. Only the add's answer is looked at:
    // a refused add leaves the icon unregistered until an add is accepted.
    virtual bool NotifyIcon(NotifyMessage message, const NotifyRecord& record) = 0;
    // The taskbar window ("Shell_TrayWnd"), or 0.
    virtual uintptr_t FindTaskbar() = 0;
    // The shell's file version, major in the high word; 0 when unreadable.
    virtual uint32_t ShellVersion() = 0;
};

// The shell understands version records and the balloon layout from 5.0 on.
inline bool IsShell5OrLater(uint32_t version) {
    return (version >> 16) >= 5;
}

}  // namespace ui
