// The tray icon, its image list, the tray menu and the application events,
// for real under Wine: its notification area, menus and application window.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Form.h"
#include "win/TrayTestSupport.h"

namespace {

using namespace tray_test;

struct Rgb {
    int r, g, b;
};

// The colour of pixel (x, y) of an icon's colour image, and whether its mask
// makes it transparent.
Rgb IconPixel(HICON icon, int x, int y, bool* transparent) {
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    toolkit::UniqueGdi<HBITMAP> colour(info.hbmColor), mask(info.hbmMask);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    DWORD pixels[16 * 16] = {};
    DWORD maskPixels[16 * 16] = {};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, colour.get(), 0, 16, pixels, &bi, DIB_RGB_COLORS);
    GetDIBits(dc, mask.get(), 0, 16, maskPixels, &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    *transparent = (maskPixels[y * 16 + x] & 0xFFFFFF) != 0;
    const DWORD p = pixels[y * 16 + x];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

using M = ui::NotifyMessage;

TEST(TrayIcon, StartRegistersTheMainIconThenShowsTheRedGlyph) {
    SpyShell shell;
    {
        TrayLayout form(&shell);
        ASSERT_GE(shell.calls.size(), 3u);
        EXPECT_EQ(shell.calls[0].message, M::Add);
        EXPECT_TRUE(shell.calls[0].result) << "the notification area took the icon";
        EXPECT_EQ(shell.calls[0].record.hIcon, reinterpret_cast<uintptr_t>(toolkit::Application::Instance().Icon()));
        EXPECT_EQ(shell.calls[0].record.uFlags, 0x17u);
        EXPECT_EQ(shell.calls[0].record.hWnd, reinterpret_cast<uintptr_t>(form.trayIcon.NotifyWindow()));
        // Wine's shell is 6.0: the balloon layout and a version call.
        EXPECT_EQ(shell.calls[0].record.cbSize, NOTIFYICONDATAA_V2_SIZE);
        EXPECT_EQ(shell.calls[1].message, M::SetVersion);
        EXPECT_TRUE(shell.calls[1].result);
        EXPECT_EQ(shell.calls[2].message, M::Modify);
        EXPECT_TRUE(shell.calls[2].result);
        EXPECT_EQ(shell.calls[2].record.hIcon, reinterpret_cast<uintptr_t>(SharedIcon(app::kTrayIcon)));
        EXPECT_EQ(shell.calls.size(), 3u) << "the -1 index sends nothing";
        EXPECT_EQ(form.trayIcon.IconIndex(), -1);
        EXPECT_STREQ(form.trayIcon.NotifyData().szTip, "");
        EXPECT_NE(form.trayIcon.ShellTrayHandle(), nullptr) << "Wine's tray window exists";
        bool transparent = false;
        const Rgb fill = IconPixel(form.trayIcon.Icon(), 8, 10, &transparent);
        EXPECT_FALSE(transparent);
        EXPECT_EQ(fill.r, 255);
        EXPECT_EQ(fill.g, 0);
        EXPECT_EQ(fill.b, 0);

        // The shell knows the icon: a second add with the same id is refused.
        shell.calls.clear();
        form.trayIcon.SetActive(true);
        ASSERT_FALSE(shell.calls.empty());
        EXPECT_FALSE(shell.calls[0].result);
        shell.calls.clear();
    }
    ASSERT_EQ(shell.calls.size(), 1u) << "destroying the layout unregisters";
    EXPECT_EQ(shell.calls[0].message, M::Delete);
    EXPECT_TRUE(shell.calls[0].result) << "the icon left the notification area";
}

TEST(TrayIcon, EachIndexShowsItsStateColourAndBadIndicesKeepTheImage) {
    SpyShell shell;
    TrayLayout form(&shell);
    ASSERT_EQ(form.trayImages.Count(), 3);
    const Rgb expected[] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}};
    for (int i = 0; i < 3; ++i) {
        shell.calls.clear();
        form.trayIcon.SetIconIndex(i);
        EXPECT_EQ(form.trayIcon.IconIndex(), i);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].message, M::Modify);
        EXPECT_TRUE(shell.calls[0].result);
        EXPECT_EQ(shell.calls[0].record.uFlags, 7u);
        EXPECT_EQ(shell.calls[0].record.hIcon, reinterpret_cast<uintptr_t>(form.trayIcon.Icon()));
        bool transparent = false;
        // 16-bit colour keeps 5 or 6 bits per channel.
        const Rgb fill = IconPixel(form.trayIcon.Icon(), 8, 10, &transparent);
        EXPECT_FALSE(transparent);
        EXPECT_NEAR(fill.r, expected[i].r, 8) << i;
        EXPECT_NEAR(fill.g, expected[i].g, 8) << i;
        EXPECT_NEAR(fill.b, expected[i].b, 8) << i;
        const Rgb outline = IconPixel(form.trayIcon.Icon(), 3, 8, &transparent);
        EXPECT_FALSE(transparent);
        EXPECT_EQ(outline.r + outline.g + outline.b, 0) << "black outline, image " << i;
        IconPixel(form.trayIcon.Icon(), 0, 0, &transparent);
        EXPECT_TRUE(transparent) << "corner of image " << i;
    }
    const HICON shown = form.trayIcon.Icon();
    shell.calls.clear();
    for (int bad : {3, -5, 100}) {
        form.trayIcon.SetIconIndex(bad);
        EXPECT_EQ(form.trayIcon.IconIndex(), -1) << bad;
    }
    EXPECT_EQ(form.trayIcon.Icon(), shown);
    EXPECT_TRUE(shell.calls.empty());

    form.trayIcon.SetIconIndex(2);
    EXPECT_TRUE(shell.calls.empty()) << "the image kept is the one chosen: nothing to send";
    EXPECT_EQ(form.trayIcon.IconIndex(), 2);
    form.trayIcon.SetIconIndex(1);
    form.trayIcon.SetIconIndex(1);
    ASSERT_EQ(shell.calls.size(), 1u) << "the index shown already is not sent again";
    EXPECT_TRUE(shell.calls[0].result);
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

TEST(TrayIcon, EachStateImageIsMadeOnceUntilTheListChangesAndTheShownOneOutlivesIt) {
    SpyShell shell;
    TrayLayout form(&shell);
    ui::TrayIcon& tray = form.trayIcon;
    const long start = toolkit::UniqueIcon::Live();
    tray.SetIconIndex(0);
    const HICON red = tray.Icon();
    tray.SetIconIndex(1);
    const HICON yellow = tray.Icon();
    shell.calls.clear();
    tray.SetIconIndex(0);
    tray.SetIconIndex(0);
    EXPECT_EQ(tray.Icon(), red) << "image 0 is not made again";
    EXPECT_EQ(toolkit::UniqueIcon::Live(), start + 2);
    ASSERT_EQ(shell.calls.size(), 1u) << "a modify per change of image";
    EXPECT_EQ(shell.calls[0].record.hIcon, reinterpret_cast<uintptr_t>(red));

    // A fourth image changes the count: the images are made again, and the
    // old ones go once the shell has the new image.
    form.trayImages.AddIconResource(GetModuleHandleA(nullptr), app::kTrayStateIcons[2]);
    tray.SetIconIndex(3);
    EXPECT_NE(tray.Icon(), red);
    EXPECT_NE(tray.Icon(), yellow);
    EXPECT_FALSE(IconAlive(red));
    EXPECT_FALSE(IconAlive(yellow));
    EXPECT_EQ(toolkit::UniqueIcon::Live(), start + 1);

    // Another list: the image shown stays alive until the next one is sent.
    toolkit::ImageList other(nullptr, "other");
    other.AddIconResource(GetModuleHandleA(nullptr), app::kTrayStateIcons[1]);
    const HICON shown = tray.Icon();
    tray.SetIcons(&other);
    EXPECT_EQ(tray.Icon(), shown);
    EXPECT_TRUE(IconAlive(shown)) << "the shell may still draw it";
    EXPECT_EQ(toolkit::UniqueIcon::Live(), start + 1);
    tray.SetIconIndex(0);
    EXPECT_NE(tray.Icon(), shown);
    EXPECT_FALSE(IconAlive(shown));
    EXPECT_EQ(toolkit::UniqueIcon::Live(), start + 1);
    tray.SetIcons(&form.trayImages);  // `other` goes first: the icon must not point at it
}

// The real shell behind a notification area that is not there yet (no
// taskbar window, every call refused) or that refuses adds for a while.
class LateShell : public ui::ShellPort {
public:
    bool NotifyIcon(ui::NotifyMessage message, const ui::NotifyRecord& record) override {
        adds += message == ui::NotifyMessage::Add ? 1 : 0;
        if (!taskbarUp)
            return false;
        if (message == ui::NotifyMessage::Add && addsToRefuse > 0) {
            --addsToRefuse;
            return false;
        }
        return real.NotifyIcon(message, record);
    }
    uintptr_t FindTaskbar() override { return taskbarUp ? real.FindTaskbar() : 0; }
    uint32_t ShellVersion() override { return real.ShellVersion(); }

    ui::Win32Shell real;
    bool taskbarUp = true;
    int addsToRefuse = 0;
    int adds = 0;
};

// Whether Wine's notification area holds the icon: only then does it accept a
// modify of it.
bool ShellHolds(const ui::TrayIcon& icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = icon.NotifyWindow();
    data.uID = 1;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST(TrayIcon, AnIconTheShellCouldNotTakeAtStartIsAddedAtAnImageChangeOnceItCan) {
    struct Case {
        const char* name;
        bool taskbarUp;    // at start
        int addsToRefuse;  // by the shell, from the start
    };
    reportedErrors.clear();
    const Case cases[] = {
        {"no taskbar at start, one appears later", false, 0},
        {"a shell that refuses adds for a while", true, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LateShell shell;
        shell.taskbarUp = c.taskbarUp;
        shell.addsToRefuse = c.addsToRefuse;
        TrayLayout form(&shell);
        EXPECT_TRUE(form.trayIcon.Active());
        EXPECT_FALSE(ShellHolds(form.trayIcon)) << "the shell has the icon already";

        // The engine's decisions go on choosing images; the shell comes round.
        for (int tick = 0; tick < 3; ++tick)
            form.trayIcon.SetIconIndex(tick % 3);
        EXPECT_FALSE(ShellHolds(form.trayIcon));
        shell.taskbarUp = true;
        shell.addsToRefuse = 0;
        for (int tick = 0; tick < 4 && !ShellHolds(form.trayIcon); ++tick)
            form.trayIcon.SetIconIndex(2);
        EXPECT_TRUE(ShellHolds(form.trayIcon)) << "the icon was not added once the shell took icons";

        // Registered now: further decisions only send the image.
        const int adds = shell.adds;
        form.trayIcon.SetIconIndex(1);
        form.trayIcon.SetIconIndex(0);
        EXPECT_EQ(shell.adds, adds);
    }
    EXPECT_TRUE(reportedErrors.empty());
}

SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

TEST(TrayIcon, TenThousandAssignmentsLeaveNoIconsOrMemoryBehind) {
    TrayLayout form(nullptr);  // the real shell: it copies every image sent
    for (int i = 0; i < 300; ++i)  // warm-up: caches of the shell and the heap settle
        form.trayIcon.SetIconIndex(i % 3);
    Pump();
    const long iconsBefore = toolkit::UniqueIcon::Live();
    const SIZE_T memoryBefore = WorkingSet();
    for (int i = 0; i < 10000; ++i) {
        form.trayIcon.SetIconIndex(i % 3);
        if (i % 500 == 0)
            Pump();
    }
    Pump();
    EXPECT_EQ(toolkit::UniqueIcon::Live(), iconsBefore);
    EXPECT_LE(toolkit::UniqueIcon::Live(), 3 + 1) << "the three state images and at most the stored icon";
    const SIZE_T memoryAfter = WorkingSet();
    // One leaked icon per assignment would be megabytes (two bitmaps each).
    EXPECT_LT(static_cast<long long>(memoryAfter) - static_cast<long long>(memoryBefore), 1024 * 1024)
        << "working set " << memoryBefore << " -> " << memoryAfter;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    toolkit::Application::Instance().Initialize(GetModuleHandleA(nullptr));
    // Errors are collected for the tests instead of being shown in a box.
    toolkit::SetExceptionHandler([](const std::string& message) { tray_test::reportedErrors.push_back(message); });
    return RUN_ALL_TESTS();
}
