// The idle engine: seven events on one timer list that sample the cursor,
// decide whether the user is active and, after ten idle seconds, slide the
// cursor diagonally across the screen. The settings window inherits it.
#pragma once

#include "engine/TimerList.h"
#include "engine/TimerPlatform.h"
#include "toolkit/Component.h"

#include <cstdint>
#include <memory>

namespace engine {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// What the engine needs from the platform and from the settings window.
class IdlePlatform {
public:
    virtual ~IdlePlatform() = default;
    virtual Point CursorPos() = 0;
    // Sets exactly p (the platform clips it to the screen), counted as user input.
    virtual void SetCursorPos(Point p) = 0;
    virtual Point ScreenSize() = 0;  // primary monitor
    // The display scale, in dots per inch, of the monitor holding p; 96 is 100 %.
    virtual int DpiAt(Point) { return 96; }
    // Idle priority class for the process, lowest priority for the thread.
    virtual void LowerPriority() = 0;
    // Dispatches the waiting messages; timer ticks may run nested inside.
    virtual void ProcessMessages() = 0;
    // The intelligent-mode check box, read at every decision.
    virtual bool IntelligentMode() = 0;
    // 0 normal, 1 a listed program runs and the user is active, 2 moving.
    virtual void SetTrayIconIndex(int index) = 0;
};

class IdleEngine {
public:
    // Creates the list and its events as the stored layout does; the owner
    // calls LoadedAll once all of its components exist.
    IdleEngine(toolkit::Component& owner, std::unique_ptr<TimerPlatform> timer, IdlePlatform& platform);
    IdleEngine(const IdleEngine&) = delete;
    IdleEngine& operator=(const IdleEngine&) = delete;

    // Components in layout order: the list, then the events in stored order,
    // which decides their firing order within a tick (see IdleEngine.cpp).
    // programScan's handler (the running-program scan) is bound by the owner.
    TimerList timers;
    TimerEvent programScan;
    TimerEvent firstSample;
    TimerEvent secondSample;
    TimerEvent decision;
    TimerEvent idleWait;
    TimerEvent cursorMove;
    TimerEvent sampleComparison;

    bool UserMoved = false;
    bool WatchedRunning = false;
    Point SampleA;
    Point SampleB;
    // Where the mover puts the cursor; held between moves, never re-read by them.
    Point MovePos;
    // Signed steps per move at 96 DPI, grown with the scale of the monitor the
    // cursor is on; only their signs change here (the owner sets 10, 10).
    int32_t StepX = 0;
    int32_t StepY = 0;

    void TakeFirstSample(TimerEvent* sender);
    void TakeSecondSample(TimerEvent* sender);
    void CompareSamples(TimerEvent* sender);
    void Decide(TimerEvent* sender);
    void EndIdleWait(TimerEvent* sender);
    void MoveCursor(TimerEvent* sender);

    // Stops the wait and the mover and shows the given tray state.
    void StopMoving(int index);

    // The steps the handlers (and the running-program scan) share. Lowering
    // the priority asks the platform once per pass of the list: nothing in
    // the program raises it again between two handlers of one pass. Before
    // pumping, a re-arm the pass asked for is made, so the ticks come as if
    // every switch-on had re-armed at once.
    void LowerPriorityStep();
    void ProcessMessagesStep();

private:
    IdlePlatform& platform_;
    uint64_t loweredInPass_ = 0;
};

}  // namespace engine
