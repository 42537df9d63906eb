// What the tray icon does with one callback notification from the shell,
// decided from its configuration alone, so the table can be checked without
// a shell.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

// The notification codes the shell puts in lParam of the callback message.
namespace tray_notification {
constexpr uint32_t kMouseMove = 0x200;
constexpr uint32_t kLeftDown = 0x201;
constexpr uint32_t kLeftUp = 0x202;
constexpr uint32_t kLeftDoubleClick = 0x203;
constexpr uint32_t kRightDown = 0x204;
constexpr uint32_t kRightUp = 0x205;
constexpr uint32_t kRightDoubleClick = 0x206;
constexpr uint32_t kMiddleDown = 0x207;
constexpr uint32_t kMiddleUp = 0x208;
constexpr uint32_t kMiddleDoubleClick = 0x209;
constexpr uint32_t kKeySelect = 0x401;
constexpr uint32_t kBalloonHide = 0x403;
constexpr uint32_t kBalloonTimeout = 0x404;
constexpr uint32_t kBalloonClick = 0x405;
}  // namespace tray_notification

enum class TrayButton { None, Left, Right, Middle };

// One step of the reaction, carried out in the order given.
enum class TrayStep {
    PushTip,           // the hint changed since it was last pushed: send it as the tip
    MouseMove,         // OnMouseMove
    MouseDown,         // OnMouseDown
    MouseUp,           // OnMouseUp
    Click,             // OnClick
    DblClick,          // OnDblClick
    ClickDefaultItem,  // the popup menu's default item is clicked
    ShowApp,           // the application is shown (click-flag path)
    HideApp,           // the application is hidden (click-flag path)
    PopupMenu,         // the menu sequence with PopupMenu
    DropDownMenu,      // the menu sequence with DropDownMenu
    BalloonHidden,     // balloon bookkeeping
    BalloonTimedOut,
    BalloonClicked,
};

// The click flags of Visibility that decide the show/hide paths.
struct TrayClickFlags {
    bool minimizeClick = false;
    bool restoreClick = false;
    bool minimizeDbClick = false;
    bool restoreDbClick = false;
};

struct TrayCallbackConfig {
    bool hasPopupMenu = false;
    bool hasDropDownMenu = false;
    bool hasDefaultItem = false;  // PopupMenu has an item marked default
    bool onClick = false;         // which mouse events have handlers
    bool onDblClick = false;
    bool onMouseMove = false;
    bool onMouseDown = false;
    bool onMouseUp = false;
    bool hintChanged = false;  // Hint differs from the tip last pushed
    bool appShown = true;
    TrayClickFlags clicks;
};

struct TrayReaction {
    TrayButton button = TrayButton::None;  // for the mouse events
    std::vector<TrayStep> steps;
};

TrayReaction DecideTrayCallback(uint32_t notification, const TrayCallbackConfig& config);

}  // namespace ui
