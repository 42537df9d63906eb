// The tray images at the display scale: loaded at the shell's small-icon size,
// and loaded again, with one image sent to the shell, when that size changes.
#include <gtest/gtest.h>

#include <vector>

#include "TrayTestSupport.h"

namespace {

using tray_test::SpyShell;
using tray_test::TrayLayout;

struct Picture {
    int size = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB, top row first
    std::vector<bool> clear;    // transparent by the mask
    DWORD At(int x, int y) const { return pixels[y * size + x] & 0xFFFFFF; }
};

Picture Read(HICON icon) {
    ICONINFO info{};
    Picture p;
    if (!GetIconInfo(icon, &info))
        return p;
    toolkit::UniqueGdi<HBITMAP> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectA(colour.get(), sizeof bm, &bm);
    p.size = bm.bmWidth;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, p.size, -p.size, 1, 32};
    p.pixels.resize(p.size * p.size);
    std::vector<DWORD> maskPixels(p.pixels.size());
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, colour.get(), 0, p.size, p.pixels.data(), &bi, DIB_RGB_COLORS);
    GetDIBits(dc, mask.get(), 0, p.size, maskPixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (DWORD m : maskPixels)
        p.clear.push_back((m & 0xFFFFFF) != 0);
    return p;
}

// Whether the picture is the glyph drawn for its size: a fill of about the
// colour low in the body, a black outline left of it, clear corners.
void ExpectGlyph(const Picture& p, DWORD fill, const char* what) {
    ASSERT_GT(p.size, 0) << what;
    const int y = p.size * 3 / 4, x = p.size / 2;
    EXPECT_FALSE(p.clear[y * p.size + x]) << what;
    for (int shift : {16, 8, 0})  // 16-bit colour keeps 5 or 6 bits per channel
        EXPECT_NEAR(static_cast<int>(p.At(x, y) >> shift & 0xFF), static_cast<int>(fill >> shift & 0xFF), 8) << what;
    int left = x;
    while (left > 0 && !p.clear[y * p.size + left - 1] && p.At(left - 1, y) != 0)
        --left;
    ASSERT_GT(left, 0) << what << ": no outline left of the fill";
    EXPECT_FALSE(p.clear[y * p.size + left - 1]) << what;
    EXPECT_TRUE(p.clear[0]) << what << ": top corner";
    EXPECT_TRUE(p.clear.back()) << what << ": bottom corner";
}

TEST(TrayIconScale, ImagesStartAtTheShellsSmallIconSize) {
    SpyShell shell;
    TrayLayout form(&shell);
    const int size = GetSystemMetrics(SM_CXSMICON);
    EXPECT_EQ(form.trayIcon.ImageSize(), size);
    EXPECT_EQ(form.trayImages.Width(), size);
    form.trayIcon.SetIconResource(GetModuleHandleA(nullptr), app::kTrayIcon);
    EXPECT_EQ(Read(form.trayIcon.Icon()).size, size);
    form.trayIcon.SetIconIndex(1);
    const Picture shown = Read(form.trayIcon.Icon());
    EXPECT_EQ(shown.size, size);
    ExpectGlyph(shown, 0xFFFF00, "yellow state");
}

struct ScaleCase {
    int size;
    int index;  // the state shown; -1 for the stored icon
    DWORD fill;
};

class TrayIconScaleChange : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(TrayIconScaleChange, ANewSizeReloadsTheImagesAndSendsTheShownOneOnce) {
    const auto [size, index, fill] = GetParam();
    SpyShell shell;
    TrayLayout form(&shell);
    form.trayIcon.SetIconResource(GetModuleHandleA(nullptr), app::kTrayIcon);
    if (index >= 0)
        form.trayIcon.SetIconIndex(index);
    const HIMAGELIST before = form.trayImages.Handle();
    shell.calls.clear();

    form.trayIcon.SetImageSize(size);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].message, ui::NotifyMessage::Modify);
    EXPECT_TRUE(shell.calls[0].result);
    EXPECT_EQ(shell.calls[0].record.hIcon, reinterpret_cast<uintptr_t>(form.trayIcon.Icon()));
    EXPECT_EQ(form.trayIcon.IconIndex(), index);
    EXPECT_NE(form.trayImages.Handle(), before);
    EXPECT_EQ(form.trayImages.Count(), 3);
    const Picture shown = Read(form.trayIcon.Icon());
    EXPECT_EQ(shown.size, size);
    ExpectGlyph(shown, fill, "shown image");

    form.trayIcon.SetImageSize(size);
    EXPECT_EQ(shell.calls.size(), 1u) << "the same size again sends nothing";
    // Every state made from the reloaded list has the new size too.
    for (int i = 0; i < 3; ++i) {
        form.trayIcon.SetIconIndex(i);
        EXPECT_EQ(Read(form.trayIcon.Icon()).size, size) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TrayIconScaleChange,
                         ::testing::Values(ScaleCase{20, 0, 0xFF0000}, ScaleCase{24, 1, 0xFFFF00},
                                           ScaleCase{32, 2, 0x00FF00}, ScaleCase{40, -1, 0xFF0000},
                                           ScaleCase{48, 2, 0x00FF00}),
                         [](const auto& info) { return std::to_string(info.param.size); });

}  // namespace
