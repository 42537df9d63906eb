// Installing and removing the hook dispatcher on forms and raw windows, and
// freeing the records of windows that are gone.
#include "ui/hook/MessageHook.h"

#include <algorithm>

#include "toolkit/ErrorReport.h"
#include "toolkit/Form.h"
#include "toolkit/HiddenWindow.h"

namespace ui {
namespace {
constexpr UINT kReleaseRecord = 0xB021;
}  // namespace

struct MessageHook::HookRecord {
    toolkit::Form* form = nullptr;  // one of form and window is set
    HWND window = nullptr;
    MessageHookChains chains;
    bool installed = false;
    toolkit::Form::MessageProcedure savedProcedure;
    WNDPROC savedWndProc = nullptr;
    int removalNotice = 0;
    int dispatching = 0;  // nested messages on their way through the chains
    bool released = false;

    void Install() {
        if (installed)
            return;
        if (form) {
            savedProcedure = form->WindowProcedure();
            form->SetWindowProcedure([this](toolkit::WindowMessage& m) { DispatchForm(m); });
        } else {
            SetPropA(window, kHookRecordProperty, this);
            // The pointer-sized setter: a 32-bit one would cut the procedure's
            // address on 64-bit Windows.
            savedWndProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageHook::RawDispatcher)));
        }
        installed = true;
    }

    void Uninstall() {
        if (!installed)
            return;
        if (form) {
            form->SetWindowProcedure(savedProcedure);
        } else {
            // Someone who subclassed the window after us would be cut off by
            // putting the old procedure back: then stay in the chain.
            if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&MessageHook::RawDispatcher))
                return;
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWndProc));
            RemovePropA(window, kHookRecordProperty);
        }
        installed = false;
    }

    void DispatchForm(toolkit::WindowMessage& m) {
        ++dispatching;
        struct Leave {
            HookRecord* record;
            ~Leave() {
                if (--record->dispatching == 0 && record->released)
                    delete record;
            }
        } leave{this};
        // A copy: uninstalling meanwhile must not take the procedure from under us.
        const toolkit::Form::MessageProcedure original = savedProcedure;
        chains.Dispatch(m, [&](toolkit::WindowMessage& msg) { original(msg); });
    }
};

MessageHook& MessageHook::Instance() {
    static MessageHook manager;
    return manager;
}

MessageHook::~MessageHook() {
    // Only records of windows that outlived the program are left; their
    // windows are gone with the process, so nothing is put back.
    for (auto& record : records_)
        if (record->dispatching)
            (void)record.release();
}

MessageHook::HookRecord* MessageHook::Find(const toolkit::Form* control) const {
    for (const auto& r : records_)
        if (r->form == control)
            return r.get();
    return nullptr;
}

MessageHook::HookRecord* MessageHook::Find(HWND window) const {
    for (const auto& r : records_)
        if (!r->form && r->window == window)
            return r.get();
    return nullptr;
}

MessageHook::HookRecord& MessageHook::Record(toolkit::Form* control) {
    if (HookRecord* found = Find(control))
        return *found;
    auto record = std::make_unique<HookRecord>();
    record->form = control;
    HookRecord* raw = record.get();
    records_.push_back(std::move(record));
    raw->removalNotice = control->AddRemovalNotice([this, raw](toolkit::Component*) { Free(raw); });
    return *raw;
}

MessageHook::HookRecord& MessageHook::Record(HWND window) {
    if (HookRecord* found = Find(window))
        return *found;
    auto record = std::make_unique<HookRecord>();
    record->window = window;
    records_.push_back(std::move(record));
    return *records_.back();
}

void MessageHook::Free(HookRecord* record) {
    auto it = std::find_if(records_.begin(), records_.end(), [record](const auto& r) { return r.get() == record; });
    if (it == records_.end())
        return;
    record->Uninstall();
    HookRecord* owned = it->release();
    records_.erase(it);
    // A record whose message is still on its way goes when the message returns.
    if (owned->dispatching)
        owned->released = true;
    else
        delete owned;
}

bool MessageHook::AddMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place) {
    if (!control || !handler.Procedure)
        return false;
    HookRecord& record = Record(control);
    record.chains.Add(handler, place);
    record.Install();
    return true;
}

bool MessageHook::RemoveMessageHook(toolkit::Form* control, const MessageHandler& handler, MessageHookPlace place) {
    return Unlink(Find(control), handler, place);
}

bool MessageHook::AddMessageHook(HWND window, const MessageHandler& handler, MessageHookPlace place) {
    if (!window || !IsWindow(window) || !handler.Procedure)
        return false;
    HookRecord& record = Record(window);
    record.chains.Add(handler, place);
    record.Install();
    return true;
}

bool MessageHook::RemoveMessageHook(HWND window, const MessageHandler& handler, MessageHookPlace place) {
    return Unlink(Find(window), handler, place);
}

bool MessageHook::Unlink(HookRecord* record, const MessageHandler& handler, MessageHookPlace place) {
    if (!record)
        return false;
    record->chains.Remove(handler, place);
    if (record->chains.Empty())
        record->Uninstall();
    return true;
}

bool MessageHook::Installed(toolkit::Form* control) const {
    const HookRecord* record = Find(control);
    return record && record->installed;
}

bool MessageHook::Installed(HWND window) const {
    const HookRecord* record = Find(window);
    return record && record->installed;
}

HWND MessageHook::Releaser() {
    if (!releaser_ || !IsWindow(releaser_))
        releaser_ =
            toolkit::CreateHiddenWindow(kReleaserWindowClass, &MessageHook::ReleaserProc, HWND_MESSAGE, 0, nullptr);
    return releaser_;
}

LRESULT CALLBACK MessageHook::ReleaserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kReleaseRecord) {
        delete reinterpret_cast<HookRecord*>(lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MessageHook::RawDispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* record = static_cast<HookRecord*>(GetPropA(hwnd, kHookRecordProperty));
    if (!record)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const WNDPROC original = record->savedWndProc;
    toolkit::WindowMessage m{message, wParam, lParam, 0};
    ++record->dispatching;
    try {
        record->chains.Dispatch(m, [&](toolkit::WindowMessage& msg) {
            msg.Result = CallWindowProcA(original, hwnd, msg.Msg, msg.WParam, msg.LParam);
        });
    } catch (...) {
        toolkit::HandleCurrentException();
    }
    --record->dispatching;
    if (record->released) {
        if (!record->dispatching)
            delete record;
        return static_cast<LRESULT>(m.Result);
    }
    if (message == WM_DESTROY) {
        // The window is going: take the record out and put the window's own
        // procedure back now, but free the record only once every message of
        // the window that may still hold it has returned.
        MessageHook& manager = Instance();
        auto it = std::find_if(manager.records_.begin(), manager.records_.end(),
                               [record](const auto& r) { return r.get() == record; });
        if (it != manager.records_.end()) {
            record->Uninstall();
            it->release();
            manager.records_.erase(it);
            HWND releaser = nullptr;
            try {
                releaser = manager.Releaser();
            } catch (...) {
            }
            if (!releaser || !PostMessageA(releaser, kReleaseRecord, 0, reinterpret_cast<LPARAM>(record))) {
                if (record->dispatching)
                    record->released = true;
                else
                    delete record;
            }
        }
    }
    return static_cast<LRESULT>(m.Result);
}

}  // namespace ui
