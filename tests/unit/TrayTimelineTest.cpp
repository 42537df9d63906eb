// The tray icon's shell traffic over minutes of the engine's decisions on the
// fake clock: the shell hears only changes of the image, and the icon it
// draws is always the state the engine chose in that same tick.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/IdleEngine.h"
#include "ui/tray/TrayRegistration.h"
#include "unit/FakeShell.h"
#include "unit/FakeTimerPlatform.h"

namespace {

using M = ui::NotifyMessage;

constexpr uintptr_t kMainIcon = 0xA1;
constexpr uintptr_t kStateIcon[] = {0xC0, 0xC1, 0xC2};  // red, yellow, green
constexpr uint32_t kMinute = 60000;

class Host : public ui::TrayHost {
public:
    void InstallAppHook() override {}
    void RemoveAppHook() override {}
    uintptr_t MainIcon() override { return kMainIcon; }
};

// The settings window's side of the engine: a still cursor the test may
// move, and the decisions' state indices handed to the tray registration.
class Platform : public engine::IdlePlatform {
public:
    explicit Platform(ui::TrayRegistration& tray) : tray_(tray) {}
    engine::Point CursorPos() override { return cursor; }
    void SetCursorPos(engine::Point p) override { cursor = p; }
    engine::Point ScreenSize() override { return {1024, 768}; }
    void LowerPriority() override {}
    void ProcessMessages() override {}
    bool IntelligentMode() override { return intelligent; }
    void SetTrayIconIndex(int index) override {
        indices.push_back(index);
        tray_.SetIconIndex(index, 3, [](int i) { return kStateIcon[i]; });
    }

    engine::Point cursor{500, 400};
    bool intelligent = true;
    std::vector<int> indices;  // every assignment, in order

private:
    ui::TrayRegistration& tray_;
};

struct Scenario {
    const char* name;
    bool intelligent;
    int refusedAdds;        // by the shell, from the registration on
    uint32_t userMovesAt;   // ms after the start; 0: never
    uint32_t restartAt;     // the shell announces a new notification area; 0: never
    // Expected over five minutes.
    int adds;
    int lookups;
    int imageChanges;       // modifies that changed the image drawn
};

TEST(TrayTimeline, TheShellHearsOnlyChangesAndAlwaysDrawsTheStateOfTheTick) {
    const Scenario scenarios[] = {
        // Red at the first decision, then 3000 decisions that repeat it.
        {"watching, nothing changes", true, 0, 0, 0, 1, 1, 1},
        // Green when the mover starts, red at the user's move, green again.
        {"moving, the user's stop, moving again", false, 0, kMinute, 0, 1, 1, 3},
        // The registration's add and three decisions' are refused; the fifth
        // attempt, at the fourth decision, carries red, so no modify follows.
        {"adds refused at logon", true, 4, 0, 0, 5, 5, 0},
        {"the shell restarts", true, 0, 0, 2 * kMinute, 2, 2, 1},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        fakes::FakeShell shell;
        shell.refuseAdds = s.refusedAdds;
        Host host;
        ui::TrayRegistration tray(shell, host, {88, 488}, 0x5151);
        Platform platform(tray);
        platform.intelligent = s.intelligent;
        fakes::FakeTimeline time(1000);
        toolkit::Component form(nullptr, "SettingsWindow");
        engine::IdleEngine engine(form, time.MakePlatform(), platform);
        engine.StepX = engine.StepY = 10;
        form.LoadedAll();
        tray.SetActive(true);

        int imageChanges = 0;
        const uint32_t end = time.Now() + 5 * kMinute;
        while (time.Now() < end) {
            const size_t callsBefore = shell.calls.size();
            const int lookupsBefore = shell.taskbarLookups;
            const size_t assignedBefore = platform.indices.size();
            const uintptr_t imageBefore = tray.Icon();
            const uintptr_t shownBefore = shell.shown;
            const bool heldBefore = shell.holdsIcon;
            const uint32_t since = time.Now() - 1000;
            // The user drags diagonally for half a second, between the mover's steps.
            if (s.userMovesAt && since >= s.userMovesAt && since < s.userMovesAt + 500) {
                platform.cursor.x -= 30;
                platform.cursor.y -= 20;
            }
            bool restarted = false;
            if (s.restartAt && since == s.restartAt) {
                shell.holdsIcon = false;
                shell.shown = 0;
                shell.taskbar = 0x7001;
                tray.ShellRestarted();
                restarted = true;
            }
            time.NextTick();

            bool changed = false;
            for (size_t i = assignedBefore; i < platform.indices.size(); ++i)
                changed |= kStateIcon[platform.indices[i]] != imageBefore;
            imageChanges += shell.shown != shownBefore && shownBefore != 0 ? 1 : 0;
            if (heldBefore && !changed && !restarted) {
                ASSERT_EQ(shell.calls.size(), callsBefore) << "a repeated state was sent at ms " << since;
                ASSERT_EQ(shell.taskbarLookups, lookupsBefore) << "a lookup at ms " << since;
            }
            if (shell.holdsIcon && !platform.indices.empty()) {
                ASSERT_EQ(shell.shown, kStateIcon[platform.indices.back()]) << "the colour lags at ms " << since;
            }
        }
        int adds = 0;
        for (const fakes::Call& c : shell.calls)
            adds += c.message == M::Add ? 1 : 0;
        EXPECT_GT(platform.indices.size(), 1000u) << "the decisions assigned the index all along";
        EXPECT_EQ(adds, s.adds);
        EXPECT_EQ(shell.taskbarLookups, s.lookups);
        EXPECT_EQ(imageChanges, s.imageChanges);
        EXPECT_TRUE(shell.holdsIcon);
    }
}

}  // namespace
