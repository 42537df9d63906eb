// The window list component: the visible, titled top-level windows of the
// desktop from the top of the Z order down, rebuilt by each running-program scan.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace engine {

// One listed window; each belongs to its entry of TheWindowsList.
struct TWindowInfo {
    HWND Handle = nullptr;
};

// Titles with their window records, in walk order. Entries are only appended;
// clearing releases the records with the entries.
class TWindowEntries {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Strings(int index) const;
    const TWindowInfo& Objects(int index) const;
    void Add(std::string title, std::unique_ptr<TWindowInfo> info);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        std::string Title;
        std::unique_ptr<TWindowInfo> Info;
    };
    const Entry& At(int index) const;
    std::vector<Entry> entries_;
};

class TWindowsList : public toolkit::Component {
public:
    // Title buffer of the walk, zero included: titles are cut to 254 characters.
    static constexpr int kTitleBufferSize = 255;

    explicit TWindowsList(toolkit::Component* owner, std::string name = "windowList");
    ~TWindowsList() override;

    TWindowEntries TheWindowsList;
    // When true, visible windows without a title are listed too.
    bool AcceptEmptyNames = false;

    // Rebuilds TheWindowsList from the current top-level windows.
    void Refresh();
    // Appends the window when it qualifies: titled (or AcceptEmptyNames) and visible.
    void AddWindow(HWND window);
    // The handle of the entry at index; raises when index is not below Count().
    HWND GetWindowHandle(int index) const;
    int Count() const { return TheWindowsList.Count(); }
};

}  // namespace engine
