// The idle engine's Win32 services for real: exact cursor placement and
// read-back, clipping at the screen edge, the screen size, and the priorities.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/Win32IdlePlatform.h"

namespace {

using engine::Point;
using engine::Win32IdlePlatform;

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(IdlePlatformWin, ScreenSizeIsThePrimaryMonitor) {
    Win32IdlePlatform platform;
    const Point size = platform.ScreenSize();
    EXPECT_EQ(size.x, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(size.y, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(size.x, 0);
    EXPECT_GT(size.y, 0);
}

TEST(IdlePlatformWin, SetCursorPosLandsExactlyAndReadsBack) {
    Win32IdlePlatform platform;
    const Point size = platform.ScreenSize();
    const Point targets[] = {{15, 15}, {123, 456}, {size.x / 2 + 3, size.y / 2 - 7}, {size.x - 1, size.y - 1}};
    for (const Point& target : targets) {
        platform.SetCursorPos(target);
        PumpPending();
        const Point read = platform.CursorPos();
        EXPECT_EQ(read.x, target.x);
        EXPECT_EQ(read.y, target.y);
        POINT direct{};
        ASSERT_TRUE(GetCursorPos(&direct));
        EXPECT_EQ(direct.x, target.x);
        EXPECT_EQ(direct.y, target.y);
    }
}

TEST(IdlePlatformWin, PositionsBeyondTheEdgeAreClippedToTheScreen) {
    // The mover sets one position up to a step past an edge before it turns.
    Win32IdlePlatform platform;
    const Point size = platform.ScreenSize();
    platform.SetCursorPos({size.x + 5, size.y + 7});
    PumpPending();
    Point read = platform.CursorPos();
    EXPECT_EQ(read.x, size.x - 1);
    EXPECT_EQ(read.y, size.y - 1);
    platform.SetCursorPos({-5, -9});
    PumpPending();
    read = platform.CursorPos();
    EXPECT_EQ(read.x, 0);
    EXPECT_EQ(read.y, 0);
}

TEST(IdlePlatformWin, LowerPriorityGivesIdleClassAndLowestThreadPriority) {
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    Win32IdlePlatform platform;
    platform.LowerPriority();
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
    // The timing tests in this executable run at normal priority.
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

}  // namespace
