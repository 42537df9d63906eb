// The narrow port through which a timer list reaches the platform: a 32-bit
// millisecond tick source and one periodic timer delivered on the GUI thread.
#pragma once

#include <cstdint>

namespace engine {

class TimerList;

class TimerPlatform {
public:
    virtual ~TimerPlatform() = default;

    // The platform's millisecond count since boot; wraps after about 49.7 days.
    virtual uint32_t TickCount() = 0;

    // The hidden window that receives the ticks; each tick calls list.HandleTick().
    virtual void CreateMessageWindow(TimerList& list) = 0;
    virtual void DestroyMessageWindow() = 0;
    virtual bool HasMessageWindow() const = 0;

    // Starts (or restarts) the periodic timer on the message window: the next
    // tick comes one full period later. False when the platform refuses it.
    virtual bool StartTimer(int32_t periodMs) = 0;
    virtual void KillTimer() = 0;
};

}  // namespace engine
