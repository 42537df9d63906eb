// The timer list's platform on Windows: GetTickCount, and a hidden
// message-only window of its own class whose timer 1 ticks the list.
#pragma once

#include "engine/TimerPlatform.h"

#include <memory>

namespace engine {

// The class of the hidden window that receives the ticks.
constexpr char kTimerWindowClass[] = "TavrinTimerListWindow";

std::unique_ptr<TimerPlatform> MakeWin32TimerPlatform();

}  // namespace engine
