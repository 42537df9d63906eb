// The program's own counts of its live platform objects, as test builds
// (TAVRIN_COUNT_HANDLES) answer them to a registered window message sent to the
// application window, so a soak can watch a running program from outside.
#pragma once

#include <windows.h>

namespace toolkit {

enum class LiveKind : int {
    Icons,
    Cursors,
    Regions,
    Brushes,
    Fonts,
    Bitmaps,
    DCs,
    Windows,  // every window of the GUI thread, message-only ones included
    Menus,
    Keys,
    Files,
    KernelHandles,
    Libraries,
    ProcessHandles,  // the platform's count for the whole process
    Count
};

const char* LiveKindName(LiveKind kind);
// -1 for an unknown kind.
long LiveCount(LiveKind kind);

// The registered message whose wParam is a LiveKind and whose result its count.
constexpr char kLiveCountsMessage[] = "Tavrin2.LiveCounts";
UINT LiveCountsMessage();

}  // namespace toolkit
