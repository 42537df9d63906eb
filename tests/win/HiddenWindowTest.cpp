// The hidden helper windows: class registered once, message-only or top-level
// as asked, never visible, and a refused creation reported as an error.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "toolkit/Exceptions.h"
#include "toolkit/HiddenWindow.h"

namespace {

void* seenCreateParam = nullptr;
int firstProcedureCalls = 0;

LRESULT CALLBACK FirstProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        seenCreateParam = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams;
    if (message == WM_APP)
        ++firstProcedureCalls;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SecondProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK RefusingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        return FALSE;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(HiddenWindow, ParentAndStyleMakeAMessageOnlyOrAHiddenTopLevelWindow) {
    struct Case {
        const char* className;
        HWND parent;
        DWORD style;
        bool messageOnly;
    };
    const Case cases[] = {
        {"TavrinTestMessageOnly", HWND_MESSAGE, 0, true},
        {"TavrinTestTopLevel", nullptr, WS_POPUP, false},
    };
    for (const Case& c : cases) {
        int param = 0;
        seenCreateParam = nullptr;
        HWND hwnd = toolkit::CreateHiddenWindow(c.className, &FirstProcedure, c.parent, c.style, &param);
        ASSERT_NE(hwnd, nullptr) << c.className;
        EXPECT_EQ(seenCreateParam, &param) << c.className;
        EXPECT_FALSE(IsWindowVisible(hwnd)) << c.className;
        EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(c.style & WS_POPUP))
            << c.className;
        EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, c.className, nullptr) == hwnd, c.messageOnly) << c.className;
        EXPECT_EQ(GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow(), !c.messageOnly) << c.className;
        char name[64] = {};
        GetClassNameA(hwnd, name, sizeof name);
        EXPECT_STREQ(name, c.className);
        DestroyWindow(hwnd);
    }
}

TEST(HiddenWindow, TheClassIsRegisteredOnceAndKeepsItsFirstProcedure) {
    HWND first = toolkit::CreateHiddenWindow("TavrinTestShared", &FirstProcedure, HWND_MESSAGE, 0, nullptr);
    HWND second = toolkit::CreateHiddenWindow("TavrinTestShared", &SecondProcedure, HWND_MESSAGE, 0, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    firstProcedureCalls = 0;
    SendMessageA(second, WM_APP, 0, 0);
    EXPECT_EQ(firstProcedureCalls, 1) << "the second window is of the class registered first";
    DestroyWindow(first);
    DestroyWindow(second);
}

LRESULT CALLBACK HelperProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return toolkit::HiddenWindowDefault(hwnd, message, wParam, lParam);
}

TEST(HiddenWindow, ACloseRequestFromAnyoneLeavesItAndOtherMessagesGetTheDefault) {
    for (HWND parent : {HWND_MESSAGE, static_cast<HWND>(nullptr)}) {
        HWND hwnd = toolkit::CreateHiddenWindow("TavrinTestHelper", &HelperProcedure, parent, WS_POPUP, nullptr);
        ASSERT_NE(hwnd, nullptr);
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        SendMessageA(hwnd, WM_ENDSESSION, TRUE, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        EXPECT_TRUE(IsWindow(hwnd)) << "closed from outside";
        EXPECT_EQ(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), TRUE) << "no default handling";
        char text[8] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        EXPECT_STREQ(text, "x");
        DestroyWindow(hwnd);
    }
}

TEST(HiddenWindow, ARefusedCreationThrowsOutOfResources) {
    try {
        toolkit::CreateHiddenWindow("TavrinTestRefused", &RefusingProcedure, HWND_MESSAGE, 0, nullptr);
        FAIL() << "no exception";
    } catch (const toolkit::OutOfResourcesError& e) {
        EXPECT_EQ(e.Message(), "Error creating window");
    }
}

}  // namespace
