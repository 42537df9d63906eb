// The popup menu and its items. Every popup menu of the process shares one
// hidden owner window, which receives the menus' messages while one is shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"

namespace ui {

// The hidden window that owns every shown menu.
constexpr char kMenuOwnerWindowClass[] = "Tavrin2MenuOwner";

class PopupMenu;

class MenuItem : public toolkit::Component {
public:
    MenuItem(toolkit::Component* owner, std::string name);
    ~MenuItem() override;  // leaves its menu

    // "-" makes the item a separator line. A "&" marks the access key.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);

    std::function<void()> OnClick;
    void Click();

    // The command id the system reports in WM_COMMAND when the item is chosen.
    UINT Command() const { return command_; }
    PopupMenu* Menu() const { return menu_; }

private:
    friend class PopupMenu;
    void Changed();

    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool default_ = false;
    UINT command_;
    PopupMenu* menu_ = nullptr;
};

class PopupMenu : public toolkit::Component {
public:
    PopupMenu(toolkit::Component* owner, std::string name);
    ~PopupMenu() override;

    // Appends the item; an item belongs to one menu at a time.
    void Add(MenuItem& item);
    void Remove(MenuItem& item);
    const std::vector<MenuItem*>& Items() const { return items_; }
    MenuItem* DefaultItem() const;

    HMENU Handle() const { return handle_.get(); }

    // Runs when the menu is about to open: once before it is tracked and once
    // more from inside the tracking, when the system asks for its contents.
    std::function<void()> OnPopup;

    // Gives commands without an access key one before the menu is shown.
    bool AutoHotkeys = true;

    // Shows the menu with its top-left corner at (x, y), screen pixels, and
    // returns when it closes; a chosen command arrives afterwards as a message.
    void Popup(int x, int y);
    POINT PopupPoint() const { return popupPoint_; }

    // The hidden window that owns every shown menu; exists while a menu does.
    static HWND OwnerWindow();

private:
    friend class MenuItem;
    static LRESULT CALLBACK OwnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void DoPopup();
    void AssignAccessKeys();
    void Rebuild();

    toolkit::UniqueMenu handle_;
    std::vector<MenuItem*> items_;
    POINT popupPoint_{};
};

}  // namespace ui
