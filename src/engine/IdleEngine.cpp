// The idle engine's layout and handlers. Every order below matters: within a
// tick the list fires idleWait, sampleComparison, programScan, secondSample,
// cursorMove, decision, firstSample, so the two samples of a pair are never
// separated by one of the program's own moves.
#include "engine/IdleEngine.h"

#include "toolkit/DpiScale.h"

namespace engine {
namespace {

// The loader's order for one event: join the list (sorted in with the default
// interval), then the stored Cycled, Enabled and Interval.
void Load(TimerEvent& event, TimerList& list, bool cycled, bool enabled, int32_t interval) {
    event.SetParentList(&list);
    event.SetCycled(cycled);
    event.SetEnabled(enabled);
    event.SetInterval(interval);
}

}  // namespace

IdleEngine::IdleEngine(toolkit::Component& owner, std::unique_ptr<TimerPlatform> timer, IdlePlatform& platform)
    : timers(&owner, "timers", std::move(timer)),
      programScan(&owner, "programScan"),
      firstSample(&owner, "firstSample"),
      secondSample(&owner, "secondSample"),
      decision(&owner, "decision"),
      idleWait(&owner, "idleWait"),
      cursorMove(&owner, "cursorMove"),
      sampleComparison(&owner, "sampleComparison"),
      platform_(platform) {
    timers.SetActive(true);
    // The stored order below, not the names, gives the firing order within a
    // tick (see the top of this file): keep it as it is.
    //                                 Cycled Enabled Interval
    Load(programScan, timers,          true,  true,   1000);
    Load(firstSample, timers,          false, true,   10);
    Load(secondSample, timers,         false, false,  100);
    Load(decision, timers,             true,  true,   10);
    Load(idleWait, timers,             false, false,  10000);
    Load(cursorMove, timers,           true,  false,  10);
    Load(sampleComparison, timers,     false, false,  10);

    firstSample.OnTimer = [this](TimerEvent* sender) { TakeFirstSample(sender); };
    secondSample.OnTimer = [this](TimerEvent* sender) { TakeSecondSample(sender); };
    decision.OnTimer = [this](TimerEvent* sender) { Decide(sender); };
    idleWait.OnTimer = [this](TimerEvent* sender) { EndIdleWait(sender); };
    cursorMove.OnTimer = [this](TimerEvent* sender) { MoveCursor(sender); };
    sampleComparison.OnTimer = [this](TimerEvent* sender) { CompareSamples(sender); };
}

void IdleEngine::TakeFirstSample(TimerEvent*) {
    LowerPriorityStep();
    SampleA = platform_.CursorPos();
    firstSample.SetEnabled(false);
    secondSample.SetEnabled(true);
    ProcessMessagesStep();
}

void IdleEngine::TakeSecondSample(TimerEvent*) {
    LowerPriorityStep();
    SampleB = platform_.CursorPos();
    secondSample.SetEnabled(false);
    sampleComparison.SetEnabled(true);
    ProcessMessagesStep();
}

void IdleEngine::CompareSamples(TimerEvent*) {
    LowerPriorityStep();
    // Both coordinates must differ: a purely horizontal or vertical change is
    // not taken for the user.
    UserMoved = SampleA.x != SampleB.x && SampleA.y != SampleB.y;
    firstSample.SetEnabled(true);
}

void IdleEngine::Decide(TimerEvent*) {
    LowerPriorityStep();
    ProcessMessagesStep();
    // Each test reads the flags as they stand now: a nested scan may have
    // changed WatchedRunning during the pump above.
    if (platform_.IntelligentMode()) {
        if (UserMoved && WatchedRunning)
            StopMoving(1);
        if (UserMoved && !WatchedRunning)
            StopMoving(0);
        if (!UserMoved && WatchedRunning)
            idleWait.SetEnabled(true);
        // With nothing listed running, the wait is switched off here and on
        // again below, so its ten seconds never elapse.
        if (!UserMoved && !WatchedRunning)
            StopMoving(0);
    } else if (UserMoved) {
        StopMoving(0);
    }
    if (!UserMoved)
        idleWait.SetEnabled(true);
}

void IdleEngine::EndIdleWait(TimerEvent*) {
    LowerPriorityStep();
    cursorMove.SetEnabled(true);
    MovePos = platform_.CursorPos();
    ProcessMessagesStep();
}

void IdleEngine::MoveCursor(TimerEvent*) {
    LowerPriorityStep();
    platform_.SetTrayIconIndex(2);
    // On a scaled monitor a 10-pixel step would look slower and smaller than
    // it does at 100 %: the step grows with the scale where the cursor is.
    const int dpi = platform_.DpiAt(MovePos);
    MovePos.x += toolkit::ScaleForDpi(StepX, dpi);
    MovePos.y += toolkit::ScaleForDpi(StepY, dpi);
    // The new steps apply from the next move: this one may land up to a step
    // beyond the edge, where the platform clips it.
    const Point screen = platform_.ScreenSize();
    if (MovePos.x >= screen.x)
        StepX = -StepX;
    if (MovePos.x <= 0)
        StepX = -StepX;
    if (MovePos.y >= screen.y)
        StepY = -StepY;
    if (MovePos.y <= 0)
        StepY = -StepY;
    platform_.SetCursorPos(MovePos);
}

void IdleEngine::LowerPriorityStep() {
    if (timers.InPass()) {
        if (timers.PassSerial() == loweredInPass_)
            return;
        loweredInPass_ = timers.PassSerial();
    }
    platform_.LowerPriority();
}

void IdleEngine::ProcessMessagesStep() {
    timers.BeforePump();
    platform_.ProcessMessages();
}

void IdleEngine::StopMoving(int index) {
    idleWait.SetEnabled(false);
    cursorMove.SetEnabled(false);
    platform_.SetTrayIconIndex(index);
}

}  // namespace engine
