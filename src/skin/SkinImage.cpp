#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"

#include <objidl.h>
#include <gdiplus.h>
#include <cstdlib>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Keeps the image library started for the lifetime of one loader call; the application
// also keeps it started for its whole run, which makes these calls cheap.
class GdiplusScope {
public:
    GdiplusScope() {
        GdiplusStartupInput input;
        if (GdiplusStartup(&m_token, &input, nullptr) != Ok) m_token = 0;
    }
    ~GdiplusScope() {
        if (m_token) GdiplusShutdown(m_token);
    }
    GdiplusScope(const GdiplusScope&) = delete;
    GdiplusScope& operator=(const GdiplusScope&) = delete;
private:
    ULONG_PTR m_token = 0;
};

// Started once by the first LoadImageFile and shut down when the process exits.
ULONG_PTR g_fileLoaderToken = 0;
void ShutdownFileLoader() {
    if (g_fileLoaderToken) GdiplusShutdown(g_fileLoaderToken);
    g_fileLoaderToken = 0;
}

HBITMAP CreateSection(int width, int height, void** bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

HBITMAP PngToKeyedBitmap(GpBitmap* image, COLORREF key) {
    if (!image) return nullptr;
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    if (width == 0 || height == 0) return nullptr;

    void* bits = nullptr;
    HBITMAP section = CreateSection(static_cast<int>(width), static_cast<int>(height), &bits);
    if (!section || !bits) {
        if (section) DeleteObject(section);
        return nullptr;
    }
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data = {};
    if (GdipBitmapLockBits(image, &rect, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok ||
        !data.Scan0) {
        DeleteObject(section);
        return nullptr;
    }
    // The decoder's rows may be padded; gather them tightly for the conversion.
    std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        memcpy(&argb[static_cast<size_t>(y) * width], row, static_cast<size_t>(width) * 4);
    }
    GdipBitmapUnlockBits(image, &data);
    skin::ArgbToKeyedDib(argb.data(), static_cast<int>(width), static_cast<int>(height), key,
                         static_cast<uint32_t*>(bits));
    GdiFlush();
    return section;
}

HBITMAP LoadSkinImage(HINSTANCE module, UINT id) {
    GdiplusScope gdiplus;
    if (HBITMAP plain = LoadBitmapW(module, MAKEINTRESOURCEW(id))) return plain;

    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!res) return nullptr;
    HGLOBAL loaded = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || !size) return nullptr;

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || !stream) return nullptr;
    HBITMAP result = nullptr;
    ULONG written = 0;
    if (SUCCEEDED(stream->Write(bytes, size, &written)) && written == size) {
        GpBitmap* image = nullptr;
        if (GdipCreateBitmapFromStream(stream, &image) == Ok && image) {
            result = PngToKeyedBitmap(image, SKIN_KEY_COLOUR);
            if (!result) GdipCreateHBITMAPFromBitmap(image, &result, 0xFFFF00FF);
            GdipDisposeImage(image);
        }
    }
    stream->Release();
    return result;
}

HBITMAP LoadImageFile(const wchar_t* path, int* width, int* height) {
    if (width) *width = 0;
    if (height) *height = 0;
    if (!g_fileLoaderToken) {
        GdiplusStartupInput input;
        if (GdiplusStartup(&g_fileLoaderToken, &input, nullptr) != Ok) {
            g_fileLoaderToken = 0;
            return nullptr;
        }
        atexit(ShutdownFileLoader);
    }
    GpImage* image = nullptr;
    if (!path || GdipLoadImageFromFile(path, &image) != Ok || !image) return nullptr;
    UINT w = 0, h = 0;
    GdipGetImageWidth(image, &w);
    GdipGetImageHeight(image, &h);
    HBITMAP section = nullptr;
    if (w && h) {
        void* bits = nullptr;
        section = CreateSection(static_cast<int>(w), static_cast<int>(h), &bits);
        HDC dc = section ? CreateCompatibleDC(nullptr) : nullptr;
        if (dc) {
            HGDIOBJ old = SelectObject(dc, section);
            RECT all = {0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            GpGraphics* graphics = nullptr;
            if (GdipCreateFromHDC(dc, &graphics) == Ok && graphics) {
                GdipDrawImageRectI(graphics, image, 0, 0, static_cast<INT>(w), static_cast<INT>(h));
                GdipDeleteGraphics(graphics);
            }
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (width) *width = static_cast<int>(w);
        if (height) *height = static_cast<int>(h);
    }
    GdipDisposeImage(image);
    return section;
}
