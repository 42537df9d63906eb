// Registration as a drop target and reading a drop's names.
#include "ui/DragDrop.h"

#include <shellapi.h>

#include "toolkit/Form.h"
#include "ui/WndProcHook.h"

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
}  // namespace

TDragDrop::TDragDrop(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), form_(dynamic_cast<toolkit::Form*>(owner)) {}

TDragDrop::~TDragDrop() {
    files_.clear();
    if (hooked_)
        RemoveMessageHook(form_, MakeMessageHandler<&TDragDrop::HookProc>(this), mhBefore);
}

void TDragDrop::SetAcceptDrag(bool accept) {
    acceptDrag_ = accept;
    if (Loading() || !form_ || !form_->Handle())
        return;
    DragAcceptFiles(form_->Handle(), accept);
    const MessageHandler handler = MakeMessageHandler<&TDragDrop::HookProc>(this);
    if (accept) {
        if (!hooked_)
            hooked_ = AddMessageHook(form_, handler, mhBefore);
    } else if (hooked_) {
        hooked_ = false;
        RemoveMessageHook(form_, handler, mhBefore);
    }
}

void TDragDrop::Loaded() {
    Component::Loaded();
    SetAcceptDrag(acceptDrag_);
}

bool TDragDrop::HookProc(toolkit::WindowMessage& m) {
    if (m.Msg != WM_DROPFILES)
        return false;
    HandleDrop(reinterpret_cast<HDROP>(m.WParam));
    return true;
}

void TDragDrop::HandleDrop(HDROP drop) {
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
