// The process-wide window message hook: lets a component handle a window's
// messages before or after the window's own handling. One record per hooked
// window holds its two chains; the record's dispatcher takes the place of the
// window's procedure while any handler is registered.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/hook/MessageHookChains.h"

namespace toolkit {
class Form;
}

namespace ui {

// The window property that ties a subclassed window to its hook record.
constexpr char kHookRecordProperty[] = "Tavrin2.HookRecord";
// The hidden window that frees a destroyed window's record once its last
// message has returned.
constexpr char kReleaserWindowClass[] = "TReleaser";

class MessageHook {
public:
    static MessageHook& Instance();
    ~MessageHook();

    // A form of the toolkit: its procedure slot is taken over, and the record
    // goes when the form is destroyed. False, with nothing registered, when
    // the form or the handler's procedure is missing.
    bool AddMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place);
    // False when the form has no record.
    bool RemoveMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place);

    // A window of any other kind, subclassed through its window procedure.
    // Its record is released after WM_DESTROY, once the message has returned.
    bool AddMessageHook(HWND window, const MessageHandler& handler, MessageHookPlace place);
    bool RemoveMessageHook(HWND window, const MessageHandler& handler, MessageHookPlace place);

    // For tests: how many windows have a record.
    int RecordCount() const { return static_cast<int>(records_.size()); }
    // For tests: whether the window's procedure is currently the dispatcher.
    bool Installed(toolkit::Form* control) const;
    bool Installed(HWND window) const;

    struct HookRecord;

private:
    MessageHook() = default;
    HookRecord* Find(const toolkit::Form* control) const;
    HookRecord* Find(HWND window) const;
    HookRecord& Record(toolkit::Form* control);
    HookRecord& Record(HWND window);
    void Free(HookRecord* record);
    static bool Unlink(HookRecord* record, const MessageHandler& handler, MessageHookPlace place);
    static LRESULT CALLBACK RawDispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK ReleaserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HWND Releaser();

    std::vector<std::unique_ptr<HookRecord>> records_;
    HWND releaser_ = nullptr;
};

inline bool AddMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place) {
    return MessageHook::Instance().AddMessageHook(control, handler, place);
}
inline bool RemoveMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place) {
    return MessageHook::Instance().RemoveMessageHook(control, handler, place);
}

}  // namespace ui
