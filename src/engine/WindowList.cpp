// Walking the top-level windows into the window list.
#include "engine/WindowList.h"

#include <exception>

#include "toolkit/Exceptions.h"

namespace engine {

const WindowEntries::Entry& WindowEntries::At(int index) const {
    if (index < 0 || index >= Count())
        throw toolkit::Exception(toolkit::Format("List index out of bounds (%d)", index));
    return entries_[static_cast<size_t>(index)];
}

const std::string& WindowEntries::Title(int index) const {
    return At(index).Title;
}

const WindowInfo& WindowEntries::Info(int index) const {
    return *At(index).Info;
}

void WindowEntries::Add(std::string title, std::unique_ptr<WindowInfo> info) {
    entries_.push_back({std::move(title), std::move(info)});
}

WindowList::WindowList(toolkit::Component* owner, std::string name) : Component(owner, std::move(name)) {}

WindowList::~WindowList() {
    Entries.Clear();
}

namespace {

struct Walk {
    WindowList* List;
    std::exception_ptr Error;
};

// No exception may cross the platform's frame: it is kept and raised again
// once the enumeration has returned.
BOOL CALLBACK AddEachWindow(HWND window, LPARAM param) noexcept {
    auto& walk = *reinterpret_cast<Walk*>(param);
    try {
        walk.List->AddWindow(window);
        return TRUE;
    } catch (...) {
        walk.Error = std::current_exception();
        return FALSE;
    }
}

}  // namespace

void WindowList::Refresh() {
    Entries.Clear();
    // The enumeration takes the window list in one go, top of the Z order
    // first. Following GW_HWNDNEXT links instead can loop for ever when
    // windows change their order during the walk.
    Walk walk{this, nullptr};
    EnumWindows(&AddEachWindow, reinterpret_cast<LPARAM>(&walk));
    if (walk.Error)
        std::rethrow_exception(walk.Error);
}

void WindowList::AddWindow(HWND window) {
    // Most top-level windows are hidden helpers: asking for visibility first
    // spares their titles, and the same windows qualify either way.
    if (!IsWindowVisible(window))
        return;
    char title[kTitleBufferSize];
    title[0] = '\0';
    GetWindowTextA(window, title, kTitleBufferSize);
    if (AcceptEmptyNames || title[0] != '\0') {
        auto info = std::make_unique<WindowInfo>();
        info->Handle = window;
        Entries.Add(title, std::move(info));
    }
}

HWND WindowList::GetWindowHandle(int index) const {
    return Entries.Info(index).Handle;
}

}  // namespace engine
