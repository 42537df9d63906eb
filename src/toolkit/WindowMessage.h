// One window message as handlers see it: the identifier, its two parameters
// and the result the window procedure will return. Platform-free, so message
// hooks can be tested without windows.
#pragma once

#include <cstdint>

namespace toolkit {

struct WindowMessage {
    unsigned Msg = 0;
    std::uintptr_t WParam = 0;  // WPARAM
    std::intptr_t LParam = 0;   // LPARAM
    std::intptr_t Result = 0;   // LRESULT
};

}  // namespace toolkit
