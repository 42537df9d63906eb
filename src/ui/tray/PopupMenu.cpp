// Popup menus over Win32 menus, sharing one hidden owner window.
#include "ui/tray/PopupMenu.h"

#include <algorithm>

#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Application.h"
#include "toolkit/HiddenWindow.h"
#include "toolkit/QuitWatch.h"
#include "ui/tray/MenuAccessKeys.h"

namespace ui {
namespace {

// Menus in registration order: the owner window offers them its messages in this order.
std::vector<PopupMenu*>& Menus() {
    static std::vector<PopupMenu*> menus;
    return menus;
}

HWND ownerWindow = nullptr;

// Command ids are unique in the process, so the shared owner window can tell
// which menu's item a WM_COMMAND names. They are 16-bit and never 0.
UINT NextCommand() {
    static UINT last = 0;
    last = last % 0xFFFF + 1;
    return last;
}

}  // namespace

MenuItem::MenuItem(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), command_(NextCommand()) {}

MenuItem::~MenuItem() {
    if (menu_)
        menu_->Remove(*this);
}

void MenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

void MenuItem::SetVisible(bool visible) {
    visible_ = visible;
    Changed();
}

void MenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void MenuItem::SetDefault(bool isDefault) {
    default_ = isDefault;
    Changed();
}

void MenuItem::Click() {
    if (OnClick)
        OnClick();
}

void MenuItem::Changed() {
    if (menu_)
        menu_->Rebuild();
}

PopupMenu::PopupMenu(toolkit::Component* owner, std::string name)
    : Component(owner, std::move(name)), handle_(CreatePopupMenu()) {
    if (!handle_)
        throw toolkit::OutOfResourcesError("Out of system resources");
    if (Menus().empty())
        ownerWindow = toolkit::CreateHiddenWindow(kMenuOwnerWindowClass, &PopupMenu::OwnerWindowProc, nullptr, WS_POPUP,
                                                  nullptr);
    Menus().push_back(this);
}

PopupMenu::~PopupMenu() {
    for (MenuItem* item : items_)
        item->menu_ = nullptr;
    auto& menus = Menus();
    menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
    if (menus.empty() && ownerWindow) {
        DestroyWindow(ownerWindow);
        ownerWindow = nullptr;
    }
}

HWND PopupMenu::OwnerWindow() {
    return ownerWindow;
}

void PopupMenu::Add(MenuItem& item) {
    if (item.menu_)
        item.menu_->Remove(item);
    items_.push_back(&item);
    item.menu_ = this;
    Rebuild();
}

void PopupMenu::Remove(MenuItem& item) {
    items_.erase(std::remove(items_.begin(), items_.end(), &item), items_.end());
    item.menu_ = nullptr;
    Rebuild();
}

MenuItem* PopupMenu::DefaultItem() const {
    for (MenuItem* item : items_)
        if (item->Default())
            return item;
    return nullptr;
}

void PopupMenu::Rebuild() {
    HMENU menu = handle_.get();
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    for (const MenuItem* item : items_) {
        if (!item->Visible())
            continue;
        if (IsSeparatorCaption(item->Caption())) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuA(menu, MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED), item->Command(),
                    item->Caption().c_str());
        if (item->Default())
            SetMenuDefaultItem(menu, item->Command(), FALSE);
    }
}

void PopupMenu::DoPopup() {
    if (OnPopup)
        OnPopup();
}

void PopupMenu::AssignAccessKeys() {
    if (!AutoHotkeys)
        return;
    std::vector<MenuCaption> captions;
    for (const MenuItem* item : items_)
        captions.push_back({item->Caption(), item->Visible()});
    if (!ui::AssignAccessKeys(captions))
        return;
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->caption_ = captions[i].text;
    Rebuild();
}

void PopupMenu::Popup(int x, int y) {
    popupPoint_ = {x, y};
    DoPopup();
    // A quit that arrives while the menu is open is taken by the menu's loop
    // and dropped: the program would run on although asked to end.
    toolkit::QuitWatch quit;
    const toolkit::Application::ModalLoop tracking;
    TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, ownerWindow, nullptr);
    if (quit.QuitSeen())
        toolkit::Application::Instance().Terminate();
}

bool PopupMenu::HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) != Handle())
            return false;
        // The system asks for the menu's contents: the popup handler runs a
        // second time, now inside the tracking, and the keys are given out.
        DoPopup();
        AssignAccessKeys();
        return true;
    case WM_COMMAND:
        for (MenuItem* item : items_) {
            if (item->Command() == LOWORD(wParam)) {
                item->Click();
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK PopupMenu::OwnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (hwnd == ownerWindow) {
            // Indexing the live list: a handler may destroy a menu, and the
            // loop ends with the first menu that takes the message.
            auto& menus = Menus();
            for (size_t i = 0; i < menus.size(); ++i)
                if (menus[i]->HandleOwnerMessage(message, wParam, lParam))
                    return 0;
        }
    } catch (...) {
        toolkit::HandleCurrentException();
        return 0;
    }
    return toolkit::HiddenWindowDefault(hwnd, message, wParam, lParam);
}

}  // namespace ui
