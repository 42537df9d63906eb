// Move-only owners for platform handles, one alias per release function.
// In test builds (TAVRIN_COUNT_HANDLES) each kind counts its live handles so
// leak tests and the soak can watch them under Wine, where the platform's own
// GDI/USER counters always read 0.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace toolkit {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) { Count(+1); }
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) { Count(+1); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    Handle release() noexcept {
        Count(-1);
        return std::exchange(handle_, Traits::Empty());
    }

    // Releases the old handle, keeping GetLastError() for the caller.
    void reset(Handle h = Traits::Empty()) noexcept {
        if (handle_ != Traits::Empty()) {
            const DWORD error = GetLastError();
            Traits::Close(handle_);
            SetLastError(error);
        }
        Count(-1);
        handle_ = h;
        Count(+1);
    }

    // For out-parameters: releases what is held and exposes the slot. The
    // handle the platform writes there is counted when the call's full
    // expression ends.
    class PutSlot {
    public:
        explicit PutSlot(UniqueHandle& owner) noexcept : owner_(owner) {}
        ~PutSlot() { owner_.Count(+1); }
        PutSlot(const PutSlot&) = delete;
        PutSlot& operator=(const PutSlot&) = delete;
        operator Handle*() noexcept { return &owner_.handle_; }

    private:
        UniqueHandle& owner_;
    };
    PutSlot put() noexcept {
        reset();
        return PutSlot(*this);
    }

    // Live handles of this kind; always 0 in builds without TAVRIN_COUNT_HANDLES.
    static long Live() noexcept { return live_.load(); }

private:
    void Count([[maybe_unused]] int delta) noexcept {
#ifdef TAVRIN_COUNT_HANDLES
        if (handle_ != Traits::Empty())
            live_ += delta;
#endif
    }

    Handle handle_ = Traits::Empty();
    static inline std::atomic<long> live_{0};
};

struct KeyTraits {
    using Handle = HKEY;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { RegCloseKey(h); }
};
struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyIcon(h); }
};
template <typename T>
struct GdiTraits {
    using Handle = T;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DeleteObject(h); }
};
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { FreeLibrary(h); }
};
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyCursor(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { DestroyMenu(h); }
};

using UniqueKey = UniqueHandle<KeyTraits>;  // never wrap the predefined root keys
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;  // never for LR_SHARED icons
template <typename T>
using UniqueGdi = UniqueHandle<GdiTraits<T>>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;  // never for shared (system) cursors

// Device contexts held by the scopes below.
class LiveDCs {
public:
    static long Live() noexcept { return live_.load(); }
    static void Count([[maybe_unused]] HDC dc, [[maybe_unused]] int delta) noexcept {
#ifdef TAVRIN_COUNT_HANDLES
        if (dc)
            live_ += delta;
#endif
    }

private:
    static inline std::atomic<long> live_{0};
};

// Releases a DC obtained with GetDC/GetWindowDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd, bool wholeWindow = false) noexcept
        : hwnd_(hwnd), dc_(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {
        LiveDCs::Count(dc_, +1);
    }
    ~WindowDC() {
        LiveDCs::Count(dc_, -1);
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) noexcept : hwnd_(hwnd) {
        dc_ = BeginPaint(hwnd, &ps_);
        LiveDCs::Count(dc_, +1);
    }
    ~PaintDC() {
        LiveDCs::Count(dc_, -1);
        EndPaint(hwnd_, &ps_);
    }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Restores the object a SelectObject replaced.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace toolkit
