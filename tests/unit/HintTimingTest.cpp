// When control hints show and hide, on a fake clock: the rest before a hint,
// the short pause when moving on, the hide pause, leaving, clicks and keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/hint/HintTiming.h"

namespace {
using toolkit::HintTiming;

// A one-shot timer on test time, and a log of what was shown and hidden when.
class FakeHintPort : public toolkit::HintTimingPort {
public:
    int now = 0;
    int due = -1;
    std::vector<std::string> log;
    bool refuse = false;  // the pointer left before the timer fired

    void StartHintTimer(int ms) override { due = now + ms; }
    void StopHintTimer() override { due = -1; }
    bool ShowHint(const void* control) override {
        if (refuse)
            return false;
        log.push_back(std::to_string(now) + " show " + static_cast<const char*>(control));
        return true;
    }
    void HideHint() override { log.push_back(std::to_string(now) + " hide"); }

    void Advance(HintTiming& timing, int ms) {
        const int target = now + ms;
        while (due >= 0 && due <= target) {
            now = due;
            due = -1;
            timing.TimerFired();
        }
        now = target;
    }
};

const char* const A = "A";
const char* const B = "B";

// Script: "A" / "B" / "-" pointer over A, B or nothing; "c" click or key;
// "+N" N ms pass.
struct Case {
    const char* what;
    std::vector<std::string> script;
    std::vector<std::string> log;
};

TEST(HintTiming, ShowsAfterRestingAndHidesByTheRules) {
    const Case cases[] = {
        {"rest shows after the pause, hides after the hide pause", {"A", "+3100"}, {"500 show A", "3000 hide"}},
        {"moving within the control does not restart", {"A", "+300", "A", "+250"}, {"500 show A"}},
        {"leaving before the pause shows nothing", {"A", "+400", "-", "+1000"}, {}},
        {"leaving hides", {"A", "+800", "-", "+3000"}, {"500 show A", "800 hide"}},
        {"moving on from a shown hint waits the short pause", {"A", "+600", "B", "+100"},
         {"500 show A", "600 hide", "650 show B"}},
        {"moving on across a gap still waits the short pause", {"A", "+600", "-", "+100", "B", "+100"},
         {"500 show A", "600 hide", "750 show B"}},
        {"after a long gap the full pause again", {"A", "+600", "-", "+600", "B", "+400", "+200"},
         {"500 show A", "600 hide", "1700 show B"}},
        {"moving on before any hint showed waits the full pause", {"A", "+300", "B", "+400", "+200"},
         {"800 show B"}},
        {"a click hides and the control stays quiet", {"A", "+600", "c", "+5000"}, {"500 show A", "600 hide"}},
        {"a click before the pause cancels the hint", {"A", "+300", "c", "+5000"}, {}},
        {"after a click, leaving and coming back shows it again", {"A", "+600", "c", "-", "A", "+500"},
         {"500 show A", "600 hide", "1100 show A"}},
        {"after hiding by time, resting on shows nothing more", {"A", "+2900", "+5000"},
         {"500 show A", "3000 hide"}},
        {"after hiding by time the next control waits the full pause", {"A", "+3000", "B", "+400", "+100"},
         {"500 show A", "3000 hide", "3500 show B"}},
    };
    for (const Case& c : cases) {
        FakeHintPort port;
        HintTiming timing(port);
        timing.Pauses = {500, 50, 2500};
        for (const std::string& step : c.script) {
            if (step == "A")
                timing.PointerOver(A);
            else if (step == "B")
                timing.PointerOver(B);
            else if (step == "-")
                timing.PointerOver(nullptr);
            else if (step == "c")
                timing.Dismiss();
            else
                port.Advance(timing, std::stoi(step.substr(1)));
        }
        EXPECT_EQ(port.log, c.log) << c.what;
    }
}

TEST(HintTiming, ARefusedShowWaitsForTheNextControlAndNoTimerRunsWhenIdle) {
    FakeHintPort port;
    HintTiming timing(port);
    port.refuse = true;
    timing.PointerOver(A);
    port.Advance(timing, 600);
    EXPECT_FALSE(timing.Shown());
    EXPECT_EQ(port.due, -1) << "a refused hint leaves no timer running";
    port.refuse = false;
    port.Advance(timing, 1000);
    EXPECT_TRUE(port.log.empty()) << "no second try while still on the control";
    timing.PointerOver(B);
    port.Advance(timing, 500);
    EXPECT_EQ(port.log, std::vector<std::string>{"2100 show B"});
    timing.PointerOver(nullptr);
    port.Advance(timing, 1000);
    EXPECT_EQ(port.due, -1) << "cooling ends with the pause";
}

TEST(HintTiming, AControlThatGoesIsForgotten) {
    FakeHintPort port;
    HintTiming timing(port);
    timing.Pauses = {500, 50, 2500};
    timing.PointerOver(A);
    port.Advance(timing, 600);
    timing.Forget(B);
    EXPECT_TRUE(timing.Shown()) << "another control's going changes nothing";
    timing.Forget(A);
    EXPECT_FALSE(timing.Shown());
    EXPECT_EQ(port.due, -1);
    // A new control at the same address is a new control.
    timing.PointerOver(A);
    port.Advance(timing, 500);
    EXPECT_EQ(port.log, (std::vector<std::string>{"500 show A", "600 hide", "1100 show A"}));
}

TEST(HintTiming, ShortHintIsTheTextBeforeTheBar) {
    EXPECT_EQ(toolkit::ShortHint("Automatikus indítás"), "Automatikus indítás");
    EXPECT_EQ(toolkit::ShortHint("short|long text"), "short");
    EXPECT_EQ(toolkit::ShortHint("|only long"), "");
    EXPECT_EQ(toolkit::ShortHint("a|b|c"), "a");
    EXPECT_EQ(toolkit::ShortHint(""), "");
}

}  // namespace
