// The tray icon's reaction table for shell callback notifications.
#include "ui/tray/TrayCallback.h"

namespace ui {

TrayReaction DecideTrayCallback(uint32_t notification, const TrayCallbackConfig& c) {
    namespace n = tray_notification;
    TrayReaction r;
    auto& s = r.steps;
    auto add = [&s](bool when, TrayStep step) {
        if (when)
            s.push_back(step);
    };
    auto mouseUpAndClick = [&] {
        add(c.onMouseUp, TrayStep::MouseUp);
        add(c.onClick, TrayStep::Click);
    };

    switch (notification) {
    case n::kMouseMove:
        add(c.hintChanged, TrayStep::PushTip);
        add(c.onMouseMove, TrayStep::MouseMove);
        break;
    case n::kLeftDown:
        r.button = TrayButton::Left;
        add(c.onMouseDown, TrayStep::MouseDown);
        add(c.hasDropDownMenu, TrayStep::DropDownMenu);
        break;
    case n::kRightDown:
    case n::kMiddleDown:
        r.button = notification == n::kRightDown ? TrayButton::Right : TrayButton::Middle;
        add(c.onMouseDown, TrayStep::MouseDown);
        break;
    case n::kLeftUp:
        r.button = TrayButton::Left;
        add(c.appShown && c.clicks.minimizeClick, TrayStep::HideApp);
        add(!c.appShown && c.clicks.restoreClick, TrayStep::ShowApp);
        mouseUpAndClick();
        break;
    case n::kRightUp:
    case n::kKeySelect:
        // Keyboard selection opens the menu like a right click, at the cursor.
        r.button = TrayButton::Right;
        add(c.hasPopupMenu, TrayStep::PopupMenu);
        mouseUpAndClick();
        break;
    case n::kMiddleUp:
        r.button = TrayButton::Middle;
        mouseUpAndClick();
        break;
    case n::kLeftDoubleClick:
        r.button = TrayButton::Left;
        if (c.onDblClick) {
            s.push_back(TrayStep::DblClick);
            break;
        }
        add(c.hasPopupMenu && c.hasDefaultItem, TrayStep::ClickDefaultItem);
        add(c.appShown && c.clicks.minimizeDbClick, TrayStep::HideApp);
        add(!c.appShown && c.clicks.restoreDbClick, TrayStep::ShowApp);
        break;
    case n::kRightDoubleClick:
    case n::kMiddleDoubleClick:
        r.button = notification == n::kRightDoubleClick ? TrayButton::Right : TrayButton::Middle;
        add(c.onDblClick, TrayStep::DblClick);
        break;
    case n::kBalloonHide:
        s.push_back(TrayStep::BalloonHidden);
        break;
    case n::kBalloonTimeout:
        s.push_back(TrayStep::BalloonTimedOut);
        break;
    case n::kBalloonClick:
        s.push_back(TrayStep::BalloonClicked);
        break;
    default:
        break;
    }
    return r;
}

}  // namespace ui
