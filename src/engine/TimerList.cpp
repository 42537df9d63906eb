// Scheduling rules of the timer list: sorting, the common period, re-arming,
// and the pass that fires due events on every tick.
#include "engine/TimerList.h"

#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"

#include <algorithm>

namespace engine {
namespace {

// Tick differences are signed 32-bit so they stay right across the wrap-around
// of the 32-bit tick count.
int32_t TickDiff(uint32_t later, uint32_t earlier) {
    return static_cast<int32_t>(later - earlier);
}

}  // namespace

// ---- TimerEvent -----------------------------------------------------------

TimerEvent::TimerEvent(toolkit::Component* owner, std::string name) : Component(owner, std::move(name)) {}

TimerEvent::~TimerEvent() {
    if (parent_)
        parent_->Remove(this);
}

void TimerEvent::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    if (!value)
        return;  // switching off leaves the platform timer alone
    execCount_ = 0;
    if (parent_) {
        lastExecute_ = parent_->Now();
        parent_->CalculatePeriod(lastExecute_);
        parent_->Rearm();
    } else {
        stampPending_ = true;
    }
}

void TimerEvent::SetInterval(int32_t value) {
    if (value == interval_)
        return;
    interval_ = value;
    // No re-sort: the list keeps the order it had when the event joined.
    if (parent_) {
        parent_->CalculatePeriod(parent_->Now());
        parent_->Rearm();
    }
}

void TimerEvent::SetRepeatCount(int32_t value) {
    if (value == repeatCount_)
        return;
    repeatCount_ = std::max(value, cycled_ ? 0 : 1);
    if (enabled_ && execCount_ >= repeatCount_)
        SetEnabled(false);
}

void TimerEvent::SetParentList(TimerList* list) {
    if (parent_)
        parent_->Remove(this);
    if (list)
        list->Add(this);
}

// ---- TimerList ------------------------------------------------------------

TimerList::TimerList(toolkit::Component* owner, std::string name, std::unique_ptr<TimerPlatform> platform)
    : Component(owner, std::move(name)), platform_(std::move(platform)) {
    Deactivate();  // a new list is inactive already: this only keeps the creation steps complete
}

TimerList::~TimerList() {
    BeginDestroy();
    // No OnFinish here: the owner that would receive it is being torn down.
    if (platform_->HasMessageWindow()) {
        StopTimer();
        platform_->DestroyMessageWindow();
    }
    rearmPending_ = false;
    active_ = false;
    for (TimerEvent* event : events_)
        event->parent_ = nullptr;
    events_.clear();
}

void TimerList::SetActive(bool value) {
    if (value == active_)
        return;
    if (value) {
        platform_->CreateMessageWindow(*this);
        // Stored before re-arming, so a re-arm that finds nothing to run can
        // switch the list off again (outside loading).
        active_ = true;
        const uint32_t now = Now();
        for (TimerEvent* event : events_) {
            if (event->enabled_) {
                event->lastExecute_ = now;
                event->stampPending_ = false;
            }
        }
        CalculatePeriod(now);
        Sort();
        Rearm();
    } else {
        active_ = false;
        rearmPending_ = false;
        if (platform_->HasMessageWindow())
            StopTimer();
        timerRunning_ = false;
        platform_->DestroyMessageWindow();
        if (OnFinish)
            OnFinish(this);
    }
}

void TimerList::Deactivate() {
    if (!Loading())
        SetActive(false);
}

int32_t TimerList::EnabledCount() const {
    return static_cast<int32_t>(
        std::count_if(events_.begin(), events_.end(), [](const TimerEvent* e) { return e->enabled_; }));
}

void TimerList::Add(TimerEvent* event) {
    events_.push_back(event);
    event->handle_ = ++handleSequence_;
    event->parent_ = this;
    const uint32_t now = Now();
    if (event->stampPending_) {
        event->lastExecute_ = now;
        event->stampPending_ = false;
    }
    CalculatePeriod(now);
    Sort();
    Rearm();
}

void TimerList::Remove(TimerEvent* event) {
    auto it = std::find(events_.begin(), events_.end(), event);
    if (it != events_.end())
        events_.erase(it);
    event->parent_ = nullptr;
}

void TimerList::CalculatePeriod(uint32_t reference) {
    if (events_.empty()) {
        period_ = 0;
        return;
    }
    int32_t period = kNoPeriod;
    for (const TimerEvent* event : events_) {
        if (!event->enabled_ || event->interval_ <= 0)
            continue;
        period = std::min(period, event->interval_);
        // Wrapping arithmetic: an event switched on "in the future" of the
        // reference (a nested pass moved it) must not overflow.
        const int32_t remaining = static_cast<int32_t>(static_cast<uint32_t>(event->interval_) -
                                                       static_cast<uint32_t>(TickDiff(reference, event->lastExecute_)));
        period = std::min(period, remaining);
    }
    if (period < kMinPeriod)
        period = kMinPeriod;
    if (period == kNoPeriod) {
        period_ = 0;
        return;
    }
    // Shrink the period until it divides the intervals, one remainder at a time.
    bool reduced;
    do {
        reduced = false;
        for (const TimerEvent* event : events_) {
            // A negative interval would grow the period on every round.
            if (event->interval_ < 0)
                continue;
            const int32_t remainder = event->interval_ % period;
            if (remainder != 0) {
                period -= remainder;
                reduced = true;
                break;
            }
        }
    } while (reduced && period > kMinPeriod);
    if (period < kMinPeriod)
        period = kMinPeriod;
    period_ = period;
}

void TimerList::Sort() {
    // Bubble sort: equal intervals keep their order, which decides firing order.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 1; i < events_.size(); ++i) {
            if (events_[i]->interval_ < events_[i - 1]->interval_) {
                std::swap(events_[i], events_[i - 1]);
                swapped = true;
            }
        }
    }
}

void TimerList::Rearm() {
    if (EnabledCount() == 0) {
        rearmPending_ = false;
        if (platform_->HasMessageWindow())
            StopTimer();
        Deactivate();
        return;
    }
    // Inside a pass the handlers often switch several events on one after
    // another: only the last re-arm decides the phase, so only it is made.
    if (passDepth_ > 0) {
        rearmPending_ = true;
        rearmAskedAt_ = Now();
        return;
    }
    ApplyRearm(Now());
}

void TimerList::BeforePump() {
    if (rearmPending_ && timerRunning_ && TickDiff(Now(), NextDue()) >= 0)
        CommitRearm();
}

uint32_t TimerList::NextDue() const {
    const int32_t since = TickDiff(lastTickAt_, timerStartedAt_);
    const uint32_t beats = since < 0 ? 1u : static_cast<uint32_t>(since / timerPeriod_) + 1u;
    return timerStartedAt_ + beats * static_cast<uint32_t>(timerPeriod_);
}

void TimerList::CommitRearm() {
    if (!rearmPending_)
        return;
    rearmPending_ = false;
    ApplyRearm(rearmAskedAt_);
}

void TimerList::ApplyRearm(uint32_t askedAt) {
    // An inactive list has no window to tick on: it stays silent until activated.
    if (!platform_->HasMessageWindow())
        return;
    if (period_ <= 0) {
        StopTimer();
        return;
    }
    // A timer already beating with this period in this phase gives the very
    // ticks a restart would: leave it alone.
    if (timerRunning_ && timerPeriod_ == period_ && TickDiff(askedAt, timerStartedAt_) % period_ == 0)
        return;
    // Starting a timer with the same identifier replaces the running one.
    timerRunning_ = false;
    if (!platform_->StartTimer(period_)) {
        Deactivate();
        throw toolkit::OutOfResourcesError("Not enough timers available");
    }
    timerRunning_ = true;
    timerPeriod_ = period_;
    timerStartedAt_ = Now();
}

void TimerList::StopTimer() {
    platform_->KillTimer();
    timerRunning_ = false;
}

void TimerList::HandleTick() noexcept {
    try {
        {
            ++passDepth_;
            ++passSerial_;
            lastTickAt_ = Now();
            struct Leave {
                int& depth;
                ~Leave() { --depth; }
            } leave{passDepth_};
            // A pass that switched a one-shot off re-arms at its end, so the
            // next tick comes one period after the pass's work, not on a fixed
            // beat. The engine's second sample of a pair then comes more than
            // a period after the mover's last move, which Wine needs before it
            // reports where the user put the pointer rather than where the
            // program did (it answers from its own record for 100 ms).
            if (!active_) {
                Rearm();
            } else if (RunPass()) {
                if (EnabledCount() > 0) {
                    CalculatePeriod(Now());
                    Rearm();
                } else {
                    Deactivate();
                }
            }
        }
        CommitRearm();
    } catch (...) {
        // The re-arms made before the failure stand, as they would have had
        // they been made at once; the error box below pumps messages.
        try {
            CommitRearm();
        } catch (...) {
        }
        toolkit::HandleCurrentException();
    }
}

bool TimerList::RunPass() {
    const uint32_t passTime = Now();
    bool switchedOff = false;
    // By index, re-checked at every step: handlers pump messages, and whatever
    // they run may change the list under us.
    for (size_t i = events_.size(); i-- > 0;) {
        if (i >= events_.size())
            continue;
        TimerEvent* event = events_[i];
        if (!event->enabled_)
            continue;
        if (static_cast<int64_t>(TickDiff(passTime, event->lastExecute_)) <
            static_cast<int64_t>(event->interval_) - kTolerance)
            continue;
        event->lastExecute_ = passTime;
        ++event->execCount_;
        // A one-shot event is off before its handler runs, so the handler can
        // switch it on again.
        event->SetEnabled(event->cycled_ || event->execCount_ < event->repeatCount_);
        if (!event->enabled_)
            switchedOff = true;
        const int32_t handle = event->handle_;
        // Copies: a handler may replace the callback it is running from.
        if (auto onTimer = event->OnTimer)
            onTimer(event);
        if (auto onTimers = OnTimers)
            onTimers(this, handle);
    }
    return switchedOff;
}

}  // namespace engine
