// A shell for the tray icon's tests: it records every call with its record,
// counts taskbar lookups, and refuses adds the way a real shell does.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/tray/ShellPort.h"

namespace fakes {

using Messages = std::vector<ui::NotifyMessage>;

struct Call {
    ui::NotifyMessage message;
    ui::NotifyRecord record;
};

class FakeShell : public ui::ShellPort {
public:
    bool NotifyIcon(ui::NotifyMessage message, const ui::NotifyRecord& record) override {
        calls.push_back({message, record});
        // A shell without a notification area refuses everything; one that
        // takes no icons yet refuses adds; every shell refuses a second add.
        if (message == ui::NotifyMessage::Add) {
            if (refuseAdds > 0) {
                --refuseAdds;
                return false;
            }
            if (holdsIcon)
                return false;
            holdsIcon = true;
            shown = record.hIcon;
            return true;
        }
        if (message == ui::NotifyMessage::Delete) {
            const bool held = holdsIcon;
            holdsIcon = false;
            shown = 0;
            return held;
        }
        if (message == ui::NotifyMessage::Modify && holdsIcon)
            shown = record.hIcon;
        return holdsIcon;
    }
    uintptr_t FindTaskbar() override {
        ++taskbarLookups;
        return taskbar;
    }
    uint32_t ShellVersion() override { return version; }

    Messages Sent() const {
        Messages m;
        for (const Call& c : calls)
            m.push_back(c.message);
        return m;
    }

    std::vector<Call> calls;
    uintptr_t taskbar = 0x7000;
    uint32_t version = 0x00060000;  // 6.0
    int taskbarLookups = 0;
    int refuseAdds = 0;
    bool holdsIcon = false;
    uintptr_t shown = 0;  // the image the notification area draws; 0: none
};

}  // namespace fakes
