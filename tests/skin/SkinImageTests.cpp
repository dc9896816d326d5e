// Skin pictures decoded for real by GDI+ under the test program's own resources.
#include "skin/SkinImage.h"
#include "support/GdiplusScope.h"
#include "support/WindowPixels.h"
#include "support/WineTest.h"
#include "skin_ids.h"

#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class SkinImageTest : public ::testing::Test {
protected:
    GdiplusScope gdiplus;
};

std::wstring ResourcePng(const char* name) {
    return WinePathFromUnix((std::string(VELKOR_SOURCE_UNIX_DIR) + "/res/" + name).c_str());
}

}  // namespace

TEST_F(SkinImageTest, DecodedPixelsAreKeyedBlendedAndKeepTheirOrientation) {
    ASSERT_TRUE(gdiplus.Ok());
    // 3 x 2 ARGB picture, top row first.
    uint32_t argb[6] = {0x80000000u, 0x0000FF00u, 0xFFFF00FFu,
                        0xFF0A141Eu, 0xC8646464u, 0x00000000u};
    Gdiplus::GpBitmap* image = nullptr;
    ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromScan0(3, 2, 12, PixelFormat32bppARGB,
                                                             reinterpret_cast<BYTE*>(argb), &image),
              Gdiplus::Ok);
    fw::UniqueBitmap bmp(PngToKeyedBitmap(image, SKIN_KEY_COLOUR));
    Gdiplus::DllExports::GdipDisposeImage(image);
    ASSERT_NE(bmp.Get(), nullptr);

    DIBSECTION ds = {};
    ASSERT_EQ(GetObjectW(bmp.Get(), sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_GT(ds.dsBmih.biHeight, 0) << "bottom-up section";
    // Memory order: the last source row first; the fourth byte carries no alpha.
    const uint32_t* raw = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(raw[0], 0x000A141Eu);
    EXPECT_EQ(raw[3], 0x007F7F7Fu);

    Pixels p = BitmapPixels(bmp.Get());
    EXPECT_EQ(p.At(0, 0), RGB(127, 127, 127)) << "alpha 128 on black";
    EXPECT_EQ(p.At(1, 0), SKIN_KEY_COLOUR) << "alpha 0 whatever its colour";
    EXPECT_EQ(p.At(2, 0), SKIN_KEY_COLOUR) << "opaque magenta";
    EXPECT_EQ(p.At(0, 1), RGB(10, 20, 30));
    EXPECT_EQ(p.At(1, 1), RGB(133, 133, 133)) << "alpha 200 on grey 100";
    EXPECT_EQ(p.At(2, 1), SKIN_KEY_COLOUR);
}

TEST_F(SkinImageTest, EverySkinResourceLoadsWithItsFrameLayout) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    struct Expect { UINT id; int frames; };
    const Expect all[] = {
        {IDB_LOGIN_BACKGROUND, 1}, {IDB_DIALOG_BACKGROUND, 1}, {IDB_CLOSE_BUTTON, 4}, {IDB_PUSH_BUTTON, 4},
        {IDB_MAIN_BACKGROUND, 1}, {IDB_MAXIMIZE_BUTTON, 4}, {IDB_MINIMIZE_BUTTON, 4}, {IDB_RESTORE_BUTTON, 4},
        {IDB_HIDE_BUTTON, 4}, {IDB_SYSTEM_BUTTON, 4}, {IDB_TAB_BACKGROUND, 3}, {IDB_TAB_CLOSE, 3},
        {IDB_ADD_ACCOUNT_ICON, 1}, {IDB_NOTICE_BACKGROUND, 1}, {IDB_NOTICE_CLOSE, 4},
        {IDB_NOTICE_PICTURE_CLOSE, 4}, {IDB_NOTICE_PICTURE_BACKGROUND, 1}, {IDB_NOTICE_TEXT_BACKGROUND, 1},
        {IDB_SOUND_MUTED, 4}, {IDB_SOUND_ON, 4}, {IDB_PROGRESS_BACKGROUND, 1}, {IDB_PROGRESS_BAR, 1},
        {IDB_ADD_ACCOUNT_BACKGROUND, 1},
    };
    for (const Expect& e : all) {
        fw::UniqueBitmap bmp(LoadSkinImage(self, e.id));
        ASSERT_NE(bmp.Get(), nullptr) << "resource " << e.id;
        BITMAP bm = {};
        GetObjectW(bmp.Get(), sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth % e.frames, 0) << "resource " << e.id;
    }
    // Sizes the windows are built around.
    fw::UniqueBitmap tabs(LoadSkinImage(self, IDB_TAB_BACKGROUND));
    Pixels t = BitmapPixels(tabs.Get());
    EXPECT_EQ(t.w, 3 * 189);
    EXPECT_EQ(t.h, 22);
    fw::UniqueBitmap system(LoadSkinImage(self, IDB_SYSTEM_BUTTON));
    EXPECT_EQ(BitmapPixels(system.Get()).w, 4 * 44);
    fw::UniqueBitmap tabClose(LoadSkinImage(self, IDB_TAB_CLOSE));
    EXPECT_EQ(BitmapPixels(tabClose.Get()).h, 13);

    // A background's corner is cut (magenta) and its body is not.
    fw::UniqueBitmap bg(LoadSkinImage(self, IDB_DIALOG_BACKGROUND));
    Pixels p = BitmapPixels(bg.Get());
    EXPECT_EQ(p.At(0, 0), SKIN_KEY_COLOUR);
    EXPECT_EQ(p.At(p.w - 1, p.h - 1), SKIN_KEY_COLOUR);
    EXPECT_NE(p.At(p.w / 2, p.h / 2), SKIN_KEY_COLOUR);
    EXPECT_NE(p.At(p.w / 2, 0), SKIN_KEY_COLOUR) << "only the corners are cut";

    EXPECT_EQ(LoadSkinImage(self, 150), nullptr) << "no such picture";
    EXPECT_EQ(LoadSkinImage(self, 9999), nullptr);
}

TEST_F(SkinImageTest, LoginBackgroundCarriesSoftAlphaEdges) {
    // The login background keeps real alpha for its layered window: decode it directly.
    HINSTANCE self = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(IDB_LOGIN_BACKGROUND), L"PNG");
    ASSERT_NE(res, nullptr);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, SizeofResource(self, res));
    memcpy(GlobalLock(mem), LockResource(LoadResource(self, res)), SizeofResource(self, res));
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(mem, TRUE, &stream), S_OK);
    Gdiplus::GpBitmap* image = nullptr;
    ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &image), Gdiplus::Ok);
    UINT w = 0, h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(image, &w);
    Gdiplus::DllExports::GdipGetImageHeight(image, &h);
    int opaque = 0, clear = 0, partial = 0;
    for (UINT y = 0; y < h; y += 3) {
        for (UINT x = 0; x < w; x += 3) {
            Gdiplus::ARGB c = 0;
            Gdiplus::DllExports::GdipBitmapGetPixel(image, static_cast<INT>(x), static_cast<INT>(y), &c);
            int a = static_cast<int>(c >> 24);
            if (a == 255) ++opaque; else if (a == 0) ++clear; else ++partial;
        }
    }
    Gdiplus::DllExports::GdipDisposeImage(image);
    stream->Release();
    EXPECT_GT(opaque, 0);
    EXPECT_GT(clear, 0);
    EXPECT_GT(partial, 500) << "a soft shadow, not a hard cut-out";
}

TEST_F(SkinImageTest, ImageFilesAreDrawnOntoWhiteAndReportTheirSize) {
    int w = -1, h = -1;
    fw::UniqueBitmap file(LoadImageFile(ResourcePng("skin_133_push_button.png").c_str(), &w, &h));
    ASSERT_NE(file.Get(), nullptr);
    EXPECT_EQ(w, 304);
    EXPECT_EQ(h, 26);
    Pixels p = BitmapPixels(file.Get());
    EXPECT_EQ(p.At(0, 0), RGB(255, 255, 255)) << "transparent corner comes out white";
    fw::UniqueBitmap keyed(LoadSkinImage(GetModuleHandleW(nullptr), IDB_PUSH_BUTTON));
    Pixels k = BitmapPixels(keyed.Get());
    EXPECT_EQ(k.At(0, 0), SKIN_KEY_COLOUR);
    EXPECT_EQ(p.At(38, 13), k.At(38, 13)) << "opaque parts as in the resource";

    w = h = -1;
    EXPECT_EQ(LoadImageFile(L"C:\\no\\such\\picture.jpg", &w, &h), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST_F(SkinImageTest, PlainBitmapResourcesAreReturnedUnconverted) {
    // The common controls carry their toolbar pictures as BITMAP resources (id 120 is the
    // small standard set): such a resource comes back as it is, not colour-keyed.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    HBITMAP plain = LoadBitmapW(comctl, MAKEINTRESOURCEW(120));
    if (!plain) GTEST_SKIP() << "no BITMAP resource 120 in this comctl32";
    fw::UniqueBitmap reference(plain);
    fw::UniqueBitmap loaded(LoadSkinImage(comctl, 120));
    ASSERT_NE(loaded.Get(), nullptr);
    Pixels a = BitmapPixels(reference.Get()), b = BitmapPixels(loaded.Get());
    ASSERT_EQ(a.w, b.w);
    ASSERT_EQ(a.h, b.h);
    EXPECT_EQ(a.px, b.px);
    DIBSECTION ds = {};
    EXPECT_NE(GetObjectW(loaded.Get(), sizeof(ds), &ds), static_cast<int>(sizeof(ds)))
        << "a device bitmap from LoadBitmap, not the loader's 32-bit section";
}
