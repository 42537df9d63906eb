// The window list component: the visible, titled top-level windows of the
// desktop from the top of the Z order down, rebuilt by each running-program scan.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace engine {

// One listed window; each belongs to its entry of WindowList::Entries.
struct WindowInfo {
    HWND Handle = nullptr;
};

// Titles with their window records, in walk order. Entries are only appended;
// clearing releases the records with the entries.
class WindowEntries {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Title(int index) const;
    const WindowInfo& Info(int index) const;
    void Add(std::string title, std::unique_ptr<WindowInfo> info);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        std::string Title;
        std::unique_ptr<WindowInfo> Info;
    };
    const Entry& At(int index) const;
    std::vector<Entry> entries_;
};

class WindowList : public toolkit::Component {
public:
    // Title buffer of the walk, zero included: titles are cut to 254 characters.
    static constexpr int kTitleBufferSize = 255;

    explicit WindowList(toolkit::Component* owner, std::string name = "windowList");
    ~WindowList() override;

    WindowEntries Entries;
    // When true, visible windows without a title are listed too.
    bool AcceptEmptyNames = false;

    // Rebuilds Entries from the current top-level windows.
    void Refresh();
    // Appends the window when it qualifies: titled (or AcceptEmptyNames) and visible.
    void AddWindow(HWND window);
    // The handle of the entry at index; raises when index is not below Count().
    HWND GetWindowHandle(int index) const;
    int Count() const { return Entries.Count(); }
};

}  // namespace engine
