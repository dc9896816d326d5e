#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"

#include <objidl.h>
#include <gdiplus.h>
#include <cstdlib>
#include <mutex>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The image library is started by the first picture decoded (not at start-up: the library is
// loaded on first use, and the first window shows before it decodes anything), then kept
// started until the process exits.
ULONG_PTR g_decoderToken = 0;
bool g_bDecoderStarted = false;
std::once_flag g_decoderOnce;

void ShutdownDecoder() {
    if (g_decoderToken) GdiplusShutdown(g_decoderToken);
    g_decoderToken = 0;
}

bool StartDecoder() {
    std::call_once(g_decoderOnce, [] {
        GdiplusStartupInput input;
        if (GdiplusStartup(&g_decoderToken, &input, nullptr) != Ok) {
            g_decoderToken = 0;
            return;
        }
        g_bDecoderStarted = true;
        atexit(ShutdownDecoder);
    });
    return g_bDecoderStarted;
}

fw::UniqueBitmap CreateSection(int width, int height, void** bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return fw::UniqueBitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
}

// One decoded picture, disposed of with its holder.
class DecodedImage {
public:
    explicit DecodedImage(GpImage* image) : m_image(image) {}
    ~DecodedImage() {
        if (m_image) GdipDisposeImage(m_image);
    }
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
    GpImage* Get() const { return m_image; }

private:
    GpImage* m_image = nullptr;
};

// Decodes a "PNG" resource; null when there is none or it does not decode. The image
// library must be started.
GpBitmap* DecodePngResource(HINSTANCE module, UINT id) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!res) return nullptr;
    HGLOBAL loaded = LoadResource(module, res);
    const DWORD size = SizeofResource(module, res);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || !size) return nullptr;
    fw::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) || !stream) return nullptr;
    ULONG written = 0;
    if (FAILED(stream->Write(bytes, size, &written)) || written != size) return nullptr;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream.Get(), &bitmap) != Ok) return nullptr;
    return bitmap;
}

// Opaque magenta as the image library writes colours (0xAARRGGBB).
constexpr ARGB kOpaqueKeyArgb = 0xFFFF00FF;

} // namespace

HBITMAP PngToKeyedBitmap(GpBitmap* image, COLORREF key) {
    if (!image) return nullptr;
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    if (width == 0 || height == 0) return nullptr;

    void* bits = nullptr;
    fw::UniqueBitmap section = CreateSection(static_cast<int>(width), static_cast<int>(height), &bits);
    if (!section || !bits) return nullptr;
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data = {};
    if (GdipBitmapLockBits(image, &rect, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok || !data.Scan0)
        return nullptr;
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
    return section.Release();
}

fw::UniqueImageList MakeKeyedImageList(HBITMAP picture, int frames) {
    SIZE size = fw::BitmapSize(picture);
    if (frames < 1 || size.cx < frames || size.cy < 1) return {};
    fw::UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy) return {};
    fw::UniqueImageList list(ImageList_Create(size.cx / frames, size.cy, ILC_COLOR24 | ILC_MASK, frames, 0));
    if (!list || ImageList_AddMasked(list.Get(), copy.Get(), SKIN_KEY_COLOUR) < 0) return {};
    return list;
}

HBITMAP LoadSkinImage(HINSTANCE module, UINT id) {
    if (HBITMAP plain = LoadBitmapW(module, MAKEINTRESOURCEW(id))) return plain;
    if (!StartDecoder()) return nullptr;
    GpBitmap* bitmap = DecodePngResource(module, id);
    if (!bitmap) return nullptr;
    DecodedImage image(bitmap);
    HBITMAP result = PngToKeyedBitmap(bitmap, SKIN_KEY_COLOUR);
    if (!result) GdipCreateHBITMAPFromBitmap(bitmap, &result, kOpaqueKeyArgb);
    return result;
}

HBITMAP LoadAlphaImage(HINSTANCE module, UINT id, SIZE* size) {
    if (size) *size = SIZE{0, 0};
    if (!StartDecoder()) return nullptr;
    GpBitmap* bitmap = DecodePngResource(module, id);
    if (!bitmap) return nullptr;
    DecodedImage image(bitmap);
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    if (!width || !height) return nullptr;
    void* bits = nullptr;
    fw::UniqueBitmap section = CreateSection(static_cast<int>(width), static_cast<int>(height), &bits);
    if (!section || !bits) return nullptr;
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data = {};
    // Layered windows take colours already multiplied by their alpha.
    if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat32bppPARGB, &data) != Ok || !data.Scan0)
        return nullptr;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        // The section is bottom-up.
        memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(height - 1 - y) * width * 4, row,
               static_cast<size_t>(width) * 4);
    }
    GdipBitmapUnlockBits(bitmap, &data);
    GdiFlush();
    if (size) *size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    return section.Release();
}

HBITMAP LoadImageFile(const wchar_t* path, int* width, int* height) {
    if (width) *width = 0;
    if (height) *height = 0;
    if (!StartDecoder()) return nullptr;
    GpImage* decoded = nullptr;
    if (!path || GdipLoadImageFromFile(path, &decoded) != Ok || !decoded) return nullptr;
    DecodedImage image(decoded);
    UINT w = 0, h = 0;
    GdipGetImageWidth(image.Get(), &w);
    GdipGetImageHeight(image.Get(), &h);
    if (!w || !h) return nullptr;
    void* bits = nullptr;
    fw::UniqueBitmap section = CreateSection(static_cast<int>(w), static_cast<int>(h), &bits);
    fw::UniqueDc dc(section ? CreateCompatibleDC(nullptr) : nullptr);
    if (dc) {
        fw::SelectObjectScope selectSection(dc.Get(), section.Get());
        RECT all = {0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GpGraphics* graphics = nullptr;
        if (GdipCreateFromHDC(dc.Get(), &graphics) == Ok && graphics) {
            GdipDrawImageRectI(graphics, image.Get(), 0, 0, static_cast<INT>(w), static_cast<INT>(h));
            GdipDeleteGraphics(graphics);
        }
    }
    if (width) *width = static_cast<int>(w);
    if (height) *height = static_cast<int>(h);
    return section.Release();
}
