// The real shell behind ShellPort: Shell_NotifyIconA, the taskbar window and
// the version of shell32.dll.
#pragma once

#include <windows.h>

#include "ui/tray/ShellPort.h"

namespace ui {

class Win32Shell : public ShellPort {
public:
    bool NotifyIcon(NotifyMessage message, const NotifyRecord& record) override;
    uintptr_t FindTaskbar() override;
    uint32_t ShellVersion() override;

    // What the last NotifyIcon call returned.
    BOOL LastResult() const { return lastResult_; }

    // The build's own layouts of the notify-icon record.
    static NotifyRecordSizes RecordSizes();

private:
    BOOL lastResult_ = FALSE;
};

}  // namespace ui
