// The hint timing's states: waiting, shown, done with the control, cooling.
#include "toolkit/hint/HintTiming.h"

namespace toolkit {

std::string ShortHint(const std::string& hint) {
    return hint.substr(0, hint.find('|'));
}

void HintTiming::Start(int ms) {
    port_.StartHintTimer(ms < 0 ? 0 : ms);
}

void HintTiming::PointerOver(const void* control) {
    if (control == control_)
        return;
    const bool movingOn = state_ == State::Shown || state_ == State::Cooling;
    if (state_ == State::Shown)
        port_.HideHint();
    control_ = control;
    if (control) {
        state_ = State::Waiting;
        Start(movingOn ? Pauses.shortPause : Pauses.pause);
    } else if (movingOn) {
        state_ = State::Cooling;
        Start(Pauses.pause);
    } else {
        state_ = State::Idle;
        port_.StopHintTimer();
    }
}

void HintTiming::TimerFired() {
    switch (state_) {
    case State::Waiting:
        if (port_.ShowHint(control_)) {
            state_ = State::Shown;
            if (Pauses.hidePause > 0)
                Start(Pauses.hidePause);
            else
                port_.StopHintTimer();
            return;
        }
        state_ = State::Done;
        break;
    case State::Shown:
        port_.HideHint();
        state_ = State::Done;
        break;
    case State::Cooling:
        state_ = State::Idle;
        break;
    case State::Idle:
    case State::Done:
        break;
    }
    port_.StopHintTimer();
}

void HintTiming::Forget(const void* control) {
    if (!control || control != control_)
        return;
    if (state_ == State::Shown)
        port_.HideHint();
    port_.StopHintTimer();
    state_ = State::Idle;
    control_ = nullptr;
}

void HintTiming::Dismiss() {
    if (state_ == State::Shown)
        port_.HideHint();
    port_.StopHintTimer();
    state_ = control_ ? State::Done : State::Idle;
}

}  // namespace toolkit
