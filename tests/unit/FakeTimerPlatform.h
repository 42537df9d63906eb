// Test time for timer lists: a settable 32-bit millisecond clock (wrap-around
// included) and one periodic timer that delivers ticks in order as the test
// advances the clock. Ticks nest only through PumpPending, like a real pump.
#pragma once

#include "engine/TimerList.h"
#include "engine/TimerPlatform.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace fakes {

class FakeTimeline {
public:
    struct TimerStart {
        uint32_t at;
        int32_t period;
    };

    explicit FakeTimeline(uint32_t start = 0) : now_(start) {}
    FakeTimeline(const FakeTimeline&) = delete;
    FakeTimeline& operator=(const FakeTimeline&) = delete;

    // The port a TimerList is given; the list owns it, this timeline drives it.
    std::unique_ptr<engine::TimerPlatform> MakePlatform() { return std::make_unique<Port>(*this); }

    uint32_t Now() const { return now_; }
    // Signed difference of two ticks, as the scheduler takes it.
    static int32_t Diff(uint32_t later, uint32_t earlier) { return static_cast<int32_t>(later - earlier); }

    // Time passes inside a handler: nothing is delivered until the next pump.
    void Elapse(uint32_t ms) { now_ += ms; }

    // Moves the clock forward, delivering every tick that falls due, in order,
    // each with the clock at its due time. Only from the top level.
    void Advance(uint32_t ms) {
        if (depth_ > 0)
            throw std::logic_error("Advance inside a tick: use Elapse and PumpPending");
        const uint32_t target = now_ + ms;
        while (running_ && Diff(target, nextDue_) >= 0) {
            if (Diff(nextDue_, now_) > 0)
                now_ = nextDue_;
            Deliver();
        }
        if (Diff(target, now_) > 0)
            now_ = target;
    }
    void AdvanceTo(uint32_t tick) { Advance(tick - now_); }

    // Advances to the next due tick and delivers it; false when no timer runs.
    bool NextTick() {
        if (!running_)
            return false;
        Advance(static_cast<uint32_t>(std::max(Diff(nextDue_, now_), 0)));
        return true;
    }

    // A handler's "process pending messages": delivers a due tick, nested.
    void PumpPending() {
        while (running_ && Diff(now_, nextDue_) >= 0)
            Deliver();
    }

    // Delivers one tick at the current time, as if the timer fell due just now.
    void TickNow() {
        if (running_ && Diff(now_, nextDue_) >= 0)
            nextDue_ = now_ + static_cast<uint32_t>(period_);
        Dispatch();
    }

    void RefuseTimers(bool refuse) { refuse_ = refuse; }

    bool Running() const { return running_; }
    int32_t Period() const { return running_ ? period_ : 0; }
    uint32_t NextDue() const { return nextDue_; }
    bool HasWindow() const { return window_; }
    int Depth() const { return depth_; }

    // What the list asked of the platform, and when the ticks came.
    std::vector<TimerStart> starts;
    int kills = 0;
    std::vector<uint32_t> ticks;
    int maxDepth = 0;

private:
    class Port : public engine::TimerPlatform {
    public:
        explicit Port(FakeTimeline& timeline) : t_(timeline) {}
        ~Port() override {
            t_.list_ = nullptr;
            t_.window_ = false;
            t_.running_ = false;
        }
        uint32_t TickCount() override { return t_.now_; }
        void CreateMessageWindow(engine::TimerList& list) override {
            t_.list_ = &list;
            t_.window_ = true;
        }
        void DestroyMessageWindow() override {
            t_.window_ = false;
            t_.running_ = false;
        }
        bool HasMessageWindow() const override { return t_.window_; }
        bool StartTimer(int32_t periodMs) override {
            if (t_.refuse_ || !t_.window_ || periodMs <= 0)
                return false;
            t_.starts.push_back({t_.now_, periodMs});
            t_.running_ = true;
            t_.period_ = periodMs;
            t_.nextDue_ = t_.now_ + static_cast<uint32_t>(periodMs);
            return true;
        }
        void KillTimer() override {
            ++t_.kills;
            t_.running_ = false;
        }

    private:
        FakeTimeline& t_;
    };

    void Deliver() {
        // A timer that fell behind delivers one tick, not one per missed period.
        while (Diff(now_, nextDue_) >= 0)
            nextDue_ += static_cast<uint32_t>(period_);
        Dispatch();
    }

    void Dispatch() {
        ticks.push_back(now_);
        ++depth_;
        if (depth_ > maxDepth)
            maxDepth = depth_;
        if (list_)
            list_->HandleTick();
        --depth_;
    }

    uint32_t now_;
    engine::TimerList* list_ = nullptr;
    bool window_ = false;
    bool running_ = false;
    bool refuse_ = false;
    int32_t period_ = 0;
    uint32_t nextDue_ = 0;
    int depth_ = 0;
};

}  // namespace fakes
