// The settings window's caption help button and drop target, driven with real
// pointer input and real drop handles under Wine.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsWindowFixture.h"
#include "PointerInput.h"
#include "Screenshot.h"
#include "toolkit/Exceptions.h"
#include "ui/hook/MessageHook.h"

namespace {
using app::SettingsWindow;
using settings_window_test::SettingsWindowFixture;
using settings_window_test::kRunKey;
using settings_window_test::kSettingsKey;
using settings_window_test::CentreOf;
using settings_window_test::ClickAt;
using settings_window_test::MouseTo;
using settings_window_test::PumpFor;

void Button(DWORD flag) {
    settings_window_test::MouseButton(flag);
}

RECT WindowRectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class SettingsWindowCaption : public SettingsWindowFixture {
protected:
    // A screen point of the caption button, relative to its window-coordinate bounds.
    POINT OnButton(SettingsWindow& f, int dx, int dy) {
        const RECT w = WindowRectOf(f.Handle());
        const ui::PixelRect& b = f.helpButton.ButtonBounds();
        return {w.left + b.left + dx, w.top + b.top + dy};
    }
    bool InHelpMode(SettingsWindow& f) {
        return f.intelligentModeBox.Cursor() == toolkit::kHelpCursor && f.autostartBox.Cursor() == toolkit::kHelpCursor;
    }
};

TEST_F(SettingsWindowCaption, ButtonSitsLeftOfTheCloseBoxAndLooksLikeOne) {
    SettingsWindow& f = StartShown();
    const RECT w = WindowRectOf(f.Handle());
    const int width = w.right - w.left;
    EXPECT_EQ(f.helpButton.ButtonBounds(), (ui::PixelRect{width - 40, 6, width - 24, 20}));
    // Painted: the face colour inside it, the caption colour just left of it.
    HDC dc = GetWindowDC(f.Handle());
    const COLORREF face = GetPixel(dc, width - 40 + 3, 6 + 2);
    const COLORREF caption = GetPixel(dc, width - 60, 10);
    ReleaseDC(f.Handle(), dc);
    EXPECT_EQ(face, GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(caption, GetSysColor(COLOR_BTNFACE));
    settings_window_test::SaveScreenshot(f.Handle(), "settings-window-caption-active");
    // Inactive: another window takes the activation; the button is painted again.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    PumpFor(300);
    dc = GetWindowDC(f.Handle());
    EXPECT_EQ(GetPixel(dc, width - 40 + 3, 6 + 2), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(f.Handle(), dc);
    settings_window_test::SaveScreenshot(f.Handle(), "settings-window-caption-inactive");
    DestroyWindow(other);
}

TEST_F(SettingsWindowCaption, ACaptionChangeRepaintsTheButton) {
    SettingsWindow& f = StartShown();
    const int width = WindowRectOf(f.Handle()).right - WindowRectOf(f.Handle()).left;
    f.SetCaption("a much longer caption text that runs under the button");
    PumpFor(200);
    HDC dc = GetWindowDC(f.Handle());
    EXPECT_EQ(GetPixel(dc, width - 40 + 3, 6 + 2), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(f.Handle(), dc);
}

TEST_F(SettingsWindowCaption, PressShowsItDownAndReleaseEntersHelpModeOnce) {
    SettingsWindow& f = StartShown();
    int clicks = 0;
    f.helpButton.OnClick = [&](ui::CaptionButton&) {
        ++clicks;
        f.EnterHelpMode();
    };
    const RECT before = WindowRectOf(f.Handle());
    const POINT p = OnButton(f, 8, 7);
    MouseTo(p.x, p.y);
    Button(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(f.helpButton.Down());
    EXPECT_EQ(GetCapture(), f.Handle());
    settings_window_test::SaveScreenshot(f.Handle(), "settings-window-caption-pressed");
    Button(MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(f.helpButton.Down());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(InHelpMode(f));
    EXPECT_NE(GetCapture(), f.Handle());
    EXPECT_TRUE(SameRect(before, WindowRectOf(f.Handle())));
}

TEST_F(SettingsWindowCaption, PressesThatMustNotClickOrMoveTheWindow) {
    SettingsWindow& f = StartShown();
    struct Case {
        const char* what;
        int downX, downY;  // relative to the button's top-left
        int upX, upY;      // where the pointer is released
    } cases[] = {
        {"dragged off the button", 8, 7, -60, 60},
        {"dragged along the caption", 8, 7, -80, 0},
        {"last column", 15, 7, 15, 7},
        {"second-to-last column", 14, 7, 14, 7},
        {"last row", 8, 13, 8, 13},
        {"second-to-last row", 8, 12, 8, 12},
    };
    for (const Case& c : cases) {
        f.intelligentModeBox.SetCursor(toolkit::kDefaultCursor);
        f.autostartBox.SetCursor(toolkit::kDefaultCursor);
        const RECT before = WindowRectOf(f.Handle());
        const POINT down = OnButton(f, c.downX, c.downY);
        MouseTo(down.x, down.y);
        Button(MOUSEEVENTF_LEFTDOWN);
        MouseTo(down.x + (c.upX - c.downX) / 2, down.y + (c.upY - c.downY) / 2);
        MouseTo(down.x + c.upX - c.downX, down.y + c.upY - c.downY);
        Button(MOUSEEVENTF_LEFTUP);
        EXPECT_FALSE(InHelpMode(f)) << c.what;
        EXPECT_TRUE(SameRect(before, WindowRectOf(f.Handle()))) << c.what << ": the window moved";
        EXPECT_FALSE(f.helpButton.Down()) << c.what;
    }
}

// A help-mode click explains the box and changes nothing: the box keeps its
// state, nothing is stored, the buttons stay as they were.
TEST_F(SettingsWindowCaption, HelpModeClickKeepsEitherBoxAsItWas) {
    struct Case {
        int box;  // 1 or 2
        bool checked;
    } cases[] = {{1, false}, {1, true}, {2, false}, {2, true}};
    for (const Case& c : cases) {
        SetDword(kSettingsKey, "Inteligens", c.box == 1 && c.checked ? 1 : 0);
        if (c.box == 2 && c.checked)
            SetString(kRunKey, "Tavrin2", exePath);
        else
            SetString(kRunKey, "Tavrin2", "");
        SettingsWindow& f = StartShown();
        toolkit::CheckBox& box = c.box == 1 ? f.intelligentModeBox : f.autostartBox;
        ASSERT_EQ(box.Checked(), c.checked);
        const auto intelligent = Value(kSettingsKey, "Inteligens");
        const auto run = Value(kRunKey, "Tavrin2");
        const bool button1 = f.addButton.Enabled();
        const std::string what = "CheckBox" + std::to_string(c.box) + (c.checked ? " checked" : " unchecked");

        const POINT p = OnButton(f, 8, 7);
        ClickAt(p.x, p.y);
        ASSERT_TRUE(InHelpMode(f)) << what;
        const POINT b = CentreOf(box.Handle());
        ClickAt(b.x, b.y);
        EXPECT_EQ(box.Checked(), c.checked) << what;
        EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), c.checked ? BST_CHECKED : BST_UNCHECKED) << what;
        EXPECT_EQ(f.intelligentModeBox.Cursor(), toolkit::kDefaultCursor) << what;
        EXPECT_EQ(f.autostartBox.Cursor(), toolkit::kDefaultCursor) << what;
        EXPECT_EQ(Value(kSettingsKey, "Inteligens"), intelligent) << what;
        EXPECT_EQ(Value(kRunKey, "Tavrin2"), run) << what;
        EXPECT_EQ(f.addButton.Enabled(), button1) << what;
        EXPECT_TRUE(errors.empty()) << what;

        // The next click acts normally.
        ClickAt(b.x, b.y);
        EXPECT_EQ(box.Checked(), !c.checked) << what;
        if (c.box == 1)
            EXPECT_EQ(Value(kSettingsKey, "Inteligens"), std::make_pair(DWORD{REG_DWORD}, Dword(c.checked ? 0 : 1)));
        else
            EXPECT_EQ(Value(kRunKey, "Tavrin2").first, c.checked ? 0u : DWORD{REG_SZ}) << what;
        form.reset();
    }
}

// ---- Drops -------------------------------------------------------------------------

// A drop as the shell builds it, in this process (a drop handle is memory of
// the process that receives it).
HDROP MakeDrop(const std::vector<std::string>& names, POINT pt = {12, 34}) {
    size_t size = sizeof(DROPFILES) + 2;  // the list ends with an empty name
    for (const std::string& n : names)
        size += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = pt;
    drop->fWide = FALSE;
    char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool Released(HDROP drop) {
    return GlobalFlags(drop) == GMEM_INVALID_HANDLE;
}

class SettingsWindowDrop : public SettingsWindowFixture {};

TEST_F(SettingsWindowDrop, TheCaptionShowsTheDroppedNamesAsCommaText) {
    const std::string longName = "C:\\" + std::string(200, 'n') + "\\file.exe";
    struct Case {
        std::vector<std::string> names;
        std::string caption;
    } cases[] = {
        {{"C:\\tools\\app.exe"}, "C:\\tools\\app.exe"},
        {{"C:\\Program Files\\app.exe"}, "\"C:\\Program Files\\app.exe\""},
        {{"C:\\a.exe", "C:\\b c\\d.exe", "C:\\folder"}, "C:\\a.exe,\"C:\\b c\\d.exe\",C:\\folder"},
        {{"C:\\say\"hi\".txt"}, "\"C:\\say\"\"hi\"\".txt\""},
        {{"C:\\\xE1rv\xEDzt\xFBr\xF5;t\xFCk\xF6rf\xFAr\xF3g\xE9p's"}, "C:\\\xE1rv\xEDzt\xFBr\xF5;t\xFCk\xF6rf\xFAr\xF3g\xE9p's"},
        {{longName}, longName},
    };
    SettingsWindow& f = Start();
    f.Show();
    const int items = f.programList.Count();
    for (const Case& c : cases) {
        HDROP drop = MakeDrop(c.names);
        SendMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_EQ(f.Caption(), c.caption);
        EXPECT_EQ(f.dropTarget.Files(), c.names) << "the list holds this drop's names only";
        EXPECT_TRUE(Released(drop)) << c.caption;
    }
    // A drop with no names: Wine reports one empty name for it, which the
    // comma text writes as two quotes; a platform that reports none gives an
    // empty caption.
    HDROP empty = MakeDrop({});
    const UINT reported = DragQueryFileA(empty, 0xFFFFFFFF, nullptr, 0);
    SendMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(empty), 0);
    EXPECT_EQ(f.Caption(), reported ? "\"\"" : "");
    EXPECT_EQ(f.dropTarget.Files(), std::vector<std::string>(reported, ""));

    EXPECT_EQ(f.programList.Count(), items) << "a drop changed the program list";
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsWindowDrop, HandlerGetsTheDropPointAndTheFormNeverSeesTheMessage) {
    SettingsWindow& f = Start();
    POINT got{};
    f.dropTarget.OnDrop = [&](ui::DropTarget&, POINT pos, std::vector<std::string>&) { got = pos; };
    int seen = 0;
    struct Counter {
        int* seen;
        bool Handle(toolkit::WindowMessage& m) {
            *seen += m.Msg == WM_DROPFILES;
            return false;
        }
    } counter{&seen};
    ui::AddMessageHook(&f, ui::MakeMessageHandler<&Counter::Handle>(&counter), ui::MessageHookPlace::After);
    SendMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\x"}, {77, 88})), 0);
    EXPECT_EQ(got.x, 77);
    EXPECT_EQ(got.y, 88);
    EXPECT_EQ(seen, 0);
    ui::RemoveMessageHook(&f, ui::MakeMessageHandler<&Counter::Handle>(&counter), ui::MessageHookPlace::After);
}

TEST_F(SettingsWindowDrop, TheDropIsReleasedWhenTheHandlerFails) {
    SettingsWindow& f = Start();
    f.dropTarget.OnDrop = [](ui::DropTarget&, POINT, std::vector<std::string>&) {
        throw toolkit::Exception("drop failed");
    };
    HDROP drop = MakeDrop({"C:\\x", "C:\\y"});
    SendMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_TRUE(Released(drop));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "drop failed");
}

TEST_F(SettingsWindowDrop, TheWindowIsADropTargetOnlyWhileAccepting) {
    SettingsWindow& f = Start();
    EXPECT_TRUE(GetWindowLongA(f.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(f.dropTarget.Hooked());
    f.dropTarget.SetAcceptDrag(false);
    EXPECT_FALSE(GetWindowLongA(f.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(f.dropTarget.Hooked());
    // Not hooked: the drop goes to the window's own handling, which ignores it.
    f.SetCaption("Tavrin2");
    HDROP drop = MakeDrop({"C:\\x"});
    SendMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(f.Caption(), "Tavrin2");
    DragFinish(drop);
}

}  // namespace
