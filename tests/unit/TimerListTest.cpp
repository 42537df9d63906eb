// The timer list's rules driven through whole timelines of fake time:
// loading order, period, firing, re-arming, nesting and failures.
#include "engine/TimerList.h"

#include "unit/FakeTimerPlatform.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using engine::TimerEvent;
using engine::TimerList;
using fakes::FakeTimeline;

class TimerListTest : public ::testing::Test {
protected:
    static constexpr uint32_t kStart = 100000;

    FakeTimeline time{kStart};
    toolkit::Component form{nullptr, "SettingsWindow"};
    TimerList list{&form, "timers", time.MakePlatform()};
    std::vector<std::unique_ptr<TimerEvent>> events;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    int finished = 0;
    toolkit::ExceptionHandler previousHandler;

    void SetUp() override {
        previousHandler = toolkit::SetExceptionHandler([this](const std::string& m) { errors.push_back(m); });
        list.OnFinish = [this](TimerList*) { ++finished; };
        // The stored layout switches the list on before any event is read.
        list.SetActive(true);
    }
    void TearDown() override { toolkit::SetExceptionHandler(previousHandler); }

    // The loader's order: construct with defaults, join, then the stored properties.
    TimerEvent& Load(const std::string& name, int32_t interval, bool cycled = true, bool enabled = true) {
        events.push_back(std::make_unique<TimerEvent>(&form, name));
        TimerEvent& e = *events.back();
        e.SetParentList(&list);
        e.SetCycled(cycled);
        e.SetEnabled(enabled);
        e.SetInterval(interval);
        e.OnTimer = [this](TimerEvent* sender) { log.push_back(sender->Name()); };
        return e;
    }
    void FinishLoading() { form.LoadedAll(); }

    std::vector<std::string> ListOrder() const {
        std::vector<std::string> names;
        for (const TimerEvent* e : list.Events())
            names.push_back(e->Name());
        return names;
    }
    std::string At(const std::string& name) const {
        return name + "@" + std::to_string(FakeTimeline::Diff(time.Now(), kStart));
    }
};

// ---- Loading ------------------------------------------------------------------

TEST_F(TimerListTest, ProgramEventsEndInTheirJoiningOrderSortedByTheDefaultInterval) {
    struct Stored {
        const char* name;
        int32_t interval;
        bool cycled;
        bool enabled;
    };
    const Stored layout[] = {
        {"programScan", 1000, true, true},      {"firstSample", 10, false, true},  {"secondSample", 100, false, false},
        {"decision", 10, true, true},           {"idleWait", 10000, false, false}, {"cursorMove", 10, true, false},
        {"sampleComparison", 10, false, false},
    };
    for (const Stored& s : layout) {
        TimerEvent& e = Load(s.name, s.interval, s.cycled, s.enabled);
        if (events.size() == 1) {
            // The first event alone: its default interval is the period.
            EXPECT_EQ(list.Period(), 1000);
            ASSERT_TRUE(time.Running());
            EXPECT_EQ(time.Period(), 1000);
        }
        EXPECT_EQ(e.Handle(), static_cast<int32_t>(events.size()));
        EXPECT_EQ(e.ParentList(), &list);
    }
    FinishLoading();

    EXPECT_EQ(ListOrder(), (std::vector<std::string>{"firstSample", "decision", "cursorMove", "secondSample",
                                                     "programScan", "sampleComparison", "idleWait"}));
    EXPECT_EQ(list.Period(), 100);
    EXPECT_EQ(time.Period(), 100);
    EXPECT_TRUE(list.Active());
    EXPECT_EQ(list.EnabledCount(), 3);
}

TEST_F(TimerListTest, DeactivationIsIgnoredWhileLoading) {
    // Active with no events: the re-arm asks to deactivate, and nothing happens.
    EXPECT_TRUE(list.Active());
    EXPECT_TRUE(time.HasWindow());
    EXPECT_FALSE(time.Running());
    list.Deactivate();
    EXPECT_TRUE(list.Active());

    TimerEvent& off = Load("off", 500, true, false);
    off.SetInterval(400);  // recalculates with nothing enabled: deactivation asked again
    EXPECT_TRUE(list.Active());
    EXPECT_EQ(finished, 0);

    FinishLoading();
    list.Deactivate();
    EXPECT_FALSE(list.Active());
    EXPECT_FALSE(time.HasWindow());
    EXPECT_EQ(finished, 1);
}

// ---- Period -------------------------------------------------------------------

struct PeriodEvent {
    int32_t interval;
    bool enabled;
    uint32_t age;  // how long before the calculation the event was switched on
};
struct PeriodCase {
    const char* name;
    std::vector<PeriodEvent> events;
    int32_t period;
};

void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.name; }

class PeriodTest : public TimerListTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(PeriodTest, PeriodFollowsTheEnabledIntervalsAndDividesAllIntervals) {
    FinishLoading();
    std::vector<PeriodEvent> byAge = GetParam().events;
    std::stable_sort(byAge.begin(), byAge.end(), [](auto& a, auto& b) { return a.age > b.age; });
    const uint32_t oldest = byAge.empty() ? 0 : byAge.front().age;
    const uint32_t t0 = time.Now();
    for (const PeriodEvent& e : byAge) {
        time.Elapse(t0 + oldest - e.age - time.Now());
        Load("e" + std::to_string(events.size()), e.interval, true, e.enabled);
    }
    time.Elapse(t0 + oldest - time.Now());
    // An enabled event with interval 0 takes no part in the period and divides
    // any period, so it triggers one last calculation without changing it.
    Load("trigger", 0);

    EXPECT_EQ(list.Period(), GetParam().period);
    EXPECT_EQ(time.Period(), GetParam().period);
}

INSTANTIATE_TEST_SUITE_P(
    TimerList, PeriodTest,
    ::testing::Values(
        PeriodCase{"MixedShortIntervals", {{10, true, 0}, {10, true, 0}, {10, true, 0}, {100, true, 0},
                                          {1000, true, 0}, {10, true, 0}, {10000, true, 0}}, 100},
        PeriodCase{"Single150", {{150, true, 0}}, 150},
        PeriodCase{"Single5000", {{5000, true, 0}}, 5000},
        PeriodCase{"DividesBoth", {{250, true, 0}, {1000, true, 0}}, 250},
        PeriodCase{"ReducedOnceTo100", {{300, true, 0}, {500, true, 0}}, 100},
        PeriodCase{"ReducedTo200", {{400, true, 0}, {600, true, 0}}, 200},
        PeriodCase{"ReducedTwiceTo500", {{2500, true, 0}, {1000, true, 0}}, 500},
        PeriodCase{"ReducedBelow100Lifted", {{700, true, 0}, {1000, true, 0}}, 100},
        PeriodCase{"DisabledEventsTakePartInTheReduction", {{400, true, 0}, {600, false, 0}}, 200},
        PeriodCase{"DisabledEventsSetNoPeriod", {{400, true, 0}, {300, false, 0}}, 100},
        PeriodCase{"RemainingTimeShortensThePeriod", {{1000, true, 700}}, 200},
        PeriodCase{"RemainingTimeReducedRepeatedly", {{5000, true, 1000}}, 1000},
        PeriodCase{"OverdueEventGives100", {{1000, true, 3000}}, 100},
        PeriodCase{"NoPositiveEnabledInterval", {{500, false, 0}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimerListTest, PeriodIsZeroAndTheListStopsWhenNothingIsEnabled) {
    FinishLoading();
    TimerEvent& a = Load("a", 1000, true, false);
    // Switching off alone does not recalculate; the next calculation finds nothing.
    a.SetInterval(500);
    EXPECT_EQ(list.Period(), 0);
    EXPECT_FALSE(list.Active());
    EXPECT_FALSE(time.Running());
    EXPECT_EQ(finished, 1);
}

// ---- Firing -------------------------------------------------------------------

struct FiringCase {
    const char* name;
    uint32_t start;
    int32_t interval;
    uint32_t elapsed;
    bool fires;
};
void PrintTo(const FiringCase& c, std::ostream* os) { *os << c.name; }

class FiringTest : public TimerListTest, public ::testing::WithParamInterface<FiringCase> {};

TEST_P(FiringTest, FiresWhenElapsedTimeReachesIntervalLess50) {
    FinishLoading();
    time.Elapse(GetParam().start - time.Now());
    Load("e", GetParam().interval);
    time.Elapse(GetParam().elapsed);
    time.TickNow();
    EXPECT_EQ(log.size(), GetParam().fires ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    TimerList, FiringTest,
    ::testing::Values(FiringCase{"Interval100At49", 1000, 100, 49, false},
                      FiringCase{"Interval100At50", 1000, 100, 50, true},
                      FiringCase{"Interval1000At949", 1000, 1000, 949, false},
                      FiringCase{"Interval1000At950", 1000, 1000, 950, true},
                      FiringCase{"Interval10AtOnce", 1000, 10, 0, true},
                      FiringCase{"Interval50AtOnce", 1000, 50, 0, true},
                      FiringCase{"Interval51AtOnce", 1000, 51, 0, false},
                      FiringCase{"AcrossTickWrapAt49", 0xFFFFFFF0u, 100, 49, false},
                      FiringCase{"AcrossTickWrapAt50", 0xFFFFFFF0u, 100, 50, true},
                      FiringCase{"AcrossTickWrapAt949", 0xFFFFFE00u, 1000, 949, false},
                      FiringCase{"AcrossTickWrapAt950", 0xFFFFFE00u, 1000, 950, true},
                      FiringCase{"AcrossSignBoundary", 0x7FFFFE00u, 1000, 950, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimerListTest, WalksFromTheLastEventAndCallsOnTimersAfterOnTimer) {
    for (const char* name : {"a", "b", "c"})
        Load(name, 10);
    FinishLoading();
    list.OnTimers = [this](TimerList* sender, int32_t handle) {
        EXPECT_EQ(sender, &list);
        log.push_back("#" + std::to_string(handle));
    };
    time.NextTick();
    EXPECT_EQ(log, (std::vector<std::string>{"c", "#3", "b", "#2", "a", "#1"}));
}

TEST_F(TimerListTest, OneShotEventIsOffWhenItsHandlerRuns) {
    TimerEvent& keep = Load("keep", 100);
    TimerEvent& once = Load("once", 100, false);
    FinishLoading();
    std::vector<std::pair<bool, int32_t>> seen;
    once.OnTimer = [&](TimerEvent* e) { seen.emplace_back(e->Enabled(), e->ExecCount()); };
    time.Advance(1000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].first);
    EXPECT_EQ(seen[0].second, 1);

    // Switched on again from another handler: counts from that moment.
    const uint32_t rearmedAt = time.NextDue();
    keep.OnTimer = [&](TimerEvent*) {
        if (!once.Enabled() && seen.size() == 1)
            once.SetEnabled(true);
    };
    time.NextTick();
    EXPECT_EQ(once.LastExecute(), rearmedAt);
    EXPECT_EQ(seen.size(), 1u);
    time.NextTick();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].second, 1);
    EXPECT_EQ(FakeTimeline::Diff(once.LastExecute(), rearmedAt), 100);
}

TEST_F(TimerListTest, NonCycledEventFiresItsRepeatCountThenStops) {
    const struct {
        int32_t repeat;
        size_t firings;
    } cases[] = {{0, 1}, {1, 1}, {3, 3}};
    Load("keep", 100);
    FinishLoading();
    for (const auto& c : cases) {
        TimerEvent& e = Load("r" + std::to_string(c.repeat), 100, false);
        e.SetRepeatCount(c.repeat);
        log.clear();
        time.Advance(1000);
        EXPECT_EQ(std::count(log.begin(), log.end(), e.Name()), static_cast<std::ptrdiff_t>(c.firings)) << c.repeat;
        EXPECT_FALSE(e.Enabled());
    }
}

struct SamePassCase {
    int32_t interval;
    bool sameTick;
};
void PrintTo(const SamePassCase& c, std::ostream* os) { *os << "interval " << c.interval; }

class SamePassTest : public TimerListTest, public ::testing::WithParamInterface<SamePassCase> {};

TEST_P(SamePassTest, EventSwitchedOnEarlierInThePassFiresLaterInItWhenShort) {
    TimerEvent& late = Load("late", GetParam().interval, true, false);  // first in list, last in the walk
    TimerEvent& trigger = Load("trigger", 100);
    FinishLoading();
    trigger.OnTimer = [&](TimerEvent* e) {
        log.push_back(At(e->Name()));
        late.SetEnabled(true);
    };
    late.OnTimer = [&](TimerEvent* e) { log.push_back(At(e->Name())); };
    time.NextTick();
    time.NextTick();
    const std::vector<std::string> expected =
        GetParam().sameTick ? std::vector<std::string>{"trigger@100", "late@100", "trigger@200", "late@200"}
                            : std::vector<std::string>{"trigger@100", "trigger@200", "late@200"};
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(TimerList, SamePassTest,
                         ::testing::Values(SamePassCase{10, true}, SamePassCase{50, true}, SamePassCase{100, false}));

struct ToggleCase {
    const char* name;
    bool offFirst;
    int32_t firesAt;  // ms after joining
};
void PrintTo(const ToggleCase& c, std::ostream* os) { *os << c.name; }

class ToggleTest : public TimerListTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(ToggleTest, SwitchingOnKeepsOrRestartsTheCountdown) {
    TimerEvent& slow = Load("slow", 1000);
    TimerEvent& beat = Load("beat", 100);
    FinishLoading();
    beat.OnTimer = [&](TimerEvent*) {
        if (FakeTimeline::Diff(time.Now(), kStart) == 500) {
            if (GetParam().offFirst)
                slow.SetEnabled(false);
            slow.SetEnabled(true);
        }
    };
    std::vector<int32_t> fired;
    slow.OnTimer = [&](TimerEvent*) { fired.push_back(FakeTimeline::Diff(time.Now(), kStart)); };
    time.Advance(1550);
    ASSERT_FALSE(fired.empty());
    EXPECT_EQ(fired.front(), GetParam().firesAt);
}

INSTANTIATE_TEST_SUITE_P(TimerList, ToggleTest,
                         ::testing::Values(ToggleCase{"OnWhileOnChangesNothing", false, 1000},
                                           ToggleCase{"OffAndOnRestarts", true, 1500}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimerListTest, SwitchingAnEventOnRestartsTheTimerPhase) {
    Load("beat", 100);
    TimerEvent& extra = Load("extra", 1000, true, false);
    FinishLoading();
    time.Advance(250);
    const size_t startsBefore = time.starts.size();
    const int killsBefore = time.kills;
    extra.SetEnabled(true);
    ASSERT_EQ(time.starts.size(), startsBefore + 1);
    EXPECT_EQ(time.kills, killsBefore) << "a timer started again replaces the running one";
    EXPECT_EQ(time.starts.back().at, kStart + 250);
    EXPECT_EQ(time.starts.back().period, 100);
    time.ticks.clear();
    time.Advance(300);
    EXPECT_EQ(time.ticks, (std::vector<uint32_t>{kStart + 350, kStart + 450, kStart + 550}));

    // An interval change re-arms as well.
    time.Elapse(20);
    extra.SetInterval(2000);
    EXPECT_EQ(time.starts.back().at, kStart + 570);
}

// Within a pass the re-arms are folded: the platform hears of the last one
// only, once, and only when it moves the timer's phase; the ticks are those
// a re-arm at every switch-on gives.
struct FoldCase {
    const char* name;
    uint32_t beforeFirst, beforeSecond;  // ms the handler spends before each switch-on
    size_t starts;                       // platform starts the pass makes
    int32_t nextTick;                    // ms after the pass's tick
};
void PrintTo(const FoldCase& c, std::ostream* os) { *os << c.name; }
class FoldTest : public TimerListTest, public ::testing::WithParamInterface<FoldCase> {};

TEST_P(FoldTest, ReArmsOfOnePassAreOneStartAtMostWithTheLastOnesPhase) {
    const FoldCase& c = GetParam();
    TimerEvent& beat = Load("beat", 100);
    TimerEvent& a = Load("a", 100, true, false);
    TimerEvent& b = Load("b", 1000, true, false);
    FinishLoading();
    time.NextTick();
    const uint32_t tick = time.Now() + 100;
    size_t startsInHandler = 0;
    beat.OnTimer = [&](TimerEvent*) {
        const size_t before = time.starts.size();
        time.Elapse(c.beforeFirst);
        a.SetEnabled(true);
        time.Elapse(c.beforeSecond);
        b.SetEnabled(true);
        startsInHandler = time.starts.size() - before;
    };
    const size_t startsBefore = time.starts.size();
    const int killsBefore = time.kills;
    time.NextTick();
    ASSERT_EQ(time.ticks.back(), tick);
    EXPECT_EQ(startsInHandler, 0u) << "nothing is re-armed while the pass runs";
    EXPECT_EQ(time.starts.size() - startsBefore, c.starts);
    EXPECT_EQ(time.kills, killsBefore);
    beat.OnTimer = nullptr;
    time.NextTick();
    EXPECT_EQ(FakeTimeline::Diff(time.ticks.back(), tick), c.nextTick);
    EXPECT_TRUE(a.Enabled());
}
INSTANTIATE_TEST_SUITE_P(TimerList, FoldTest,
                         ::testing::Values(FoldCase{"InPhaseStartsNothing", 0, 0, 0, 100},
                                           FoldCase{"LastSwitchOnSetsThePhase", 7, 5, 1, 112},
                                           FoldCase{"FirstLateSecondInPhaseStillOneStart", 30, 0, 1, 130}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimerListTest, APumpBeforeTheNextTickIsDueLeavesTheReArmToTheEndOfThePass) {
    TimerEvent& beat = Load("beat", 100);
    TimerEvent& slow = Load("slow", 1000, true, false);
    FinishLoading();
    time.NextTick();
    const uint32_t tick = time.Now() + 100;
    size_t startsAtPump = 0;
    const size_t startsBefore = time.starts.size();
    beat.OnTimer = [&](TimerEvent*) {
        if (FakeTimeline::Diff(time.Now(), tick) != 0)
            return;
        time.Elapse(5);
        slow.SetEnabled(true);
        list.BeforePump();
        startsAtPump = time.starts.size() - startsBefore;
        time.PumpPending();
        time.Elapse(5);
    };
    time.Advance(250);
    EXPECT_EQ(startsAtPump, 0u);
    ASSERT_EQ(time.starts.size(), startsBefore + 1) << "one start, when the pass ended";
    EXPECT_EQ(FakeTimeline::Diff(time.starts.back().at, tick), 10);
    EXPECT_EQ(time.ticks.back() - tick, 110u) << "one period after the pass's end";
    EXPECT_EQ(time.maxDepth, 1);
}

TEST_F(TimerListTest, APumpInsideAPassFirstMakesTheReArmSoNoTickComesEarly) {
    TimerEvent& beat = Load("beat", 100);
    TimerEvent& slow = Load("slow", 1000, true, false);
    FinishLoading();
    time.NextTick();
    const uint32_t tick = time.Now() + 100;
    beat.OnTimer = [&](TimerEvent* e) {
        log.push_back(At(e->Name()));
        if (FakeTimeline::Diff(time.Now(), tick) != 0)
            return;
        time.Elapse(120);  // the old phase has a tick due by now
        slow.SetEnabled(true);
        list.BeforePump();
        time.PumpPending();  // the re-arm 120 ms into the pass holds it back
    };
    log.clear();
    time.Advance(450);
    const int32_t t = FakeTimeline::Diff(tick, kStart);
    EXPECT_EQ(log, (std::vector<std::string>{"beat@" + std::to_string(t), "beat@" + std::to_string(t + 220),
                                             "beat@" + std::to_string(t + 320)}));
    EXPECT_EQ(time.maxDepth, 1);
}

TEST_F(TimerListTest, LastEnabledEventSwitchingItselfOffDeactivatesTheList) {
    Load("once", 100, false);
    FinishLoading();
    time.Advance(1000);
    EXPECT_EQ(log, std::vector<std::string>{"once"});
    EXPECT_FALSE(list.Active());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(time.HasWindow());
    EXPECT_FALSE(time.Running());
}

TEST_F(TimerListTest, OneShotReenablingItselfKeepsTheListRunning) {
    TimerEvent& once = Load("once", 100, false);
    FinishLoading();
    once.OnTimer = [&](TimerEvent* e) {
        log.push_back(e->Name());
        e->SetEnabled(true);
    };
    time.Advance(1000);
    EXPECT_EQ(log.size(), 10u);
    EXPECT_TRUE(list.Active());
    EXPECT_EQ(finished, 0);
}

// ---- Nesting and failures --------------------------------------------------------

TEST_F(TimerListTest, NestedPassRunsWithItsOwnTimeAndTheOuterPassSkipsWhatItFired) {
    TimerEvent& q = Load("q", 100);
    TimerEvent& r = Load("r", 10);
    TimerEvent& p = Load("p", 10);
    FinishLoading();
    ASSERT_EQ(ListOrder(), (std::vector<std::string>{"r", "q", "p"}));
    bool pump = false;
    p.OnTimer = [&](TimerEvent* e) {
        log.push_back(At(e->Name()));
        if (std::exchange(pump, false)) {
            time.Elapse(150);  // busy long enough for the next tick to fall due
            time.PumpPending();
        }
    };
    q.OnTimer = r.OnTimer = [&](TimerEvent* e) { log.push_back(At(e->Name())); };
    time.NextTick();
    log.clear();
    pump = true;
    time.NextTick();  // outer pass at 200: p pumps; nested pass at 350
    EXPECT_EQ(log, (std::vector<std::string>{"p@200", "p@350", "q@350", "r@350"}));
    EXPECT_EQ(time.maxDepth, 2);
    EXPECT_EQ(q.LastExecute(), kStart + 350);

    log.clear();
    time.NextTick();
    EXPECT_EQ(log, (std::vector<std::string>{"p@400", "q@400", "r@400"}));
}

TEST_F(TimerListTest, RaisingHandlerIsReportedAndSkipsTheRestOfThePass) {
    Load("a", 10);
    TimerEvent& b = Load("b", 10);
    Load("c", 10);
    FinishLoading();
    bool raise = true;
    b.OnTimer = [&](TimerEvent* e) {
        log.push_back(e->Name());
        if (std::exchange(raise, false))
            throw toolkit::Exception("Hibás érték: \"x\"");
    };
    time.NextTick();
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b"}));
    EXPECT_EQ(errors, std::vector<std::string>{"Hibás érték: \"x\""});
    EXPECT_TRUE(time.Running());
    EXPECT_TRUE(list.Active());

    log.clear();
    time.NextTick();
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(TimerListTest, RefusedTimerDeactivatesTheListAndRaises) {
    TimerEvent& off = Load("off", 100, true, false);
    Load("beat", 100);
    FinishLoading();
    time.Advance(30);  // out of the running timer's phase, so it must be restarted
    time.RefuseTimers(true);
    try {
        off.SetEnabled(true);
        FAIL() << "no exception";
    } catch (const toolkit::OutOfResourcesError& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
    EXPECT_FALSE(list.Active());
    EXPECT_FALSE(time.HasWindow());
    EXPECT_EQ(finished, 1);
}

TEST_F(TimerListTest, RefusedTimerInsideATickIsReportedAndTicksStop) {
    TimerEvent& off = Load("off", 100, true, false);
    TimerEvent& beat = Load("beat", 100);
    FinishLoading();
    beat.OnTimer = [&](TimerEvent* e) {
        log.push_back(e->Name());
        time.RefuseTimers(true);
        time.Elapse(30);
        off.SetEnabled(true);
    };
    time.Advance(1000);
    EXPECT_EQ(log, std::vector<std::string>{"beat"});
    EXPECT_EQ(errors, std::vector<std::string>{"Not enough timers available"});
    EXPECT_FALSE(list.Active());
    EXPECT_FALSE(time.Running());
}

// ---- Setters and lifetime ---------------------------------------------------------

TEST_F(TimerListTest, RepeatCountIsAtLeastOneForOneShotsAndStopsAnEventThatReachedIt) {
    const struct {
        const char* name;
        bool cycled;
        int firings;
        int32_t set;
        int32_t stored;
        bool enabled;
    } cases[] = {
        {"OneShotNegative", false, 0, -5, 1, true},
        {"OneShotThree", false, 0, 3, 3, true},
        {"OneShotUnchangedZero", false, 0, 0, 0, true},
        {"CycledReached", true, 2, 2, 2, false},
        {"CycledNotReached", true, 2, 3, 3, true},
        {"CycledNegativeBecomesZeroAndReached", true, 0, -1, 0, false},
    };
    Load("keep", 100);
    FinishLoading();
    for (const auto& c : cases) {
        TimerEvent& e = Load(c.name, 100, true);
        for (int i = 0; i < c.firings; ++i)
            time.NextTick();
        e.SetCycled(c.cycled);
        e.SetRepeatCount(c.set);
        EXPECT_EQ(e.RepeatCount(), c.stored) << c.name;
        EXPECT_EQ(e.Enabled(), c.enabled) << c.name;
    }
}

TEST_F(TimerListTest, ActivationStampsEnabledEventsAndSortsByCurrentIntervals) {
    TimerEvent& a = Load("a", 1000);
    TimerEvent& b = Load("b", 500, true, false);
    TimerEvent& c = Load("c", 100);
    FinishLoading();
    // b joined with its interval already set, c with the default 1000.
    EXPECT_EQ(ListOrder(), (std::vector<std::string>{"b", "a", "c"}));
    list.SetActive(false);
    const uint32_t bStamp = b.LastExecute();
    time.Elapse(5000);
    list.SetActive(true);
    EXPECT_EQ(ListOrder(), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(a.LastExecute(), kStart + 5000);
    EXPECT_EQ(c.LastExecute(), kStart + 5000);
    EXPECT_EQ(b.LastExecute(), bStamp);
    EXPECT_TRUE(time.Running());
    EXPECT_EQ(time.starts.back().at, kStart + 5000);
}

TEST_F(TimerListTest, ParentChangeMovesTheEventAndDestroyedListsReleaseTheirEvents) {
    FinishLoading();
    TimerEvent& a = Load("a", 100);
    FakeTimeline otherTime{kStart};
    auto other = std::make_unique<TimerList>(&form, "TimerList2", otherTime.MakePlatform());
    other->SetActive(true);
    a.SetParentList(other.get());
    EXPECT_TRUE(list.Events().empty());
    ASSERT_EQ(other->Events().size(), 1u);
    EXPECT_EQ(a.Handle(), 1);
    other.reset();
    EXPECT_EQ(a.ParentList(), nullptr);
    a.SetEnabled(false);
    a.SetEnabled(true);  // no list left to re-arm
    a.SetInterval(300);
    EXPECT_TRUE(a.Enabled());
}

}  // namespace
