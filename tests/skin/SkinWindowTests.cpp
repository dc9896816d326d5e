// Skinned dialogs and image buttons drawn for real: their pixels are read back from the
// window and compared with the skin pictures.
#include "skin/DlgEx.h"
#include "skin/SkinImage.h"
#include "support/GdiplusScope.h"
#include "support/HostState.h"
#include "support/WindowPixels.h"
#include "skin_ids.h"
#include "common/AsciiText.h"
#include "framework/Canvas.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace testing_support;

namespace {

const int kWidth = 320, kHeight = 200;

class SkinTestDlg : public CDlgEx {
public:
    SkinTestDlg() : CDlgEx(IDD_SKIN_MESSAGEBOX) {}
    bool makeResizable = false;
    bool noSkin = false;          // no SetSkin at all
    bool cornerStrips = false;    // maximise and restore strips with magenta corners
    int cancels = 0;
    bool swallowSysCommands = false;
    UINT sizedToPicture = 0;  // a picture id: copy mode, window sized to it, no caption buttons
    std::vector<WPARAM> sysCommands;
    using CDlgEx::PaintSkin;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // Sizing and moving loops wait for the real mouse; record what would start them.
        if (msg == WM_SYSCOMMAND && swallowSysCommands) {
            sysCommands.push_back(wParam);
            return 0;
        }
        return CDlgEx::HandleMessage(msg, wParam, lParam);
    }

    bool OnInitDialog() override {
        CDlgEx::OnInitDialog();
        SkinFrame frame;
        frame.captionHeight = 30;
        frame.borderWidth = 4;
        frame.buttonRightMargin = 0;
        frame.buttonTop = 0;
        frame.buttonGap = 0;
        SetWindowPos(m_hWnd, nullptr, 120, 110, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (noSkin) {
            SetFrame(frame);
            return true;
        }
        if (sizedToPicture) {
            frame.borderWidth = 3;
            frame.showTitle = false;
            SetFrame(frame);
            SkinPictures pictures;
            pictures.background.Reset(LoadSkinImage(GetModuleHandleW(nullptr), sizedToPicture));
            pictures.resizeToImage = true;
            SetSkin(std::move(pictures));
            return true;
        }
        SetFrame(frame);
        Reskin();
        frame.resizable = makeResizable;
        SetFrame(frame);
        SetTitle(L"Olvesk - Sevrith");
        return true;
    }

public:
    void Reskin() {
        HINSTANCE self = GetModuleHandleW(nullptr);
        // The buttons keep their own copies of these two.
        fw::UniqueBitmap close(LoadSkinImage(self, IDB_CLOSE_BUTTON));
        fw::UniqueBitmap minimize(LoadSkinImage(self, IDB_MINIMIZE_BUTTON));
        SkinPictures pictures;
        pictures.background.Reset(LoadSkinImage(self, IDB_DIALOG_BACKGROUND));
        pictures.stretch = true;
        pictures.close = close.Get();
        pictures.minimize = minimize.Get();
        pictures.maximize.Reset(cornerStrips ? CornerStrip(RGB(255, 0, 0)) : LoadSkinImage(self, IDB_MAXIMIZE_BUTTON));
        pictures.restore.Reset(cornerStrips ? CornerStrip(RGB(0, 0, 255)) : LoadSkinImage(self, IDB_RESTORE_BUTTON));
        SetSkin(std::move(pictures));
    }
    // A strip of four 24 x 20 frames of one colour, each with 3 x 3 magenta corners.
    static HBITMAP CornerStrip(COLORREF colour) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = 4 * 24;
        bi.bmiHeader.biHeight = -20;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        auto* px = static_cast<uint32_t*>(bits);
        const uint32_t body = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 4 * 24; ++x) {
                const int fx = x % 24;
                const bool corner = (fx < 3 || fx >= 21) && (y < 3 || y >= 17);
                px[y * 4 * 24 + x] = corner ? 0xFF00FFu : body;
            }
        return bmp;
    }
    void OnCancel() override {
        ++cancels;
        CDlgEx::OnCancel();
    }
};

class SkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE self = GetModuleHandleW(nullptr);
        HBITMAP bg = LoadSkinImage(self, IDB_DIALOG_BACKGROUND);
        picture = BitmapPixels(bg);
        DeleteObject(bg);
        HBITMAP close = LoadSkinImage(self, IDB_CLOSE_BUTTON);
        closeStrip = BitmapPixels(close);
        DeleteObject(close);
    }
    void Show(SkinTestDlg& dlg) {
        ASSERT_TRUE(dlg.CreateModeless(nullptr));
        ShowWindow(dlg, SW_SHOWNOACTIVATE);
        UpdateWindow(dlg);
        PumpPending();
    }
    GdiplusScope gdiplus;
    Pixels picture;     // the dialog background 131
    Pixels closeStrip;  // the close button strip 132
};

RECT ChildRect(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The dialog pictures (131 and 162) round their four corners alike: these pixels, counted
// from each corner, are magenta in the PNGs. A window cuts the same pixels from its corners.
std::set<std::pair<int, int>> RoundedCorners(int w, int h) {
    const std::pair<int, int> corner[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {0, 2}, {0, 3}};
    std::set<std::pair<int, int>> cuts;
    for (auto [dx, dy] : corner)
        cuts.insert({{dx, dy}, {w - 1 - dx, dy}, {dx, h - 1 - dy}, {w - 1 - dx, h - 1 - dy}});
    return cuts;
}

// Which pixels of the four 9 x 9 window corners the window region leaves out.
std::set<std::pair<int, int>> RegionCuts(HWND hwnd, int w, int h) {
    std::set<std::pair<int, int>> cuts;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hwnd, rgn) == ERROR) {
        DeleteObject(rgn);
        return cuts;
    }
    for (int y = 0; y < h; ++y) {
        if (y >= 9 && y < h - 9) continue;
        for (int x = 0; x < w; ++x) {
            if (x >= 9 && x < w - 9) continue;
            if (!PtInRegion(rgn, x, y)) cuts.insert({x, y});
        }
    }
    DeleteObject(rgn);
    return cuts;
}

}  // namespace

TEST_F(SkinWindowTest, DialogShowsCaptionBandTitleAndBody) {
    SkinTestDlg dlg;
    Show(dlg);
    Pixels shot = CaptureWindow(dlg);
    ASSERT_EQ(shot.w, kWidth);
    ASSERT_EQ(shot.h, kHeight);

    // The caption band is the picture's band, stretched sideways only.
    for (int y = 1; y < 30; ++y)
        EXPECT_EQ(shot.At(170, y), picture.At(picture.w / 2, y)) << "band row " << y;
    // The frame at the sides and the foot, copied from the picture's edges.
    EXPECT_EQ(shot.At(1, 100), picture.At(1, 60));
    EXPECT_EQ(shot.At(kWidth - 2, 100), picture.At(picture.w - 2, 60));
    EXPECT_EQ(shot.At(160, kHeight - 2), picture.At(picture.w / 2, picture.h - 2));
    EXPECT_TRUE(ColourNear(shot.At(160, 110), picture.At(picture.w / 2, 60), 10)) << "cream body";

    // White title text in the band's left part, none further right.
    int titlePixels = 0, strayPixels = 0;
    for (int y = 4; y < 28; ++y) {
        for (int x = 9; x < 140; ++x)
            if (ColourNear(shot.At(x, y), RGB(255, 255, 255), 60)) ++titlePixels;
        for (int x = 150; x < 220; ++x)
            if (ColourNear(shot.At(x, y), RGB(255, 255, 255), 60)) ++strayPixels;
    }
    EXPECT_GT(titlePixels, 40);
    EXPECT_EQ(strayPixels, 0);
    dlg.Destroy();
}

TEST_F(SkinWindowTest, OutlineIsCutFromTheCornerBlocksAtEverySize) {
    SkinTestDlg dlg;
    Show(dlg);
    std::set<std::pair<int, int>> cuts = RegionCuts(dlg, kWidth, kHeight);
    EXPECT_EQ(cuts, RoundedCorners(kWidth, kHeight));
    EXPECT_TRUE(cuts.count({316, 0}) && cuts.count({0, 196}) && cuts.count({318, 198}));

    SetWindowPos(dlg, nullptr, 0, 0, 500, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpPending();
    EXPECT_EQ(RegionCuts(dlg, 500, 260), RoundedCorners(500, 260));

    // What the player sees: a backdrop shows through the cut corner, not through the frame.
    RECT wr = {};
    GetWindowRect(dlg, &wr);
    HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                                    wr.left - 20, wr.top - 20, 540, 300, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Look at the dialog with a 10-pixel margin of backdrop around it.
    RECT around = {wr.left - 10, wr.top - 10, wr.right + 10, wr.bottom + 10};
    Pixels screen;
    // The X server composes asynchronously: look until the frame has arrived.
    PumpUntil([&] {
        screen = CaptureScreen(around);
        return screen.At(260, 25) == picture.At(picture.w / 2, 15);
    }, 3000);
    const COLORREF behind = screen.At(5, 5);
    EXPECT_NE(behind, picture.At(picture.w / 2, 0));
    EXPECT_EQ(screen.At(10, 10), behind) << "cut corner shows the window behind";
    EXPECT_EQ(screen.At(509, 269), behind);
    EXPECT_EQ(screen.At(260, 10), picture.At(picture.w / 2, 0)) << "outline row is the window's";
    EXPECT_EQ(screen.At(20, 10), picture.At(10, 0));
    EXPECT_EQ(screen.At(260, 25), picture.At(picture.w / 2, 15));
    DestroyWindow(backdrop);
    dlg.Destroy();
}

TEST_F(SkinWindowTest, CaptionButtonsStandAtTheRightAndFollowResizing) {
    SkinTestDlg dlg;
    Show(dlg);
    const int bw = closeStrip.w / 4, bh = closeStrip.h;
    RECT close = ChildRect(GetDlgItem(dlg, IDC_SKIN_CLOSE));
    RECT maximize = ChildRect(GetDlgItem(dlg, IDC_SKIN_MAXIMIZE));
    RECT minimize = ChildRect(GetDlgItem(dlg, IDC_SKIN_MINIMIZE));
    EXPECT_EQ(close.right, kWidth);
    EXPECT_EQ(close.top, 0);
    EXPECT_EQ(close.right - close.left, bw);
    EXPECT_EQ(close.bottom - close.top, bh);
    EXPECT_EQ(maximize.right, close.left);
    EXPECT_EQ(minimize.right, maximize.left);

    // The close button shows the strip's first frame.
    Pixels shot = CaptureWindow(dlg);
    for (int y = 2; y < bh - 1; y += 3)
        for (int x = 2; x < bw - 2; x += 3)
            EXPECT_EQ(shot.At(close.left + x, y), closeStrip.At(x, y)) << x << "," << y;

    SetWindowPos(dlg, nullptr, 0, 0, 450, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpPending();
    close = ChildRect(GetDlgItem(dlg, IDC_SKIN_CLOSE));
    minimize = ChildRect(GetDlgItem(dlg, IDC_SKIN_MINIMIZE));
    EXPECT_EQ(close.right, 450);
    EXPECT_EQ(close.top, 0);
    EXPECT_EQ(minimize.right, 450 - 2 * bw);
    dlg.Destroy();
}

TEST_F(SkinWindowTest, HitTestingDragsAndResizesTheWindow) {
    SkinTestDlg fixed;
    Show(fixed);
    RECT wr = {};
    GetWindowRect(fixed, &wr);
    auto hit = [](HWND h, const RECT& r, int x, int y) {
        return static_cast<int>(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)));
    };
    EXPECT_EQ(hit(fixed, wr, 100, 10), HTCAPTION);
    EXPECT_EQ(hit(fixed, wr, 1, 1), HTCAPTION) << "a fixed-size dialog has no resize border";
    EXPECT_EQ(hit(fixed, wr, 100, 100), HTCLIENT);
    fixed.Destroy();

    SkinTestDlg sizing;
    sizing.makeResizable = true;
    Show(sizing);
    GetWindowRect(sizing, &wr);
    EXPECT_EQ(hit(sizing, wr, 160, 1), HTTOP);
    EXPECT_EQ(hit(sizing, wr, 160, 3), HTCAPTION);
    EXPECT_EQ(hit(sizing, wr, 1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(sizing, wr, kWidth - 2, kHeight - 2), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(sizing, wr, 2, 100), HTLEFT);
    EXPECT_EQ(hit(sizing, wr, 160, 100), HTCLIENT);
    sizing.Destroy();
}

TEST_F(SkinWindowTest, MaximiseIsAPositionAndRestoreReturnsWhereTheUserLeftIt) {
    // A work area of 960 x 800 whose left edge is not the screen's: the first restore place
    // is an eighth of its size in from each side, its left and top counted from the screen's.
    struct WorkAreaScope {
        RECT saved = {};
        WorkAreaScope(RECT r) {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0);
            SystemParametersInfoW(SPI_SETWORKAREA, 0, &r, 0);
        }
        ~WorkAreaScope() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0); }
    } workArea(RECT{100, 0, 1060, 800});
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    ASSERT_EQ(wa.left, 100) << "the work area could not be set";
    ASSERT_EQ(wa.bottom, 800) << "the work area could not be set";
    SkinTestDlg dlg;
    dlg.makeResizable = true;
    Show(dlg);
    const RECT first = dlg.RestoreRect();
    EXPECT_EQ(first.left, 120);
    EXPECT_EQ(first.top, 100);
    EXPECT_EQ(first.right, 940);
    EXPECT_EQ(first.bottom, 700);
    EXPECT_EQ(dlg.MaximizedLimit().cx, 960);

    // The user moves the window; a press on its frame records where it now is.
    SetWindowPos(dlg, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(dlg, WM_NCLBUTTONDOWN, HTNOWHERE, MAKELPARAM(55, 65));
    EXPECT_EQ(dlg.RestoreRect().left, 50);
    EXPECT_EQ(dlg.RestoreRect().top, 60);

    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED), 0);
    RECT r = {};
    GetWindowRect(dlg, &r);
    EXPECT_TRUE(EqualRect(&r, &wa)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_TRUE(dlg.IsMaximized());
    EXPECT_FALSE(IsZoomed(dlg)) << "never the system's maximised state";
    EXPECT_EQ(SendMessageW(dlg, WM_NCHITTEST, 0, MAKELPARAM(wa.left + 100, wa.top + 1)), HTCLIENT)
        << "no resizing while maximised";
    RECT close = ChildRect(GetDlgItem(dlg, IDC_SKIN_CLOSE));
    EXPECT_EQ(close.right, wa.right - wa.left) << "caption buttons follow the new width";

    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED), 0);
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, kWidth);
    EXPECT_FALSE(dlg.IsMaximized());

    // A smaller limit centres the maximised window sideways.
    dlg.SetMaximizedLimit((wa.right - wa.left) - 200, dlg.MaximizedLimit().cy);
    dlg.OnSkinToggleMaximize();
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left, wa.left + 100);
    EXPECT_EQ(r.right, wa.right - 100);
    dlg.Destroy();
}

TEST_F(SkinWindowTest, CloseButtonClosesTheDialog) {
    SkinTestDlg dlg;
    Show(dlg);
    HWND hwnd = dlg;
    SendMessageW(GetDlgItem(hwnd, IDC_SKIN_CLOSE), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(dlg.cancels, 1);
}

namespace {

// A strip of four plain frames: red, green, blue, yellow, each with a magenta top-left pixel.
HBITMAP FourColourStrip(int frameW, int frameH) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = frameW * 4;
    bi.bmiHeader.biHeight = -frameH;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    auto* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < frameH; ++y)
        for (int x = 0; x < frameW * 4; ++x)
            px[y * frameW * 4 + x] = (x % frameW == 0 && y == 0) ? 0xFF00FF : colours[x / frameW];
    return bmp;
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kYellow = RGB(255, 255, 0);

}  // namespace

TEST_F(SkinWindowTest, ImageButtonDrawsTheFrameOfItsState) {
    SkinTestDlg dlg;
    Show(dlg);
    HBITMAP strip = FourColourStrip(40, 20);
    CBtnEx button;
    ASSERT_TRUE(CBtnEx::CreateImageButton(200, button, strip, 60, 1234, dlg));
    DeleteObject(strip);  // the button keeps its own frames
    RECT r = ChildRect(button);
    EXPECT_EQ(r.left, 160);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 20);

    auto centre = [&] { return CaptureWindow(dlg).At(180, 70); };
    EXPECT_EQ(centre(), kRed) << "normal";
    Pixels shot = CaptureWindow(dlg);
    EXPECT_NE(shot.At(160, 60), SKIN_KEY_COLOUR) << "the magenta corner shows the dialog";
    EXPECT_EQ(shot.At(160, 60), shot.At(150, 60)) << "... the same as beside the button";

    EnableWindow(button, FALSE);
    EXPECT_EQ(centre(), kYellow) << "disabled";
    EnableWindow(button, TRUE);
    EXPECT_EQ(centre(), kRed);

    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(centre(), kBlue) << "pressed";
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(centre(), kBlue) << "stays pressed until the mouse button is released";
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_EQ(centre(), kRed);

    SendMessageW(button, WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(centre(), kGreen) << "hovered";
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(centre(), kRed);
    dlg.Destroy();
}

TEST_F(SkinWindowTest, ImageButtonScalesItsFrameToATemplateButton) {
    SkinTestDlg dlg;
    Show(dlg);
    // A 60 x 30 button from elsewhere (as from a template), given 40 x 20 frames.
    HWND hwnd = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 80, 60, 30, dlg,
                                reinterpret_cast<HMENU>(1235), GetModuleHandleW(nullptr), nullptr);
    CBtnEx button;
    ASSERT_TRUE(button.Subclass(hwnd));
    HBITMAP strip = FourColourStrip(40, 20);
    button.SetButtonImage(strip, false);
    DeleteObject(strip);
    RECT r = ChildRect(button);
    EXPECT_EQ(r.right - r.left, 60) << "no resize";
    Pixels shot = CaptureWindow(dlg);
    EXPECT_EQ(shot.At(130, 95), kRed);
    EXPECT_EQ(shot.At(159, 109), kRed);
    EXPECT_EQ(shot.At(100, 80), shot.At(95, 80)) << "the scaled magenta corner stays transparent";

    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    fw::UniqueBitmap again(FourColourStrip(40, 20));
    button.SetButtonImage(again.Get(), true);
    r = ChildRect(button);
    EXPECT_EQ(r.right - r.left, 40) << "resize takes one frame's size";
    EXPECT_EQ(r.bottom - r.top, 20);

    // Laid out again by its owner: the frame fills the new size.
    SetWindowPos(hwnd, nullptr, 0, 0, 80, 40, SWP_NOMOVE | SWP_NOZORDER);
    shot = CaptureWindow(dlg);
    EXPECT_EQ(shot.At(100 + 79, 80 + 39), kRed);
    EXPECT_EQ(shot.At(100 + 40, 80 + 20), kRed);
    dlg.Destroy();
}


namespace {
// The text a caption button's tip shows once the mouse has rested on the button.
std::wstring HoverTip(const CBtnEx& button) {
    SendMessageW(button, WM_MOUSEHOVER, 0, 0);
    if (!button.Tooltip()) return L"<no tip>";
    wchar_t text[80] = {};
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = button;
    ti.uId = reinterpret_cast<UINT_PTR>(button.Handle());
    ti.lpszText = text;
    SendMessageW(button.Tooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    return text;
}
}  // namespace

TEST_F(SkinWindowTest, MaximiseButtonSwapsPictureAndTipWithTheState) {
    SkinTestDlg dlg;
    dlg.makeResizable = true;
    Show(dlg);
    HINSTANCE self = GetModuleHandleW(nullptr);
    HBITMAP maxBmp = LoadSkinImage(self, IDB_MAXIMIZE_BUTTON), restoreBmp = LoadSkinImage(self, IDB_RESTORE_BUTTON);
    Pixels maxStrip = BitmapPixels(maxBmp), restoreStrip = BitmapPixels(restoreBmp);
    DeleteObject(maxBmp);
    DeleteObject(restoreBmp);

    EXPECT_EQ(HoverTip(dlg.CloseButton()), L"关闭");
    EXPECT_EQ(HoverTip(dlg.MinimizeButton()), L"最小化");
    EXPECT_EQ(HoverTip(dlg.MaximizeButton()), L"最大化");
    EXPECT_EQ(SendMessageW(dlg.MaximizeButton().Tooltip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0), 660);

    // A double click on the caption maximises a resizable dialog.
    RECT wr = {};
    GetWindowRect(dlg, &wr);
    SendMessageW(dlg, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(wr.left + 100, wr.top + 10));
    EXPECT_TRUE(dlg.IsMaximized());
    EXPECT_EQ(HoverTip(dlg.MaximizeButton()), L"还原");
    RECT b = ChildRect(dlg.MaximizeButton());
    Pixels shot = CaptureWindow(dlg);
    // The glyph's middle row differs between the two pictures; the button shows the restore one.
    int same = 0, total = 0;
    for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 25; ++x) {
            ++total;
            if (shot.At(b.left + x, b.top + y) == restoreStrip.At(x, y)) ++same;
        }
    EXPECT_EQ(same, total) << "restore picture, frame 0";
    EXPECT_FALSE(dlg.MaximizeButton().IsHovering());

    // While maximised, a double click in the client's caption band restores.
    SendMessageW(dlg, WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 10));
    EXPECT_FALSE(dlg.IsMaximized());
    EXPECT_EQ(HoverTip(dlg.MaximizeButton()), L"最大化");
    shot = CaptureWindow(dlg);
    b = ChildRect(dlg.MaximizeButton());
    EXPECT_EQ(shot.At(b.left + 14, b.top + 12), maxStrip.At(14, 12));
    dlg.Destroy();
}

TEST_F(SkinWindowTest, PressesOnTheBorderStartSizingFromThatEdge) {
    SkinTestDlg dlg;
    dlg.makeResizable = true;
    dlg.swallowSysCommands = true;
    Show(dlg);
    const int codes[] = {HTLEFT, HTRIGHT, HTTOP, HTTOPLEFT, HTTOPRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT};
    for (int code : codes) SendMessageW(dlg, WM_NCLBUTTONDOWN, code, MAKELPARAM(10, 10));
    const std::vector<WPARAM> expected = {0xF001, 0xF002, 0xF003, 0xF004, 0xF005, 0xF006, 0xF007, 0xF008};
    EXPECT_EQ(dlg.sysCommands, expected);

    // The minimise button asks for the system's minimise.
    dlg.sysCommands.clear();
    SendMessageW(dlg.MinimizeButton(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !dlg.sysCommands.empty(); }));
    ASSERT_EQ(dlg.sysCommands.size(), 1u);
    EXPECT_EQ(dlg.sysCommands[0] & 0xFFF0, static_cast<WPARAM>(SC_MINIMIZE));
    dlg.Destroy();
}

TEST_F(SkinWindowTest, CopyModeShowsThePictureAsItIsAtItsOwnSize) {
    SkinTestDlg dlg;
    dlg.sizedToPicture = IDB_ADD_ACCOUNT_BACKGROUND;
    Show(dlg);
    HBITMAP bmp = LoadSkinImage(GetModuleHandleW(nullptr), IDB_ADD_ACCOUNT_BACKGROUND);
    Pixels pic = BitmapPixels(bmp);
    DeleteObject(bmp);
    Pixels shot = CaptureWindow(dlg);
    ASSERT_EQ(shot.w, pic.w);
    ASSERT_EQ(shot.h, pic.h);
    int differ = 0;
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x)
            if (pic.At(x, y) != SKIN_KEY_COLOUR && shot.At(x, y) != pic.At(x, y)) ++differ;
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(GetDlgItem(dlg, IDC_SKIN_CLOSE), nullptr) << "no caption buttons without pictures";
    ASSERT_EQ(pic.w, 284);
    ASSERT_EQ(pic.h, 150);
    EXPECT_EQ(RegionCuts(dlg, 284, 150), RoundedCorners(284, 150));
    dlg.Destroy();
}

TEST_F(SkinWindowTest, ImageButtonFollowsTheRealMouse) {
    SkinTestDlg dlg;
    Show(dlg);
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HBITMAP strip = FourColourStrip(40, 20);
    CBtnEx button;
    ASSERT_TRUE(CBtnEx::CreateImageButton(200, button, strip, 60, 1236, dlg));
    DeleteObject(strip);
    RECT wr = {};
    GetWindowRect(button, &wr);
    testing_support::PointerScope pointer;
    SetCursorPos(wr.left + 20, wr.top + 10);
    EXPECT_TRUE(PumpUntil([&] { return button.IsHovering(); }, 3000)) << "hover reported";
    EXPECT_EQ(CaptureWindow(dlg).At(180, 70), kGreen);

    SetCursorPos(wr.left + 20, wr.top + 100);
    EXPECT_TRUE(PumpUntil([&] { return !button.IsHovering() && !button.IsTracking(); }, 3000)) << "leave reported";
    EXPECT_EQ(CaptureWindow(dlg).At(180, 70), kRed);
    dlg.Destroy();
}

namespace {
// Tooltip windows of this thread, shown or not.
int ThreadTooltips() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM p) -> BOOL {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (text::EqualsNoCase(cls, TOOLTIPS_CLASSW)) ++*reinterpret_cast<int*>(p);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&n));
    return n;
}
}  // namespace

TEST_F(SkinWindowTest, MaximisePicturesKeepTheirSeeThroughCornersAfterToggling) {
    SkinTestDlg dlg;
    dlg.makeResizable = true;
    dlg.cornerStrips = true;
    Show(dlg);
    // Maximise, restore: the maximise strip is put into the button a second time.
    HWND button = GetDlgItem(dlg, IDC_SKIN_MAXIMIZE);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SKIN_MAXIMIZE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    const RECT b = ChildRect(button);
    ASSERT_EQ(b.right - b.left, 24);
    Pixels shot = CaptureWindow(dlg);
    ShowWindow(button, SW_HIDE);
    Pixels behind = CaptureWindow(dlg);
    EXPECT_EQ(shot.At(b.left + 12, b.top + 10), kRed) << "the maximise picture, frame 0";
    const POINT corners[] = {{0, 0}, {2, 2}, {23, 0}, {21, 2}, {0, 19}, {2, 17}, {23, 19}, {21, 17}};
    for (const POINT& c : corners) {
        EXPECT_EQ(shot.At(b.left + c.x, b.top + c.y), behind.At(b.left + c.x, b.top + c.y))
            << "corner pixel " << c.x << "," << c.y << " shows the dialog behind it";
    }
    dlg.Destroy();
}

TEST_F(SkinWindowTest, CaptionButtonsActOnClicksOnlyNotOnDoubleClicks) {
    SkinTestDlg dlg;
    dlg.makeResizable = true;
    dlg.swallowSysCommands = true;
    Show(dlg);
    auto notify = [&](int id, WORD code) {
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    };
    // A quick second click on an owner-drawn button arrives as a double-click notification.
    notify(IDC_SKIN_MAXIMIZE, BN_DOUBLECLICKED);
    notify(IDC_SKIN_CLOSE, BN_DOUBLECLICKED);
    notify(IDC_SKIN_MINIMIZE, BN_DOUBLECLICKED);
    PumpPending();
    EXPECT_FALSE(dlg.IsMaximized());
    EXPECT_TRUE(dlg.sysCommands.empty());

    notify(IDC_SKIN_MAXIMIZE, BN_CLICKED);
    EXPECT_TRUE(dlg.IsMaximized());
    notify(IDC_SKIN_CLOSE, BN_CLICKED);
    EXPECT_TRUE(PumpUntil([&] { return !dlg.sysCommands.empty(); }));
    ASSERT_EQ(dlg.sysCommands.size(), 1u);
    EXPECT_EQ(dlg.sysCommands[0] & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
    dlg.Destroy();
}

TEST_F(SkinWindowTest, CaptionButtonTipsGoWithTheirButtons) {
    const int before = ThreadTooltips();
    SkinTestDlg dlg;
    Show(dlg);
    const int skinned = ThreadTooltips();
    EXPECT_EQ(skinned, before + 3) << "one tip for each caption button";
    for (int i = 0; i < 3; ++i) dlg.Reskin();
    EXPECT_EQ(ThreadTooltips(), skinned) << "new buttons, no tips left behind";
    dlg.Destroy();
    EXPECT_EQ(ThreadTooltips(), before);
}

TEST_F(SkinWindowTest, WithoutABackgroundEraseDrawsNothing) {
    SkinTestDlg dlg;
    dlg.noSkin = true;
    Show(dlg);
    HWND child = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 60, 20, dlg,
                                 reinterpret_cast<HMENU>(1237), GetModuleHandleW(nullptr), nullptr);
    CBtnEx button;
    ASSERT_TRUE(button.Subclass(child));
    const COLORREF paper = RGB(12, 34, 56);
    for (HWND target : {dlg.Handle(), child}) {
        fw::Canvas surface(nullptr, 40, 30);
        RECT all = {0, 0, 40, 30};
        HBRUSH brush = CreateSolidBrush(paper);
        FillRect(surface, &all, brush);
        DeleteObject(brush);
        const LRESULT answer = SendMessageW(target, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.Dc()), 0);
        EXPECT_EQ(answer != 0, target == child) << "the dialog answers false, its controls true";
        int changed = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (GetPixel(surface, x, y) != paper) ++changed;
        EXPECT_EQ(changed, 0);
    }
    dlg.Destroy();
}
