// The timer list: many timed events driven by one periodic platform timer.
// Each tick fires, walking the list from its end, every enabled event whose
// interval has elapsed; the idle engine is seven such events on one list.
#pragma once

#include "engine/TimerPlatform.h"
#include "toolkit/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class TimerList;

// One timed event. Its owner (the form) destroys it; its parent list schedules it.
class TimerEvent : public toolkit::Component {
public:
    TimerEvent(toolkit::Component* owner, std::string name);
    ~TimerEvent() override;

    bool Cycled() const { return cycled_; }
    void SetCycled(bool value) { cycled_ = value; }

    int32_t RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int32_t value);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    int32_t Interval() const { return interval_; }
    void SetInterval(int32_t value);

    int32_t ExecCount() const { return execCount_; }
    // When the event last fired or was last switched on (ms tick).
    uint32_t LastExecute() const { return lastExecute_; }
    // Issued by the list the event joins; -1 before that.
    int32_t Handle() const { return handle_; }

    TimerList* ParentList() const { return parent_; }
    // Leaves the old list, then joins the new one (if any).
    void SetParentList(TimerList* list);

    std::function<void(TimerEvent* sender)> OnTimer;

private:
    friend class TimerList;

    bool cycled_ = true;
    int32_t repeatCount_ = 0;
    bool enabled_ = true;
    int32_t execCount_ = 0;
    int32_t interval_ = 1000;
    uint32_t lastExecute_ = 0;
    // An event outside any list has no clock: the time it was created or last
    // switched on is taken when it joins a list. Events join right after they
    // are created, so this is their construction time.
    bool stampPending_ = true;
    int32_t handle_ = -1;
    TimerList* parent_ = nullptr;
};

class TimerList : public toolkit::Component {
public:
    static constexpr int32_t kMinPeriod = 100;
    static constexpr int32_t kTolerance = 50;
    static constexpr int32_t kNoPeriod = 2147483647;

    TimerList(toolkit::Component* owner, std::string name, std::unique_ptr<TimerPlatform> platform);
    ~TimerList() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    // Switches the list off, except while its stored properties are being applied.
    void Deactivate();

    // In scheduling order: sorted by interval when an event joins and on activation.
    const std::vector<TimerEvent*>& Events() const { return events_; }
    int32_t EnabledCount() const;
    // The platform timer's period; 0 when no event is enabled.
    int32_t Period() const { return period_; }

    // The timer tick, called by the platform. Stops every exception here and
    // hands it to the application's handler; the timer keeps running.
    void HandleTick() noexcept;

    // Re-arms asked for while a pass runs are folded into one platform call,
    // made when the pass ends. Whoever pumps messages inside a pass calls this
    // first: when the running timer has a tick due already, the re-arm is made
    // now, so the pump cannot deliver a tick that the re-arm would have held
    // back. (A tick falling due later, inside a long pump, comes early by the
    // few ms the pass had run, which the firing tolerance absorbs.)
    void BeforePump();

    // Counts passes, nested ones included: a handler can tell whether it runs
    // in the same pass as an earlier one.
    uint64_t PassSerial() const { return passSerial_; }
    bool InPass() const { return passDepth_ > 0; }

    std::function<void(TimerList* sender, int32_t handle)> OnTimers;
    std::function<void(TimerList* sender)> OnFinish;

private:
    friend class TimerEvent;

    uint32_t Now() { return platform_->TickCount(); }
    void Add(TimerEvent* event);
    void Remove(TimerEvent* event);
    void CalculatePeriod(uint32_t reference);
    void Sort();
    void Rearm();
    // Starts the platform timer for period_, unless it already runs with that
    // period and the phase a re-arm at askedAt would give it.
    void ApplyRearm(uint32_t askedAt);
    void CommitRearm();
    void StopTimer();
    // When the running timer's next tick is due, after the last one delivered.
    uint32_t NextDue() const;
    // One walk over the events; true when a firing event switched itself off.
    bool RunPass();

    std::unique_ptr<TimerPlatform> platform_;
    std::vector<TimerEvent*> events_;
    bool active_ = false;
    int32_t period_ = 0;
    int32_t handleSequence_ = 0;

    int passDepth_ = 0;
    uint64_t passSerial_ = 0;
    bool rearmPending_ = false;
    uint32_t rearmAskedAt_ = 0;
    // The platform timer as last started: its period and the tick count it
    // was started at, which fixes its phase.
    bool timerRunning_ = false;
    int32_t timerPeriod_ = 0;
    uint32_t timerStartedAt_ = 0;
    uint32_t lastTickAt_ = 0;
};

}  // namespace engine
