// Registration as a drop target and reading a drop's names.
#include "ui/DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include "toolkit/Form.h"
#include "ui/hook/MessageHook.h"

namespace ui {
namespace {
constexpr UINT kCountNames = 0xFFFFFFFF;
constexpr UINT kInitialBuffer = 128;

// The drop's data is the sender's memory given to us: it is freed on every
// way out, a failing handler included.
class DropHandle {
public:
    explicit DropHandle(HDROP drop) noexcept : drop_(drop) {}
    ~DropHandle() { DragFinish(drop_); }
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    HDROP get() const noexcept { return drop_; }

private:
    HDROP drop_;
};

// A drop handle is memory the sender gave this process. WM_DROPFILES from
// another program carries a number that is no such memory, and the shell's
// drop functions read it unchecked (a null handle crashed the program): only
// a block holding a whole name list, ended by its empty name, is read.
bool IsWholeDrop(HDROP drop) {
    const SIZE_T size = drop ? GlobalSize(drop) : 0;
    if (size < sizeof(DROPFILES))
        return false;
    const auto* block = static_cast<const char*>(GlobalLock(drop));
    if (!block)
        return false;
    const auto* header = reinterpret_cast<const DROPFILES*>(block);
    bool whole = false;
    const size_t unit = header->fWide ? 2 : 1;
    if (header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
        // Two empty characters in a row, inside the block, end the list.
        size_t zeros = 0;
        for (size_t at = header->pFiles; at + unit <= size && !whole; at += unit) {
            const bool zero = block[at] == 0 && (unit == 1 || block[at + 1] == 0);
            zeros = zero ? zeros + 1 : 0;
            whole = zeros == 2 || (zero && at == header->pFiles);
        }
    }
    GlobalUnlock(drop);
    return whole;
}
}  // namespace

DropTarget::DropTarget(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), form_(dynamic_cast<toolkit::Form*>(owner)) {}

DropTarget::~DropTarget() {
    files_.clear();
    if (hooked_)
        RemoveMessageHook(form_, MakeMessageHandler<&DropTarget::HookProc>(this), MessageHookPlace::Before);
}

void DropTarget::SetAcceptDrag(bool accept) {
    acceptDrag_ = accept;
    if (Loading() || !form_ || !form_->Handle())
        return;
    DragAcceptFiles(form_->Handle(), accept);
    const MessageHandler handler = MakeMessageHandler<&DropTarget::HookProc>(this);
    if (accept) {
        if (!hooked_)
            hooked_ = AddMessageHook(form_, handler, MessageHookPlace::Before);
    } else if (hooked_) {
        hooked_ = false;
        RemoveMessageHook(form_, handler, MessageHookPlace::Before);
    }
}

void DropTarget::Loaded() {
    Component::Loaded();
    SetAcceptDrag(acceptDrag_);
}

bool DropTarget::HookProc(toolkit::WindowMessage& m) {
    if (m.Msg != WM_DROPFILES)
        return false;
    const auto drop = reinterpret_cast<HDROP>(m.WParam);
    if (IsWholeDrop(drop))
        HandleDrop(drop);
    return true;
}

void DropTarget::HandleDrop(HDROP drop) {
    DropHandle handle(drop);
    files_.clear();
    std::vector<char> buffer(kInitialBuffer);
    const UINT count = DragQueryFileA(drop, kCountNames, buffer.data(), static_cast<UINT>(buffer.size()));
    for (UINT i = 0; i < count; ++i) {
        const UINT need = DragQueryFileA(drop, i, nullptr, 0) + 1;
        if (need > buffer.size())
            buffer.assign(need, '\0');
        buffer[0] = '\0';
        DragQueryFileA(drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
        buffer.back() = '\0';
        files_.emplace_back(buffer.data());
    }
    if (OnDrop) {
        POINT pos{};
        DragQueryPoint(drop, &pos);
        OnDrop(*this, pos, files_);
    }
}

}  // namespace ui
