// The idle engine on the real timer list, driven through fake time with a
// fake cursor on a 1024 x 768 screen: sampling rhythm, decisions, the wait
// and the mover, as the user would see them.
#include "engine/IdleEngine.h"

#include "toolkit/ErrorReport.h"
#include "unit/FakeTimerPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace engine {
void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const TimerEvent* e, std::ostream* os) { *os << (e ? e->Name() : "?"); }
}  // namespace engine

namespace {

using engine::IdleEngine;
using engine::Point;
using engine::TimerEvent;
using engine::TimerList;
using fakes::FakeTimeline;

class FakeIdle : public engine::IdlePlatform {
public:
    explicit FakeIdle(FakeTimeline& t) : time(t) {}

    FakeTimeline& time;
    Point cursor{500, 400};
    Point screen{1024, 768};
    bool intelligent = false;
    uint32_t pumpCost = 0;           // ms a pump takes before it dispatches
    bool pumpDelivers = true;        // whether a due tick runs nested inside a pump
    std::function<void()> onPump;    // what else runs inside a pump
    std::vector<Point> moves;        // positions the engine set, before clipping
    std::vector<std::pair<uint32_t, int>> icons;
    std::vector<std::string> calls;

    Point CursorPos() override {
        calls.push_back("CursorPos");
        return cursor;
    }
    void SetCursorPos(Point p) override {
        calls.push_back("SetCursorPos");
        moves.push_back(p);
        cursor = {std::clamp(p.x, 0, screen.x - 1), std::clamp(p.y, 0, screen.y - 1)};
    }
    Point ScreenSize() override {
        calls.push_back("ScreenSize");
        return screen;
    }
    // Not listed in `calls`: the order checks predate per-monitor scales.
    std::function<int(Point)> dpiAt;
    int DpiAt(Point p) override { return dpiAt ? dpiAt(p) : 96; }
    void LowerPriority() override { calls.push_back("LowerPriority"); }
    void ProcessMessages() override {
        calls.push_back("ProcessMessages");
        time.Elapse(pumpCost);
        if (onPump)
            onPump();
        if (pumpDelivers)
            time.PumpPending();
    }
    bool IntelligentMode() override {
        calls.push_back("IntelligentMode");
        return intelligent;
    }
    void SetTrayIconIndex(int index) override {
        calls.push_back("SetTrayIconIndex");
        icons.emplace_back(time.Now(), index);
    }
};

class IdleEngineTest : public ::testing::Test {
protected:
    static constexpr uint32_t kStart = 7000000;

    FakeTimeline time{kStart};
    FakeIdle idle{time};
    toolkit::Component form{nullptr, "SettingsWindow"};
    IdleEngine engine{form, time.MakePlatform(), idle};
    bool listedRunning = false;  // what the running-program scan finds
    // Events are told apart by identity, never by name: a renamed event
    // must not make a check pass by no longer matching anything.
    using Events = std::vector<const TimerEvent*>;
    struct Firing {
        uint32_t tick;
        const TimerEvent* event;
    };
    std::vector<Firing> firings;
    std::vector<std::string> errors;
    toolkit::ExceptionHandler previousHandler;

    void SetUp() override {
        previousHandler = toolkit::SetExceptionHandler([this](const std::string& m) { errors.push_back(m); });
        engine.programScan.OnTimer = [this](TimerEvent*) { engine.WatchedRunning = listedRunning; };
        engine.timers.OnTimers = [this](TimerList*, int32_t handle) {
            firings.push_back({time.ticks.back(), EventOf(handle)});
        };
        engine.StepX = engine.StepY = 10;  // as the window's create handler does
        form.LoadedAll();
    }
    void TearDown() override {
        toolkit::SetExceptionHandler(previousHandler);
        EXPECT_TRUE(errors.empty());
    }

    const TimerEvent* EventOf(int32_t handle) const {
        for (const TimerEvent* e : engine.timers.Events())
            if (e->Handle() == handle)
                return e;
        return nullptr;
    }
    Events FiredIn(uint32_t tick) const {
        Events fired;
        for (const Firing& f : firings)
            if (f.tick == tick)
                fired.push_back(f.event);
        return fired;
    }
    bool Fired(const TimerEvent& event, uint32_t tick) const {
        const Events fired = FiredIn(tick);
        return std::find(fired.begin(), fired.end(), &event) != fired.end();
    }
    int32_t Since(uint32_t tick) const { return FakeTimeline::Diff(tick, kStart); }
    bool Moving() const { return engine.cursorMove.Enabled(); }

    // Runs until the mover has made its first move; the cursor stays untouched.
    void IdleUntilMoving() {
        for (int i = 0; i < 400 && idle.moves.empty(); ++i)
            time.NextTick();
        ASSERT_FALSE(idle.moves.empty());
    }
    // The user drags the mouse by (dx, dy) every 10 ms for the given time.
    void Drag(int32_t dx, int32_t dy, uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 10) {
            idle.cursor.x += dx;
            idle.cursor.y += dy;
            time.Advance(10);
        }
    }
    int LastIcon() const { return idle.icons.empty() ? -1 : idle.icons.back().second; }
};

// ---- Start and rhythm ------------------------------------------------------------

TEST_F(IdleEngineTest, StartsWithSamplerDecisionAndScanOnAndA100msTick) {
    Events on;
    for (const TimerEvent* e : engine.timers.Events())
        if (e->Enabled())
            on.push_back(e);
    EXPECT_EQ(on, (Events{&engine.firstSample, &engine.decision, &engine.programScan}));
    EXPECT_EQ(engine.timers.Period(), 100);
    EXPECT_EQ(time.Period(), 100);
    EXPECT_FALSE(engine.UserMoved);
    EXPECT_FALSE(engine.WatchedRunning);
    EXPECT_EQ(engine.programScan.Interval(), 1000);
    EXPECT_TRUE(engine.programScan.Cycled());
}

TEST_F(IdleEngineTest, FiresInListWalkOrderWithSamplesTwoTicksApart) {
    time.Advance(1100);
    // Tick 1 has no pair to compare yet; then A ticks and B ticks alternate.
    EXPECT_EQ(FiredIn(kStart + 100), (Events{&engine.decision, &engine.firstSample}));
    EXPECT_EQ(FiredIn(kStart + 200), (Events{&engine.secondSample, &engine.decision}));
    EXPECT_EQ(FiredIn(kStart + 300), (Events{&engine.sampleComparison, &engine.decision, &engine.firstSample}));
    EXPECT_EQ(FiredIn(kStart + 400), (Events{&engine.secondSample, &engine.decision}));
    EXPECT_EQ(FiredIn(kStart + 1000), (Events{&engine.programScan, &engine.secondSample, &engine.decision}));
    EXPECT_EQ(FiredIn(kStart + 1100), (Events{&engine.sampleComparison, &engine.decision, &engine.firstSample}));

    IdleUntilMoving();
    EXPECT_EQ(FiredIn(time.ticks.back()).front(), &engine.idleWait);
    time.NextTick();
    time.NextTick();
    // While moving: B is sampled before the move of its tick, A after the move of its tick.
    const Events bTick{&engine.secondSample, &engine.cursorMove, &engine.decision};
    const Events aTick{&engine.sampleComparison, &engine.cursorMove, &engine.decision, &engine.firstSample};
    const auto first = FiredIn(time.ticks[time.ticks.size() - 2]), second = FiredIn(time.ticks.back());
    EXPECT_TRUE((first == bTick && second == aTick) || (first == aTick && second == bTick))
        << ::testing::PrintToString(first) << " then " << ::testing::PrintToString(second);
}

TEST_F(IdleEngineTest, ProgramsOwnMovesAreNeverSeenAsUserMovement) {
    idle.cursor = {5, 5};
    IdleUntilMoving();
    const size_t iconsBefore = idle.icons.size();
    for (int i = 0; i < 600; ++i) {  // a minute, with a bounce off the bottom edge on the way
        time.NextTick();
        ASSERT_FALSE(engine.UserMoved) << "tick " << i;
        ASSERT_TRUE(Moving()) << "tick " << i;
    }
    EXPECT_GT(idle.moves.size(), 600u);
    for (size_t i = iconsBefore; i < idle.icons.size(); ++i)
        ASSERT_EQ(idle.icons[i].second, 2);
}

TEST_F(IdleEngineTest, HandlersLowerPriorityFirstAndSampleBeforeTheyPump) {
    using Handler = void (IdleEngine::*)(TimerEvent*);
    const struct {
        const char* name;
        Handler handler;
        std::vector<std::string> calls;
    } cases[] = {
        {"TakeFirstSample", &IdleEngine::TakeFirstSample, {"LowerPriority", "CursorPos", "ProcessMessages"}},
        {"TakeSecondSample", &IdleEngine::TakeSecondSample, {"LowerPriority", "CursorPos", "ProcessMessages"}},
        {"CompareSamples", &IdleEngine::CompareSamples, {"LowerPriority"}},
        {"Decide", &IdleEngine::Decide, {"LowerPriority", "ProcessMessages", "IntelligentMode"}},
        {"EndIdleWait", &IdleEngine::EndIdleWait, {"LowerPriority", "CursorPos", "ProcessMessages"}},
        {"MoveCursor", &IdleEngine::MoveCursor,
         {"LowerPriority", "SetTrayIconIndex", "ScreenSize", "SetCursorPos"}},
    };
    for (const auto& c : cases) {
        idle.calls.clear();
        (engine.*c.handler)(nullptr);
        EXPECT_EQ(idle.calls, c.calls) << c.name;
    }
}

// The engine's platform calls per pass: the priority is lowered once per pass,
// however many handlers fire in it, and the timer is started again once, at
// the end of the pass, and only when the handlers took time.
// Every pass ends with a re-arm here (a one-shot fires in each), so every tick
// still comes one period after the end of the pass before it.
TEST_F(IdleEngineTest, APassLowersPriorityOnceAndRestartsTheTimerOnlyWhenItsPhaseMoved) {
    for (const uint32_t pumpCost : {0u, 3u}) {
        for (const bool intelligent : {false, true}) {
            SCOPED_TRACE(std::string(intelligent ? "intelligent" : "normal") + ", pumps of " +
                         std::to_string(pumpCost) + " ms");
            idle.pumpCost = pumpCost;
            idle.intelligent = intelligent;
            time.NextTick();
            idle.calls.clear();
            const size_t ticksBefore = time.ticks.size(), startsBefore = time.starts.size();
            const int killsBefore = time.kills;
            std::vector<uint32_t> passEnds;
            for (int i = 0; i < 20; ++i) {
                time.NextTick();
                passEnds.push_back(time.Now());
            }
            const size_t passes = time.ticks.size() - ticksBefore;
            ASSERT_EQ(passes, 20u);
            EXPECT_EQ(std::count(idle.calls.begin(), idle.calls.end(), "LowerPriority"),
                      static_cast<long>(passes));
            EXPECT_EQ(time.starts.size() - startsBefore, pumpCost == 0 ? 0 : passes)
                << "a start at the end of each pass, only when the pass took time";
            EXPECT_EQ(time.kills, killsBefore);
            for (size_t i = 1; i < passEnds.size(); ++i)
                EXPECT_EQ(FakeTimeline::Diff(time.ticks[ticksBefore + i], passEnds[i - 1]), 100) << "tick " << i;
        }
    }
}

// ---- The decision -------------------------------------------------------------------

struct DecisionCase {
    const char* name;
    bool intelligent, moved, watched;
    bool waitBefore;
    bool waitAfter, waitRestarted, moverAfter;
    std::vector<int> icons;
};
void PrintTo(const DecisionCase& c, std::ostream* os) { *os << c.name; }

class DecisionTest : public IdleEngineTest, public ::testing::WithParamInterface<DecisionCase> {};

TEST_P(DecisionTest, DecidesFromModeMovementAndListedPrograms) {
    const DecisionCase& c = GetParam();
    engine.idleWait.SetEnabled(c.waitBefore);
    engine.cursorMove.SetEnabled(true);
    // Handler called on its own: the time that passed delivers no tick.
    idle.pumpDelivers = false;
    time.Elapse(3000);
    const uint32_t waitStamp = engine.idleWait.LastExecute();
    idle.intelligent = c.intelligent;
    engine.UserMoved = c.moved;
    engine.WatchedRunning = c.watched;
    idle.icons.clear();

    engine.Decide(&engine.decision);

    EXPECT_EQ(engine.idleWait.Enabled(), c.waitAfter);
    if (c.waitAfter) {
        EXPECT_EQ(engine.idleWait.LastExecute(), c.waitRestarted ? time.Now() : waitStamp);
    }
    EXPECT_EQ(Moving(), c.moverAfter);
    std::vector<int> icons;
    for (const auto& i : idle.icons)
        icons.push_back(i.second);
    EXPECT_EQ(icons, c.icons);
}

INSTANTIATE_TEST_SUITE_P(
    IdleEngine, DecisionTest,
    ::testing::Values(
        //            name                          intel  moved  watch  waitB  waitA  restart mover icons
        DecisionCase{"IntelligentMovedListed", true, true, true, true, false, false, false, {1}},
        DecisionCase{"IntelligentMovedNotListed", true, true, false, true, false, false, false, {0}},
        DecisionCase{"IntelligentIdleListedWaitContinues", true, false, true, true, true, false, true, {}},
        DecisionCase{"IntelligentIdleListedWaitStarts", true, false, true, false, true, true, true, {}},
        DecisionCase{"IntelligentIdleNotListedRestartsWait", true, false, false, true, true, true, false, {0}},
        DecisionCase{"NormalMovedListed", false, true, true, true, false, false, false, {0}},
        DecisionCase{"NormalMovedNotListed", false, true, false, true, false, false, false, {0}},
        DecisionCase{"NormalIdleWaitContinues", false, false, false, true, true, false, true, {}},
        DecisionCase{"NormalIdleListedWaitContinues", false, false, true, true, true, false, true, {}},
        DecisionCase{"NormalIdleWaitStarts", false, false, false, false, true, true, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdleEngineTest, DecisionReadsTheFlagsAsTheyStandAfterItsPump) {
    idle.intelligent = true;
    engine.cursorMove.SetEnabled(true);
    // A scan running nested inside the pump finds a listed program.
    idle.onPump = [this] { engine.WatchedRunning = true; };
    engine.Decide(&engine.decision);
    EXPECT_TRUE(Moving());
    EXPECT_TRUE(engine.idleWait.Enabled());
    EXPECT_TRUE(idle.icons.empty());
}

TEST_F(IdleEngineTest, IntelligentModeWithoutListedProgramNeverMoves) {
    idle.intelligent = true;
    time.Advance(60000);
    EXPECT_TRUE(idle.moves.empty());
    for (const Firing& f : firings)
        ASSERT_NE(f.event, &engine.idleWait);
    ASSERT_FALSE(idle.icons.empty());
    for (const auto& i : idle.icons)
        ASSERT_EQ(i.second, 0);
    // The wait is on, but restarted at every decision.
    EXPECT_TRUE(engine.idleWait.Enabled());
    EXPECT_GE(FakeTimeline::Diff(engine.idleWait.LastExecute(), time.ticks.back()), 0);
}

// ---- The wait and the mover -------------------------------------------------------------

TEST_F(IdleEngineTest, WaitFiresInTheFirstTickAfter9950msAndTheFirstMoveFollowsInThatTick) {
    idle.pumpCost = 7;  // busy pumps push the ticks off the 100 ms grid
    const Point start = idle.cursor;
    uint32_t previousTick = 0, stamp = 0;
    bool wasOn = false;
    for (int i = 0; i < 200; ++i) {
        wasOn = engine.idleWait.Enabled();
        stamp = engine.idleWait.LastExecute();
        time.NextTick();
        if (Fired(engine.idleWait, time.ticks.back()))
            break;
        previousTick = time.ticks.back();
        ASSERT_TRUE(idle.moves.empty());
    }
    const uint32_t tick = time.ticks.back();
    ASSERT_TRUE(Fired(engine.idleWait, tick));
    ASSERT_TRUE(wasOn);
    EXPECT_GE(FakeTimeline::Diff(tick, stamp), 9950);
    EXPECT_LT(FakeTimeline::Diff(previousTick, stamp), 9950);
    EXPECT_NE(FakeTimeline::Diff(tick, stamp) % 100, 0) << "ticks should be off the grid";
    EXPECT_TRUE(Fired(engine.cursorMove, tick));
    ASSERT_EQ(idle.moves.size(), 1u);
    EXPECT_EQ(idle.moves[0], (Point{start.x + 10, start.y + 10}));
    EXPECT_EQ(LastIcon(), 2);
    EXPECT_EQ(time.maxDepth, 1);
}

TEST_F(IdleEngineTest, MoverStartsFromTheCursorAndStepsDiagonally) {
    idle.cursor = {5, 5};
    IdleUntilMoving();
    for (int i = 0; i < 3; ++i)
        time.NextTick();
    EXPECT_EQ(std::vector<Point>(idle.moves.begin(), idle.moves.begin() + 4),
              (std::vector<Point>{{15, 15}, {25, 25}, {35, 35}, {45, 45}}));
}

TEST_F(IdleEngineTest, NewStepAppliesFromTheNextMove) {
    idle.cursor = {995, 100};
    IdleUntilMoving();
    for (int i = 0; i < 4; ++i)
        time.NextTick();
    std::vector<int32_t> xs;
    for (const Point& p : idle.moves)
        xs.push_back(p.x);
    EXPECT_EQ(xs, (std::vector<int32_t>{1005, 1015, 1025, 1015, 1005}));
    EXPECT_EQ(idle.cursor.x, 1005);
}

struct BounceCase {
    const char* name;
    Point from, step, to, stepAfter;
};
void PrintTo(const BounceCase& c, std::ostream* os) { *os << c.name; }

class BounceTest : public IdleEngineTest, public ::testing::WithParamInterface<BounceCase> {};

TEST_P(BounceTest, StepTurnsWhenAMoveReachesAnEdge) {
    const BounceCase& c = GetParam();
    engine.MovePos = c.from;
    engine.StepX = c.step.x;
    engine.StepY = c.step.y;
    engine.MoveCursor(&engine.cursorMove);
    ASSERT_EQ(idle.moves.size(), 1u);
    EXPECT_EQ(idle.moves[0], c.to);
    EXPECT_EQ(engine.MovePos, c.to);
    EXPECT_EQ((Point{engine.StepX, engine.StepY}), c.stepAfter);
    EXPECT_EQ(LastIcon(), 2);
}

INSTANTIATE_TEST_SUITE_P(IdleEngine, BounceTest,
                         ::testing::Values(BounceCase{"Inside", {500, 300}, {10, 10}, {510, 310}, {10, 10}},
                                           BounceCase{"BeforeRight", {1013, 300}, {10, 10}, {1023, 310}, {10, 10}},
                                           BounceCase{"AtRight", {1014, 300}, {10, 10}, {1024, 310}, {-10, 10}},
                                           BounceCase{"PastRight", {1015, 300}, {10, 10}, {1025, 310}, {-10, 10}},
                                           BounceCase{"BeforeLeft", {11, 300}, {-10, 10}, {1, 310}, {-10, 10}},
                                           BounceCase{"AtLeft", {10, 300}, {-10, 10}, {0, 310}, {10, 10}},
                                           BounceCase{"PastLeft", {5, 300}, {-10, -10}, {-5, 290}, {10, -10}},
                                           BounceCase{"BeforeBottom", {300, 757}, {10, 10}, {310, 767}, {10, 10}},
                                           BounceCase{"AtBottom", {300, 758}, {10, 10}, {310, 768}, {10, -10}},
                                           BounceCase{"AtTop", {300, 10}, {10, -10}, {310, 0}, {10, 10}},
                                           BounceCase{"PastTop", {300, 5}, {-10, -10}, {290, -5}, {-10, 10}},
                                           BounceCase{"Corner", {1020, 765}, {10, 10}, {1030, 775}, {-10, -10}},
                                           BounceCase{"NoStepsHoldsStill", {5, 5}, {0, 0}, {5, 5}, {0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Display scale -----------------------------------------------------------------

struct ScaleCase {
    int dpi;
    int32_t step;  // the step the mover must take on a monitor at that scale
};
void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.dpi << " dpi"; }

class ScaleTest : public IdleEngineTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, StepGrowsWithTheScaleAndBouncesAtTheRealEdge) {
    const auto [dpi, step] = GetParam();
    idle.dpiAt = [dpi](Point) { return dpi; };
    idle.cursor = {5, 5};
    IdleUntilMoving();
    for (int i = 0; i < 2; ++i)
        time.NextTick();
    EXPECT_EQ(std::vector<Point>(idle.moves.begin(), idle.moves.begin() + 3),
              (std::vector<Point>{{5 + step, 5 + step}, {5 + 2 * step, 5 + 2 * step}, {5 + 3 * step, 5 + 3 * step}}));
    // The signed 96-DPI steps stay what turns at the edges; only the move scales.
    engine.MovePos = {1024 - step, 300};
    engine.MoveCursor(&engine.cursorMove);
    EXPECT_EQ(idle.moves.back(), (Point{1024, 300 + step}));
    EXPECT_EQ((Point{engine.StepX, engine.StepY}), (Point{-10, 10}));
    engine.MoveCursor(&engine.cursorMove);
    EXPECT_EQ(idle.moves.back(), (Point{1024 - step, 300 + 2 * step}));
}

INSTANTIATE_TEST_SUITE_P(IdleEngine, ScaleTest,
                         ::testing::Values(ScaleCase{96, 10}, ScaleCase{120, 13}, ScaleCase{144, 15},
                                           ScaleCase{168, 18}, ScaleCase{192, 20}, ScaleCase{288, 30}),
                         [](const auto& info) { return std::to_string(info.param.dpi); });

TEST_F(IdleEngineTest, EachMoveTakesTheScaleOfTheMonitorTheCursorIsOn) {
    // Two monitors side by side: 100 % left of x = 40, 200 % from there on.
    idle.dpiAt = [](Point p) { return p.x < 40 ? 96 : 192; };
    idle.cursor = {5, 5};
    IdleUntilMoving();
    for (int i = 0; i < 4; ++i)
        time.NextTick();
    EXPECT_EQ(std::vector<Point>(idle.moves.begin(), idle.moves.begin() + 5),
              (std::vector<Point>{{15, 15}, {25, 25}, {35, 35}, {45, 45}, {65, 65}}));
}

// ---- Stopping ------------------------------------------------------------------------

struct StopCase {
    int offset;  // ms after a tick at which the user starts dragging
    bool intelligent;
    int icon;
};
void PrintTo(const StopCase& c, std::ostream* os) {
    *os << "+" << c.offset << (c.intelligent ? " intelligent" : " normal");
}

class StopTest : public IdleEngineTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, DiagonalUserMovementStopsTheMoverWithin100To300ms) {
    idle.intelligent = GetParam().intelligent;
    listedRunning = true;
    IdleUntilMoving();
    for (int i = 0; i < 7; ++i)
        time.NextTick();
    time.Advance(GetParam().offset);
    const uint32_t startedAt = time.Now();
    const size_t iconsBefore = idle.icons.size();
    Drag(1, 1, 500);
    ASSERT_FALSE(Moving());
    ASSERT_FALSE(engine.idleWait.Enabled());
    // The first icon other than 2 marks the stop.
    auto stop = std::find_if(idle.icons.begin() + static_cast<std::ptrdiff_t>(iconsBefore), idle.icons.end(),
                             [](const auto& i) { return i.second != 2; });
    ASSERT_NE(stop, idle.icons.end());
    EXPECT_EQ(stop->second, GetParam().icon);
    const int32_t latency = FakeTimeline::Diff(stop->first, startedAt);
    EXPECT_GE(latency, 100);
    EXPECT_LE(latency, 300);
}

INSTANTIATE_TEST_SUITE_P(IdleEngine, StopTest,
                         ::testing::Values(StopCase{0, false, 0}, StopCase{10, false, 0}, StopCase{50, false, 0},
                                           StopCase{90, false, 0}, StopCase{100, false, 0},
                                           StopCase{110, false, 0}, StopCase{150, false, 0},
                                           StopCase{190, false, 0}, StopCase{30, true, 1}, StopCase{130, true, 1}));

struct DragCase {
    const char* name;
    int32_t dx, dy;
    bool stops;
};
void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class DragTest : public IdleEngineTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragTest, OnlyMovementInBothAxesStopsTheMover) {
    idle.cursor = {300, 300};
    IdleUntilMoving();
    Drag(GetParam().dx, GetParam().dy, 1000);
    EXPECT_EQ(Moving(), !GetParam().stops);
    EXPECT_EQ(engine.UserMoved, GetParam().stops);
}

INSTANTIATE_TEST_SUITE_P(IdleEngine, DragTest,
                         ::testing::Values(DragCase{"Right", 1, 0, false}, DragCase{"Left", -1, 0, false},
                                           DragCase{"Down", 0, 1, false}, DragCase{"Up", 0, -1, false},
                                           DragCase{"Diagonal", 1, 1, true}, DragCase{"AntiDiagonal", -1, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdleEngineTest, StepsKeepTheirSignsAcrossStopAndRestart) {
    idle.cursor = {1000, 740};
    IdleUntilMoving();
    for (int i = 0; i < 5; ++i)
        time.NextTick();
    ASSERT_EQ(engine.StepX, -10);
    ASSERT_EQ(engine.StepY, -10);
    Drag(1, 1, 500);
    ASSERT_FALSE(Moving());
    EXPECT_EQ(engine.StepX, -10);
    EXPECT_EQ(engine.StepY, -10);

    idle.moves.clear();
    const Point left = idle.cursor;
    IdleUntilMoving();
    EXPECT_EQ(idle.moves[0], (Point{left.x - 10, left.y - 10}));
}

TEST_F(IdleEngineTest, TurningIntelligentModeOffWhileMovingKeepsMoving) {
    idle.intelligent = true;
    listedRunning = true;
    IdleUntilMoving();
    idle.intelligent = false;
    listedRunning = false;
    const size_t iconsBefore = idle.icons.size();
    time.Advance(3000);
    EXPECT_TRUE(Moving());
    for (size_t i = iconsBefore; i < idle.icons.size(); ++i)
        ASSERT_EQ(idle.icons[i].second, 2);
    Drag(1, 1, 500);
    EXPECT_FALSE(Moving());
    EXPECT_EQ(LastIcon(), 0);
}

TEST_F(IdleEngineTest, WaitRunsBesideTheMoverAndReReadsTheCursorWhenItElapses) {
    idle.cursor = {5, 5};
    IdleUntilMoving();
    const uint32_t firstWait = time.ticks.back();
    // Pull the cursor away between two moves, as a clipped edge would: the
    // mover keeps its own position until the next wait elapses.
    while (FakeTimeline::Diff(time.NextDue(), firstWait) < 10000) {
        time.NextTick();
    }
    const size_t before = idle.moves.size();
    const Point step{engine.StepX, engine.StepY};
    idle.cursor = {600, 20};
    time.NextTick();
    ASSERT_TRUE(Fired(engine.idleWait, time.ticks.back()));
    ASSERT_EQ(idle.moves.size(), before + 1);
    EXPECT_EQ(idle.moves.back(), (Point{600 + step.x, 20 + step.y}));
}

}  // namespace

// ---- The 32-bit tick count's wrap (49.7 days) --------------------------------------

// A whole session of watching, waiting, moving, a user's stop and watching
// again, recorded relative to its start: (ms since start, what happened).
std::vector<std::pair<int32_t, std::string>> SessionTimeline(uint32_t start, uint32_t pumpCost) {
    FakeTimeline time(start);
    FakeIdle idle(time);
    idle.pumpCost = pumpCost;
    toolkit::Component form{nullptr, "SettingsWindow"};
    IdleEngine engine(form, time.MakePlatform(), idle);
    engine.StepX = engine.StepY = 10;
    form.LoadedAll();
    std::vector<std::pair<int32_t, std::string>> events;
    auto since = [&] { return FakeTimeline::Diff(time.Now(), start); };
    engine.timers.OnTimers = [&](TimerList*, int32_t handle) {
        for (const TimerEvent* e : engine.timers.Events())
            if (e->Handle() == handle && e != &engine.firstSample && e != &engine.decision)
                events.emplace_back(since(), e == &engine.idleWait ? "the wait ended" : e->Name());
    };
    for (int i = 0; i < 150; ++i)
        time.NextTick();
    for (int i = 0; i < 30; ++i) {  // the user drags for 300 ms
        idle.cursor.x += 1;
        idle.cursor.y += 1;
        time.Advance(10);
    }
    events.emplace_back(since(), engine.cursorMove.Enabled() ? "still moving" : "stopped");
    for (int i = 0; i < 120; ++i)
        time.NextTick();
    for (size_t i = 1; i < time.ticks.size(); ++i) {
        const int32_t gap = FakeTimeline::Diff(time.ticks[i], time.ticks[i - 1]);
        if (gap < 100 || gap > 100 + 2 * static_cast<int32_t>(pumpCost) + 10)
            events.emplace_back(FakeTimeline::Diff(time.ticks[i], start), "gap of " + std::to_string(gap));
    }
    return events;
}

TEST(IdleEngineWrap, TheTickCountsWrapNeitherStallsNorBurstsTheTicksNorTheWait) {
    for (const uint32_t pumpCost : {0u, 3u}) {
        const auto reference = SessionTimeline(7000000, pumpCost);
        ASSERT_FALSE(reference.empty());
        bool waited = false, stopped = false;
        for (const auto& [at, what] : reference) {
            waited = waited || what == "the wait ended";
            stopped = stopped || what == "stopped";
            EXPECT_EQ(what.rfind("gap", 0), std::string::npos) << what << " at " << at;
        }
        ASSERT_TRUE(waited && stopped) << "the session should wait, move and be stopped";
        // The wrap during the first scan's countdown, the idle wait, the moving,
        // the user's stop and the wait after it.
        for (const uint32_t beforeWrap : {500u, 5000u, 12000u, 15200u, 20000u}) {
            SCOPED_TRACE("wrap " + std::to_string(beforeWrap) + " ms in, pumps of " + std::to_string(pumpCost) +
                         " ms");
            EXPECT_EQ(SessionTimeline(0u - beforeWrap, pumpCost), reference);
        }
    }
}
