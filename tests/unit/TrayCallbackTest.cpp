// Which tray notifications do what, for the program's configuration and others.
#include <gtest/gtest.h>

#include <vector>

#include "ui/tray/TrayCallback.h"

namespace {

namespace n = ui::tray_notification;
using ui::DecideTrayCallback;
using ui::TrayButton;
using ui::TrayCallbackConfig;
using Steps = std::vector<ui::TrayStep>;
using S = ui::TrayStep;

// The program's own tray icon: a popup menu, no mouse events, click flags off.
TrayCallbackConfig ProgramConfig() {
    TrayCallbackConfig c;
    c.hasPopupMenu = true;
    return c;
}

TEST(TrayCallback, OnlyRightReleaseAndKeyboardSelectionOpenTheProgramsMenu) {
    struct Case {
        uint32_t notification;
        Steps steps;
    };
    const Case cases[] = {
        {n::kMouseMove, {}},        {n::kLeftDown, {}},         {n::kLeftUp, {}},
        {n::kLeftDoubleClick, {}},  {n::kRightDown, {}},        {n::kRightUp, {S::PopupMenu}},
        {n::kRightDoubleClick, {}}, {n::kMiddleDown, {}},       {n::kMiddleUp, {}},
        {n::kMiddleDoubleClick, {}}, {n::kKeySelect, {S::PopupMenu}},
        {0x400, {}},                {0x402, {}},                {0x406, {}},
        {0, {}},                    {0xFFFFFFFF, {}},
        {n::kBalloonHide, {S::BalloonHidden}},
        {n::kBalloonTimeout, {S::BalloonTimedOut}},
        {n::kBalloonClick, {S::BalloonClicked}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideTrayCallback(c.notification, ProgramConfig()).steps, c.steps)
            << std::hex << c.notification;
}

TEST(TrayCallback, WithoutAPopupMenuARightClickDoesNothing) {
    TrayCallbackConfig c;
    EXPECT_TRUE(DecideTrayCallback(n::kRightUp, c).steps.empty());
    EXPECT_TRUE(DecideTrayCallback(n::kKeySelect, c).steps.empty());
}

TEST(TrayCallback, EveryHandlerAndMenuRunsInTheRowsOrder) {
    TrayCallbackConfig all;
    all.hasPopupMenu = all.hasDropDownMenu = all.hasDefaultItem = true;
    all.onClick = all.onMouseMove = all.onMouseDown = all.onMouseUp = true;
    all.hintChanged = true;
    struct Case {
        uint32_t notification;
        TrayButton button;
        Steps steps;
    };
    const Case cases[] = {
        {n::kMouseMove, TrayButton::None, {S::PushTip, S::MouseMove}},
        {n::kLeftDown, TrayButton::Left, {S::MouseDown, S::DropDownMenu}},
        {n::kRightDown, TrayButton::Right, {S::MouseDown}},
        {n::kMiddleDown, TrayButton::Middle, {S::MouseDown}},
        {n::kLeftUp, TrayButton::Left, {S::MouseUp, S::Click}},
        {n::kRightUp, TrayButton::Right, {S::PopupMenu, S::MouseUp, S::Click}},
        {n::kKeySelect, TrayButton::Right, {S::PopupMenu, S::MouseUp, S::Click}},
        {n::kMiddleUp, TrayButton::Middle, {S::MouseUp, S::Click}},
        // No OnDblClick: the default item is clicked instead.
        {n::kLeftDoubleClick, TrayButton::Left, {S::ClickDefaultItem}},
        {n::kRightDoubleClick, TrayButton::Right, {}},
    };
    for (const Case& c : cases) {
        const auto r = DecideTrayCallback(c.notification, all);
        EXPECT_EQ(r.steps, c.steps) << std::hex << c.notification;
        EXPECT_EQ(r.button, c.button) << std::hex << c.notification;
    }
}

TEST(TrayCallback, AnAssignedDoubleClickHandlerIsTheOnlyReactionToALeftDoubleClick) {
    TrayCallbackConfig c = ProgramConfig();
    c.hasDefaultItem = true;
    c.onDblClick = true;
    c.clicks.minimizeDbClick = c.clicks.restoreDbClick = true;
    EXPECT_EQ(DecideTrayCallback(n::kLeftDoubleClick, c).steps, Steps{S::DblClick});
    EXPECT_EQ(DecideTrayCallback(n::kRightDoubleClick, c).steps, Steps{S::DblClick});
    EXPECT_EQ(DecideTrayCallback(n::kMiddleDoubleClick, c).steps, Steps{S::DblClick});
}

TEST(TrayCallback, ClickFlagsHideAShownAndShowAHiddenApplication) {
    struct Case {
        uint32_t notification;
        bool appShown;
        ui::TrayClickFlags flags;
        Steps steps;
    };
    const Case cases[] = {
        {n::kLeftUp, true, {.minimizeClick = true}, {S::HideApp}},
        {n::kLeftUp, false, {.minimizeClick = true}, {}},
        {n::kLeftUp, false, {.restoreClick = true}, {S::ShowApp}},
        {n::kLeftUp, true, {.restoreClick = true}, {}},
        {n::kLeftDoubleClick, true, {.minimizeDbClick = true}, {S::HideApp}},
        {n::kLeftDoubleClick, false, {.restoreDbClick = true}, {S::ShowApp}},
        {n::kLeftDoubleClick, true, {.minimizeClick = true, .restoreClick = true}, {}},
        {n::kRightUp, true, {.minimizeClick = true, .minimizeDbClick = true}, {S::PopupMenu}},
    };
    for (const Case& c : cases) {
        TrayCallbackConfig config = ProgramConfig();
        config.appShown = c.appShown;
        config.clicks = c.flags;
        EXPECT_EQ(DecideTrayCallback(c.notification, config).steps, c.steps)
            << std::hex << c.notification << " shown " << c.appShown;
    }
}

TEST(TrayCallback, AnUnchangedHintIsNotPushedAgain) {
    TrayCallbackConfig c = ProgramConfig();
    EXPECT_TRUE(DecideTrayCallback(n::kMouseMove, c).steps.empty());
    c.hintChanged = true;
    EXPECT_EQ(DecideTrayCallback(n::kMouseMove, c).steps, Steps{S::PushTip});
}

}  // namespace
