// The skinned static text and the picture progress bar drawn for real in a skinned dialog.
#include "skin/DlgEx.h"
#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "support/GdiplusScope.h"
#include "support/WindowPixels.h"
#include "skin_ids.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class PlainSkinDlg : public CDlgEx {
public:
    PlainSkinDlg() : CDlgEx(IDD_SKIN_MESSAGEBOX) {}
protected:
    bool OnInitDialog() override {
        CDlgEx::OnInitDialog();
        SkinFrame frame;
        frame.captionHeight = 30;
        frame.borderWidth = 4;
        SetFrame(frame);
        SetWindowPos(m_hWnd, nullptr, 100, 100, 360, 240, SWP_NOZORDER | SWP_NOACTIVATE);
        SkinPictures pictures;
        pictures.background.Reset(LoadSkinImage(GetModuleHandleW(nullptr), IDB_DIALOG_BACKGROUND));
        pictures.stretch = true;
        SetSkin(std::move(pictures));
        return true;
    }
};

class SkinControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.CreateModeless(nullptr));
        ShowWindow(dlg, SW_SHOWNOACTIVATE);
        PumpPending();
    }
    void TearDown() override { dlg.Destroy(); }
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    GdiplusScope gdiplus;
    PlainSkinDlg dlg;
};

SIZE Measure(HFONT font, const wchar_t* text, int count) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, count, &r, DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right, r.bottom};
}

int DarkPixels(const Pixels& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (ColourNear(p.At(x, y), RGB(0, 0, 0), 100)) ++n;
    return n;
}

int ClientHeight(HWND h) {
    RECT r = {};
    GetClientRect(h, &r);
    return r.bottom;
}

}  // namespace

TEST_F(SkinControlTest, StaticWrapsAtLineFeedsAndGrowsToFit) {
    CStaticEx label;
    HWND hwnd = Child(L"STATIC", L"你好\r\n世界", 0, 20, 50, 200, 8);
    ASSERT_TRUE(label.Subclass(hwnd));
    EXPECT_EQ(label.Text(), L"你好\r\n世界");
    UpdateWindow(hwnd);
    ASSERT_NE(label.Font(), nullptr) << "built on the first paint";
    const int L = Measure(label.Font(), L"测试用汉字来获取宽度", 11).cy;
    ASSERT_GT(L, 8);
    EXPECT_EQ(ClientHeight(hwnd), 2 * L + 3);

    Pixels shot = CaptureWindow(dlg);
    EXPECT_GT(DarkPixels(shot, 20, 50, 220, 50 + L), 10) << "first line";
    EXPECT_GT(DarkPixels(shot, 20, 50 + L + 3, 220, 50 + 2 * L + 3), 10) << "second line";
    // Around the text the dialog's own picture shows through.
    EXPECT_EQ(shot.At(215, 52), shot.At(225, 52));
}

TEST_F(SkinControlTest, NarrowStaticBreaksBetweenCharactersAndEnds) {
    CStaticEx probe;
    HWND first = Child(L"STATIC", L"汉", 0, 20, 50, 200, 30);
    ASSERT_TRUE(probe.Subclass(first));
    UpdateWindow(first);
    ASSERT_NE(probe.Font(), nullptr);
    SIZE all = Measure(probe.Font(), L"测试用汉字来获取宽度", 11);
    const int average = all.cx / 11, L = all.cy;
    const int charWidth = Measure(probe.Font(), L"汉", 1).cx;
    ASSERT_LE(average, charWidth);

    // Room for one CJK character (at least one average character): one character a line.
    CStaticEx narrow;
    HWND hwnd = Child(L"STATIC", L"汉字汉", 0, 40, 90, charWidth, 5);
    ASSERT_TRUE(narrow.Subclass(hwnd));
    UpdateWindow(hwnd);
    EXPECT_EQ(ClientHeight(hwnd), 3 * L + 2 * 3) << "one character on each line, and the layout ended";

    // Narrower than an average character: nothing is drawn and nothing grows.
    CStaticEx tiny;
    HWND small = Child(L"STATIC", L"汉字", 0, 80, 90, average - 1, 5);
    ASSERT_TRUE(tiny.Subclass(small));
    UpdateWindow(small);
    EXPECT_EQ(ClientHeight(small), 5);
}

TEST_F(SkinControlTest, ProgressFillsFromBothEndsOfTheBarPicture) {
    // Background: 220 x 20 grey; bar: 200 x 10 whose red channel counts its columns.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bi.bmiHeader.biWidth = 220;
    bi.bmiHeader.biHeight = -20;
    fw::UniqueBitmap background(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    for (int i = 0; i < 220 * 20; ++i) static_cast<uint32_t*>(bits)[i] = 0x404040;
    bi.bmiHeader.biWidth = 200;
    bi.bmiHeader.biHeight = -10;
    fw::UniqueBitmap bar(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 200; ++x) static_cast<uint32_t*>(bits)[y * 200 + x] = (x << 16) | 0x6432;

    CImgProgress progress;
    HWND hwnd = Child(PROGRESS_CLASSW, L"", 0, 30, 120, 100, 8);
    ASSERT_TRUE(progress.Subclass(hwnd));
    progress.SetProgressImages(std::move(background), std::move(bar));
    RECT r = {};
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, 220);
    EXPECT_EQ(r.bottom, 20);
    EXPECT_EQ(progress.BarRect().left, 10);
    EXPECT_EQ(progress.BarRect().top, 5);

    SendMessageW(hwnd, PBM_SETRANGE32, 0, 100);
    SendMessageW(hwnd, PBM_SETPOS, 50, 0);
    Pixels shot = CaptureWindow(dlg);
    const int x0 = 30 + 10, y = 120 + 5 + 4;
    for (int i = 0; i < 50; ++i) EXPECT_EQ(shot.At(x0 + i, y), RGB(i, 0x64, 0x32)) << "column " << i;
    for (int i = 50; i < 100; ++i)
        EXPECT_EQ(shot.At(x0 + i, y), RGB(i + 100, 0x64, 0x32)) << "column " << i;
    for (int i = 100; i < 200; i += 7) EXPECT_EQ(shot.At(x0 + i, y), RGB(0x40, 0x40, 0x40)) << "column " << i;
    EXPECT_EQ(shot.At(x0 + 5, 120 + 2), RGB(0x40, 0x40, 0x40)) << "above the bar: background";

    SendMessageW(hwnd, PBM_SETPOS, 0, 0);
    shot = CaptureWindow(dlg);
    EXPECT_EQ(shot.At(x0, y), RGB(0x40, 0x40, 0x40)) << "empty at 0";
    SendMessageW(hwnd, PBM_SETPOS, 100, 0);
    shot = CaptureWindow(dlg);
    EXPECT_EQ(shot.At(x0, y), RGB(0, 0x64, 0x32));
    EXPECT_EQ(shot.At(x0 + 199, y), RGB(199, 0x64, 0x32)) << "full: the whole bar picture";
}

TEST_F(SkinControlTest, ProgressImagesOfTheSkinFitTogether) {
    CImgProgress progress;
    HWND hwnd = Child(PROGRESS_CLASSW, L"", 0, 10, 100, 100, 8);
    ASSERT_TRUE(progress.Subclass(hwnd));
    HINSTANCE self = GetModuleHandleW(nullptr);
    progress.SetProgressImages(fw::UniqueBitmap(LoadSkinImage(self, IDB_PROGRESS_BACKGROUND)),
                               fw::UniqueBitmap(LoadSkinImage(self, IDB_PROGRESS_BAR)));
    const RECT& bar = progress.BarRect();
    EXPECT_GE(bar.left, 1);
    EXPECT_GE(bar.top, 1);
    EXPECT_LE(bar.right, progress.ControlRect().right - 1) << "the bar fits inside the trough";
    EXPECT_LE(bar.bottom, progress.ControlRect().bottom - 1);
}

TEST_F(SkinControlTest, StaticDrawsItsImageAndHoverColour) {
    CStaticEx link;
    HWND hwnd = Child(L"STATIC", L"登录其他账号", SS_NOTIFY, 40, 60, 140, 20);
    ASSERT_TRUE(link.Subclass(hwnd));
    Pixels iconPixels;
    {
        fw::UniqueBitmap icon(LoadSkinImage(GetModuleHandleW(nullptr), IDB_ADD_ACCOUNT_ICON));
        iconPixels = BitmapPixels(icon.Get());
        link.SetStaticImage(icon.Get());
    }  // the label keeps its own copy
    EXPECT_EQ(link.ImageSize().cx, iconPixels.w);
    link.SetTextColour(RGB(0, 0, 0));
    link.SetHoverColour(RGB(22, 122, 235));

    Pixels shot = CaptureWindow(dlg);
    const int iy = (20 - iconPixels.h) / 2;
    // The icon's centre at x = 3, vertically centred.
    EXPECT_EQ(shot.At(40 + 3 + iconPixels.w / 2, 60 + iy + iconPixels.h / 2),
              iconPixels.At(iconPixels.w / 2, iconPixels.h / 2));
    // The text starts right of the icon and 6 pixels of space.
    const int textLeft = 40 + iconPixels.w + 6;
    EXPECT_EQ(DarkPixels(shot, 40 + 3 + iconPixels.w, 60, textLeft, 80), 0);
    EXPECT_GT(DarkPixels(shot, textLeft, 60, 180, 80), 10);

    auto bluePixels = [&](const Pixels& p) {
        int n = 0;
        for (int y = 60; y < 80; ++y)
            for (int x = textLeft; x < 180; ++x)
                if (ColourNear(p.At(x, y), RGB(22, 122, 235), 40)) ++n;
        return n;
    };
    EXPECT_EQ(bluePixels(shot), 0);
    SendMessageW(hwnd, WM_MOUSEHOVER, 0, 0);
    EXPECT_GT(bluePixels(CaptureWindow(dlg)), 10) << "hover colour";
    SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bluePixels(CaptureWindow(dlg)), 0);

    // The cursor message is always reported as handled.
    EXPECT_TRUE(SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST_F(SkinControlTest, ADisabledButtonDrawsItsTextInTheSystemGreyText) {
    CBtnEx button;
    HWND hwnd = Child(L"BUTTON", L"确定确定确定", BS_PUSHBUTTON, 40, 60, 160, 30);
    ASSERT_TRUE(button.Subclass(hwnd));
    button.SetTextColour(RGB(200, 0, 0));
    auto inkOf = [&](COLORREF colour) {
        InvalidateRect(hwnd, nullptr, TRUE);
        PumpPending();
        const Pixels shot = CaptureWindow(dlg);
        int n = 0;
        for (int y = 60; y < 90; ++y)
            for (int x = 40; x < 200; ++x) n += ColourNear(shot.At(x, y), colour, 24);
        return n;
    };
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const int greyBefore = inkOf(grey);
    EXPECT_GT(inkOf(RGB(200, 0, 0)), 10) << "enabled: its own colour";
    EnableWindow(hwnd, FALSE);
    EXPECT_EQ(inkOf(RGB(200, 0, 0)), 0);
    EXPECT_GT(inkOf(grey), greyBefore + 10) << "disabled: the system's grey text";
}
