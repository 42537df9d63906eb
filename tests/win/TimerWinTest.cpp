// The real timer list on a real Windows timer: tick rate, phase restart on
// re-arm, nesting only through a pump, and the exception boundary at the tick.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/TimerList.h"
#include "engine/Win32TimerPlatform.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"

namespace {

using engine::TimerEvent;
using engine::TimerList;

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / frequency;
}

// Dispatches the thread's messages until the condition holds or time runs out.
template <typename Done>
bool PumpUntil(Done done, double timeoutMs) {
    const double deadline = NowMs() + timeoutMs;
    while (!done()) {
        const double left = deadline - NowMs();
        if (left <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class TimerWinTest : public ::testing::Test {
protected:
    toolkit::Component form{nullptr, "SettingsWindow"};
    TimerList list{&form, "timers", engine::MakeWin32TimerPlatform()};
    std::vector<std::unique_ptr<TimerEvent>> events;
    std::vector<std::string> errors;
    toolkit::ExceptionHandler previousHandler;

    void SetUp() override {
        previousHandler = toolkit::SetExceptionHandler([this](const std::string& m) { errors.push_back(m); });
        list.SetActive(true);
    }
    void TearDown() override { toolkit::SetExceptionHandler(previousHandler); }

    TimerEvent& Load(const std::string& name, int32_t interval, bool cycled = true, bool enabled = true) {
        events.push_back(std::make_unique<TimerEvent>(&form, name));
        TimerEvent& e = *events.back();
        e.SetParentList(&list);
        e.SetCycled(cycled);
        e.SetEnabled(enabled);
        e.SetInterval(interval);
        return e;
    }
};

TEST_F(TimerWinTest, CycledShortEventTicksAbout100msApartOnTheGuiThread) {
    TimerEvent& e = Load("fast", 10);
    form.LoadedAll();
    const DWORD guiThread = GetCurrentThreadId();
    std::vector<double> times;
    bool otherThread = false;
    e.OnTimer = [&](TimerEvent*) {
        times.push_back(NowMs());
        otherThread |= GetCurrentThreadId() != guiThread;
    };
    ASSERT_TRUE(PumpUntil([&] { return times.size() >= 21; }, 6000)) << times.size() << " ticks";
    EXPECT_FALSE(otherThread);
    const double mean = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
    std::printf("mean tick interval %.1f ms over %zu ticks\n", mean, times.size() - 1);
    // A busy machine makes ticks late, never early: a generous upper bound only.
    EXPECT_GE(mean, 95.0);
    EXPECT_LE(mean, 160.0);
}

TEST_F(TimerWinTest, SwitchingAnEventOnRestartsThePhase) {
    TimerEvent& beat = Load("beat", 100);
    TimerEvent& extra = Load("extra", 1000, true, false);
    form.LoadedAll();
    std::vector<double> times;
    double rearmedAt = 0;
    beat.OnTimer = [&](TimerEvent*) {
        times.push_back(NowMs());
        if (times.size() == 3) {
            // Busy for half a period, then re-arm: the next tick is a full
            // period away from here, not due at once.
            Sleep(50);
            rearmedAt = NowMs();
            extra.SetEnabled(true);
        }
    };
    ASSERT_TRUE(PumpUntil([&] { return times.size() >= 4; }, 3000));
    EXPECT_GE(times[3] - rearmedAt, 85.0);
    EXPECT_GE(times[3] - times[2], 135.0);
}

TEST_F(TimerWinTest, TicksNestOnlyThroughAPumpInsideAHandler) {
    TimerEvent& slow = Load("slow", 10);
    form.LoadedAll();
    int depth = 0, maxDepth = 0, calls = 0;
    slow.OnTimer = [&](TimerEvent*) {
        ++calls;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (calls == 2) {
            Sleep(250);
            EXPECT_EQ(calls, 2);  // no tick got in while the handler was busy
            PumpPending();
        }
        --depth;
    };
    ASSERT_TRUE(PumpUntil([&] { return calls >= 4; }, 3000));
    EXPECT_EQ(maxDepth, 2);
}

TEST_F(TimerWinTest, RaisingHandlerIsReportedAndTickingContinues) {
    TimerEvent& e = Load("raiser", 10);
    form.LoadedAll();
    int calls = 0;
    e.OnTimer = [&](TimerEvent*) {
        if (++calls == 2)
            throw toolkit::Exception("Hiba a kezelőben");
    };
    ASSERT_TRUE(PumpUntil([&] { return calls >= 5; }, 3000));
    EXPECT_EQ(errors, std::vector<std::string>{"Hiba a kezelőben"});
    EXPECT_TRUE(list.Active());
}

TEST_F(TimerWinTest, DeactivatedListStopsTicking) {
    TimerEvent& e = Load("once", 100, false);
    form.LoadedAll();
    int calls = 0, finished = 0;
    e.OnTimer = [&](TimerEvent*) { ++calls; };
    list.OnFinish = [&](TimerList*) { ++finished; };
    PumpUntil([] { return false; }, 600);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(list.Active());
}

}  // namespace
