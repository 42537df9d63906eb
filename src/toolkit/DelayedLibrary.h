// A system library the program needs only on a user's action, loaded from the
// system folder at its first use instead of at start (the open dialog's
// comdlg32 brings several megabytes of code and its own dependencies along;
// a library imported at start would be looked for beside the executable
// first) and kept until exit. A load that fails is tried again at the next use.
#pragma once

#include <windows.h>

#include "toolkit/SystemLibrary.h"
#include "toolkit/UniqueHandle.h"

namespace toolkit {

class DelayedLibrary {
public:
    explicit DelayedLibrary(const char* name) noexcept : name_(name) {}
    DelayedLibrary(const DelayedLibrary&) = delete;
    DelayedLibrary& operator=(const DelayedLibrary&) = delete;

    const char* Name() const noexcept { return name_; }
    bool Loaded() const noexcept { return static_cast<bool>(module_); }

    // The function, loading the library first if need be; nullptr when the
    // library cannot be loaded or lacks it.
    template <typename Function>
    Function Find(const char* function) {
        if (!module_)
            module_.reset(LoadSystemLibrary(name_));
        if (!module_)
            return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_.get(), function)));
    }

private:
    const char* name_;
    UniqueLibrary module_;
};

}  // namespace toolkit
