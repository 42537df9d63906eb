// When the application shows and hides the hint of the control under the
// pointer: the rest before a hint, the shorter wait when moving on from one,
// how long one stays, and what dismisses it. Platform-free: the window side
// reports the pointer, clicks and keys, and runs the one timer it asks for.
#pragma once

#include <string>

namespace toolkit {

// The part of a hint shown over its control: the text before the first "|".
std::string ShortHint(const std::string& hint);

class HintTimingPort {
public:
    virtual ~HintTimingPort() = default;
    // Replaces any running timer: TimerFired comes once `ms` have passed.
    virtual void StartHintTimer(int ms) = 0;
    virtual void StopHintTimer() = 0;
    // False when nothing could be shown (the pointer is no longer on the
    // control, or it has been disabled meanwhile).
    virtual bool ShowHint(const void* control) = 0;
    virtual void HideHint() = 0;
};

struct HintPauses {
    int pause = 500;       // rest before a hint
    int shortPause = 0;    // rest before the next one when moving on from a shown hint
    int hidePause = 2500;  // how long a hint stays; 0 or less: until dismissed
};

class HintTiming {
public:
    explicit HintTiming(HintTimingPort& port) : port_(port) {}

    // Read at each start of the timer.
    HintPauses Pauses;

    // The pointer is over `control`, a control with a hint to show, or over
    // nothing that has one (nullptr). Moving within the same control changes nothing.
    void PointerOver(const void* control);
    void TimerFired();
    // A click, a key, or the application losing the activation: the hint
    // goes, and the control under the pointer shows none again until the
    // pointer has left it, as the platform's own tooltips behave.
    void Dismiss();

    // The control is going away: nothing of it may be shown or remembered.
    void Forget(const void* control);

    bool Shown() const { return state_ == State::Shown; }
    const void* Control() const { return control_; }

private:
    // Cooling: a shown hint was just left; another control entered before
    // the pause has passed shows its hint after the short pause.
    enum class State { Idle, Waiting, Shown, Done, Cooling };
    void Start(int ms);

    HintTimingPort& port_;
    State state_ = State::Idle;
    const void* control_ = nullptr;
};

}  // namespace toolkit
