// Class registration and creation of the hidden helper windows.
#include "toolkit/HiddenWindow.h"

#include "toolkit/Exceptions.h"

namespace toolkit {

HWND CreateHiddenWindow(const char* className, WNDPROC procedure, HWND parent, DWORD style, void* createParam) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // Registered once per module: a class outlives the windows made of it.
    if (!GetClassInfoExA(module, className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = module;
        wc.lpszClassName = className;
        RegisterClassExA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, className, "", style, 0, 0, 0, 0, parent, nullptr, module, createParam);
    if (!hwnd)
        throw toolkit::OutOfResourcesError("Error creating window");
    return hwnd;
}

LRESULT HiddenWindowDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace toolkit
