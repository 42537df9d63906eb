// The benchmarks' baseline: the least a resident Win32 program does, a hidden
// window, a 100 ms timer that does nothing and a message loop; it ends when
// its window gets WM_CLOSE. Started and measured by bench/run_bench.py:
//   python3 bench/run_bench.py build/windows
#include <windows.h>

namespace {

constexpr char kWindowClass[] = "TavrinBenchBaseline";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd = CreateWindowExA(0, kWindowClass, "Baseline", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!hwnd || !SetTimer(hwnd, 1, 100, nullptr))
        return 1;
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
