// The preview form's painting, read back in-process through WM_PRINTCLIENT,
// and the still that the shipped program carries.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "forms/application.h"
#include "saver_resources.h"
#include "win32_preview_form.h"
#include "files.h"
#include "win_support.h"

namespace {

struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgr;  // rows from the top, 4 bytes a pixel (B, G, R, unused)
    const std::uint8_t* At(int x, int y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 4]; }
};

Pixels ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height)
{
    Pixels p;
    p.width = width;
    p.height = height;
    p.bgr.resize(static_cast<size_t>(width) * height * 4);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, height, p.bgr.data(), &info, DIB_RGB_COLORS);
    return p;
}

// The form's client area as it paints it.
Pixels PaintOf(forms::Form& form, int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, target);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageW(form.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    SelectObject(memory, previous);
    Pixels pixels = ReadBitmap(memory, target, width, height);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The still as rendered at build time (24-bit BMP, rows bottom-up).
std::string StillFile()
{
    return support::ReadWholeFile(win::UnixPathFromEnv("QV_PREVIEW_BITMAP"));
}

const std::uint8_t* StillAt(const std::string& bmp, int x, int y)
{
    return reinterpret_cast<const std::uint8_t*>(bmp.data() + 54 + ((111 - y) * 152 + x) * 3);
}

bool SameColour(const std::uint8_t* painted, const std::uint8_t* still)
{
    return std::abs(painted[0] - still[0]) <= 2 && std::abs(painted[1] - still[1]) <= 2 &&
           std::abs(painted[2] - still[2]) <= 2;
}

TEST(PreviewForm, IsABlackBorderlessFormTitledPreviewWindow)
{
    PreviewForm form;
    ASSERT_TRUE(form.Load());
    char title[64] = {};
    GetWindowTextA(form.hwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Preview Window");
    const LONG style = GetWindowLongA(form.hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    EXPECT_FALSE(IsWindowVisible(form.hwnd())) << "hidden until shown";
    EXPECT_EQ(form.BackColour(), RGB(0, 0, 0));
    EXPECT_TRUE(form.still.HasPicture());
}

TEST(PreviewForm, LargerHostShowsTheStillUnscaledFromTheTopLeftOnBlack)
{
    const std::string bmp = StillFile();
    ASSERT_EQ(bmp.size(), 54u + 152 * 112 * 3) << "QV_PREVIEW_BITMAP names the still";
    PreviewForm form;
    ASSERT_TRUE(form.Load());
    const int tx = forms::TwipsPerPixelX(), ty = forms::TwipsPerPixelY();
    form.Move(0, 0, 200 * tx, 150 * ty);
    form.still.MovePixels(0, 0, 200, 150);
    const Pixels painted = PaintOf(form, 200, 150);
    int mismatches = 0;
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 152; ++x) mismatches += SameColour(painted.At(x, y), StillAt(bmp, x, y)) ? 0 : 1;
    EXPECT_EQ(mismatches, 0) << "the still, pixel for pixel";
    for (auto [x, y] : {std::pair{152, 0}, std::pair{199, 149}, std::pair{0, 112}, std::pair{170, 60}}) {
        const std::uint8_t* p = painted.At(x, y);
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << "black beyond the still at " << x << "," << y;
    }
}

TEST(PreviewForm, SmallerHostShowsTheTopLeftPart)
{
    const std::string bmp = StillFile();
    ASSERT_EQ(bmp.size(), 54u + 152 * 112 * 3);
    PreviewForm form;
    ASSERT_TRUE(form.Load());
    form.Move(0, 0, 80 * forms::TwipsPerPixelX(), 60 * forms::TwipsPerPixelY());
    form.still.MovePixels(0, 0, 80, 60);
    const Pixels painted = PaintOf(form, 100, 80);
    int mismatches = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) mismatches += SameColour(painted.At(x, y), StillAt(bmp, x, y)) ? 0 : 1;
    EXPECT_EQ(mismatches, 0);
    const std::uint8_t* outside = painted.At(90, 70);
    EXPECT_EQ(outside[0] + outside[1] + outside[2], 255 * 3) << "nothing is painted beyond the form";
}

TEST(PreviewStill, TheShippedProgramCarriesTheRenderedStill)
{
    const std::string bmp = StillFile();
    ASSERT_EQ(bmp.size(), 54u + 152 * 112 * 3);
    const std::string scr = win::UnixPathFromEnv("QV_SHIPPED_SAVER");
    HMODULE shipped = LoadLibraryExA(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(shipped, nullptr) << scr;
    HBITMAP still = static_cast<HBITMAP>(
        LoadImageW(shipped, MAKEINTRESOURCEW(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(still, nullptr);
    BITMAP info;
    GetObjectW(still, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 152);
    EXPECT_EQ(info.bmHeight, 112);
    HDC screen = GetDC(nullptr);
    const Pixels pixels = ReadBitmap(screen, still, 152, 112);
    ReleaseDC(nullptr, screen);
    int mismatches = 0, lit = 0;
    for (int y = 0; y < 112; ++y) {
        for (int x = 0; x < 152; ++x) {
            mismatches += SameColour(pixels.At(x, y), StillAt(bmp, x, y)) ? 0 : 1;
            lit += (pixels.At(x, y)[0] | pixels.At(x, y)[1] | pixels.At(x, y)[2]) != 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(lit, 200) << "rings of spheres";
    EXPECT_LT(lit, 152 * 112 / 3) << "on black";
    const std::uint8_t* corner = pixels.At(0, 0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0);
    DeleteObject(still);
    FreeLibrary(shipped);
}

}  // namespace
