// The idle engine's layout and handlers. Every order below matters: within a
// tick the list fires varakozoido, meres_ellenor, program_ell, meres2,
// egermozgatas, osszegzes, meres1, so the two samples of a pair are never
// separated by one of the program's own moves.
#include "engine/IdleEngine.h"

namespace engine {
namespace {

// The loader's order for one event: join the list (sorted in with the default
// interval), then the stored Cycled, Enabled and Interval.
void Load(TTimerEvent& event, TTimerList& list, bool cycled, bool enabled, int32_t interval) {
    event.SetParentList(&list);
    event.SetCycled(cycled);
    event.SetEnabled(enabled);
    event.SetInterval(interval);
}

}  // namespace

IdleEngine::IdleEngine(toolkit::Component& owner, std::unique_ptr<TimerPlatform> timer, IdlePlatform& platform)
    : TimerList1(&owner, "TimerList1", std::move(timer)),
      program_ell(&owner, "program_ell"),
      meres1(&owner, "meres1"),
      meres2(&owner, "meres2"),
      osszegzes(&owner, "osszegzes"),
      varakozoido(&owner, "varakozoido"),
      egermozgatas(&owner, "egermozgatas"),
      meres_ellenor(&owner, "meres_ellenor"),
      platform_(platform) {
    TimerList1.SetActive(true);
    //                              Cycled Enabled Interval
    Load(program_ell, TimerList1,   true,  true,   1000);
    Load(meres1, TimerList1,        false, true,   10);
    Load(meres2, TimerList1,        false, false,  100);
    Load(osszegzes, TimerList1,     true,  true,   10);
    Load(varakozoido, TimerList1,   false, false,  10000);
    Load(egermozgatas, TimerList1,  true,  false,  10);
    Load(meres_ellenor, TimerList1, false, false,  10);

    meres1.OnTimer = [this](TTimerEvent* sender) { meres1Timer(sender); };
    meres2.OnTimer = [this](TTimerEvent* sender) { meres2Timer(sender); };
    osszegzes.OnTimer = [this](TTimerEvent* sender) { osszegzesTimer(sender); };
    varakozoido.OnTimer = [this](TTimerEvent* sender) { varakozoidoTimer(sender); };
    egermozgatas.OnTimer = [this](TTimerEvent* sender) { egermozgatasTimer(sender); };
    meres_ellenor.OnTimer = [this](TTimerEvent* sender) { meres_ellenorTimer(sender); };
}

void IdleEngine::meres1Timer(TTimerEvent*) {
    LowerPriorityStep();
    SampleA = platform_.CursorPos();
    meres1.SetEnabled(false);
    meres2.SetEnabled(true);
    ProcessMessagesStep();
}

void IdleEngine::meres2Timer(TTimerEvent*) {
    LowerPriorityStep();
    SampleB = platform_.CursorPos();
    meres2.SetEnabled(false);
    meres_ellenor.SetEnabled(true);
    ProcessMessagesStep();
}

void IdleEngine::meres_ellenorTimer(TTimerEvent*) {
    LowerPriorityStep();
    // Both coordinates must differ: a purely horizontal or vertical change is
    // not taken for the user.
    UserMoved = SampleA.x != SampleB.x && SampleA.y != SampleB.y;
    meres1.SetEnabled(true);
}

void IdleEngine::osszegzesTimer(TTimerEvent*) {
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
            varakozoido.SetEnabled(true);
        // With nothing listed running, the wait is switched off here and on
        // again below, so its ten seconds never elapse.
        if (!UserMoved && !WatchedRunning)
            StopMoving(0);
    } else if (UserMoved) {
        StopMoving(0);
    }
    if (!UserMoved)
        varakozoido.SetEnabled(true);
}

void IdleEngine::varakozoidoTimer(TTimerEvent*) {
    LowerPriorityStep();
    egermozgatas.SetEnabled(true);
    MovePos = platform_.CursorPos();
    ProcessMessagesStep();
}

void IdleEngine::egermozgatasTimer(TTimerEvent*) {
    LowerPriorityStep();
    platform_.SetTrayIconIndex(2);
    MovePos.x += StepX;
    MovePos.y += StepY;
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
    if (TimerList1.InPass()) {
        if (TimerList1.PassSerial() == loweredInPass_)
            return;
        loweredInPass_ = TimerList1.PassSerial();
    }
    platform_.LowerPriority();
}

void IdleEngine::ProcessMessagesStep() {
    TimerList1.BeforePump();
    platform_.ProcessMessages();
}

void IdleEngine::StopMoving(int index) {
    varakozoido.SetEnabled(false);
    egermozgatas.SetEnabled(false);
    platform_.SetTrayIconIndex(index);
}

}  // namespace engine
