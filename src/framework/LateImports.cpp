// The functions of the libraries that the program loads on first use (framework/LateCall.h):
// the HTTP client (wininet), COM (ole32) and its automation types (oleaut32), the mixer
// (winmm) and the picture decoder (gdiplus). The headers declare the first four's functions
// as imports, called through a slot ("__imp_" plus the name, a pointer the loader would fill):
// this file defines each slot, pointing to a LateCall. GDI+'s are declared as plain functions,
// which this file defines, each forwarding to a LateCall. Either way the linker takes them from
// here and leaves the library out of the import table; scripts/check-late-imports.sh checks it.
// Like XpImports.cpp, the file goes into every executable that links the program's library.
#include "framework/LateCall.h"

#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>
#include <mmsystem.h>
#include <gdiplus.h>

#if defined(__MINGW32__)
namespace {

constexpr wchar_t kWinInet[] = L"wininet.dll";
constexpr wchar_t kOle32[] = L"ole32.dll";
constexpr wchar_t kOleAut32[] = L"oleaut32.dll";
constexpr wchar_t kWinMm[] = L"winmm.dll";
constexpr wchar_t kGdiplus[] = L"gdiplus.dll";

constexpr HRESULT kNoLibrary = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// Documented to set the type to VT_EMPTY and nothing more: no library is needed for that, and
// a variant left unset when the library is missing would be read as garbage.
void WINAPI InitVariant(VARIANTARG* variant) {
    if (variant) variant->vt = VT_EMPTY;
}

}  // namespace

// A WINAPI function's slot on 32-bit x86 carries a leading underscore and the size of its
// arguments, which no C++ name can spell: hence the assembler names, checked against the
// declaration's argument sizes.
#if defined(_WIN64)
#define VELKOR_SLOT(name, bytes) "__imp_" #name
#else
#define VELKOR_SLOT(name, bytes) "__imp__" #name "@" #bytes
#endif

#define VELKOR_LATE_SLOT(dll, name, bytes, fail)                                                               \
    namespace {                                                                                                \
    constexpr char kName_##name[] = #name;                                                                     \
    static_assert(sizeof(void*) == 8 || fw::LateCall<decltype(::name)>::kStackBytes == bytes,                  \
                  "argument bytes of " #name);                                                                 \
    }                                                                                                          \
    extern "C" decltype(&::name) velkorLateSlot_##name __asm__(VELKOR_SLOT(name, bytes));                      \
    decltype(&::name) velkorLateSlot_##name = &fw::LateCall<decltype(::name)>::Call<dll, kName_##name, fail>;

VELKOR_LATE_SLOT(kWinInet, InternetOpenW, 20, nullptr)
VELKOR_LATE_SLOT(kWinInet, InternetConnectW, 32, nullptr)
VELKOR_LATE_SLOT(kWinInet, HttpOpenRequestW, 32, nullptr)
VELKOR_LATE_SLOT(kWinInet, HttpSendRequestW, 20, FALSE)
VELKOR_LATE_SLOT(kWinInet, HttpQueryInfoW, 20, FALSE)
VELKOR_LATE_SLOT(kWinInet, InternetReadFile, 16, FALSE)
VELKOR_LATE_SLOT(kWinInet, InternetCloseHandle, 4, FALSE)
VELKOR_LATE_SLOT(kWinInet, FindFirstUrlCacheEntryW, 12, nullptr)
VELKOR_LATE_SLOT(kWinInet, FindNextUrlCacheEntryW, 12, FALSE)
VELKOR_LATE_SLOT(kWinInet, FindCloseUrlCache, 4, FALSE)
VELKOR_LATE_SLOT(kWinInet, DeleteUrlCacheEntryW, 4, FALSE)

VELKOR_LATE_SLOT(kOle32, CoInitializeEx, 8, kNoLibrary)
VELKOR_LATE_SLOT(kOle32, CoUninitialize, 0, 0)
VELKOR_LATE_SLOT(kOle32, CoCreateInstance, 20, kNoLibrary)
VELKOR_LATE_SLOT(kOle32, CreateStreamOnHGlobal, 12, kNoLibrary)
VELKOR_LATE_SLOT(kOle32, OleInitialize, 4, kNoLibrary)
VELKOR_LATE_SLOT(kOle32, OleUninitialize, 0, 0)

VELKOR_LATE_SLOT(kOleAut32, SysAllocString, 4, nullptr)
VELKOR_LATE_SLOT(kOleAut32, SysFreeString, 4, 0)
VELKOR_LATE_SLOT(kOleAut32, VariantClear, 4, kNoLibrary)

// The mixer's functions are also taken by address (the sound code keeps a table of them), which
// names the functions themselves: they are defined here too, under their system names.
#if defined(_WIN64)
#define VELKOR_FUNCTION(name, bytes) #name
#else
#define VELKOR_FUNCTION(name, bytes) "_" #name "@" #bytes
#endif
#define VELKOR_LATE_FUNCTION(dll, name, bytes, fail, params, args)                                             \
    namespace {                                                                                                \
    constexpr char kName_##name[] = #name;                                                                     \
    static_assert(sizeof(void*) == 8 || fw::LateCall<decltype(::name)>::kStackBytes == bytes,                  \
                  "argument bytes of " #name);                                                                 \
    }                                                                                                          \
    extern "C" MMRESULT WINAPI velkorLate_##name params __asm__(VELKOR_FUNCTION(name, bytes));                  \
    MMRESULT WINAPI velkorLate_##name params {                                                                 \
        return fw::LateCall<decltype(::name)>::Call<dll, kName_##name, fail> args;                           \
    }                                                                                                          \
    extern "C" decltype(&::name) velkorLateSlot_##name __asm__(VELKOR_SLOT(name, bytes));                      \
    decltype(&::name) velkorLateSlot_##name = velkorLate_##name;

VELKOR_LATE_FUNCTION(kWinMm, mixerOpen, 20, MMSYSERR_ERROR,
                     (LPHMIXER mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags),
                     (mixer, id, callback, instance, flags))
VELKOR_LATE_FUNCTION(kWinMm, mixerClose, 4, MMSYSERR_ERROR, (HMIXER mixer), (mixer))
VELKOR_LATE_FUNCTION(kWinMm, mixerGetLineInfoW, 12, MMSYSERR_ERROR, (HMIXEROBJ mixer, LPMIXERLINEW line, DWORD flags),
                     (mixer, line, flags))
VELKOR_LATE_FUNCTION(kWinMm, mixerGetLineControlsW, 12, MMSYSERR_ERROR,
                     (HMIXEROBJ mixer, LPMIXERLINECONTROLSW controls, DWORD flags), (mixer, controls, flags))
VELKOR_LATE_FUNCTION(kWinMm, mixerGetControlDetailsW, 12, MMSYSERR_ERROR,
                     (HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags), (mixer, details, flags))
VELKOR_LATE_FUNCTION(kWinMm, mixerSetControlDetails, 12, MMSYSERR_ERROR,
                     (HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags), (mixer, details, flags))

extern "C" decltype(&::VariantInit) velkorLateSlot_VariantInit __asm__(VELKOR_SLOT(VariantInit, 4));
decltype(&::VariantInit) velkorLateSlot_VariantInit = InitVariant;

// GDI+: the functions themselves.
namespace {
template <auto& Function, const char* Name, class... A>
Gdiplus::GpStatus LateGdiplus(A... args) {
    return fw::LateCall<std::remove_reference_t<decltype(Function)>>::template Call<kGdiplus, Name,
                                                                                   Gdiplus::Win32Error>(args...);
}
#define VELKOR_GDIP_NAME(name) constexpr char kName_##name[] = #name;
VELKOR_GDIP_NAME(GdiplusStartup)
VELKOR_GDIP_NAME(GdiplusShutdown)
VELKOR_GDIP_NAME(GdipCreateBitmapFromStream)
VELKOR_GDIP_NAME(GdipCreateHBITMAPFromBitmap)
VELKOR_GDIP_NAME(GdipBitmapLockBits)
VELKOR_GDIP_NAME(GdipBitmapUnlockBits)
VELKOR_GDIP_NAME(GdipCreateFromHDC)
VELKOR_GDIP_NAME(GdipDeleteGraphics)
VELKOR_GDIP_NAME(GdipDrawImageRectI)
VELKOR_GDIP_NAME(GdipLoadImageFromFile)
VELKOR_GDIP_NAME(GdipDisposeImage)
VELKOR_GDIP_NAME(GdipGetImageWidth)
VELKOR_GDIP_NAME(GdipGetImageHeight)
#undef VELKOR_GDIP_NAME
}  // namespace

namespace Gdiplus {
using namespace DllExports;

GpStatus WINGDIPAPI GdiplusStartup(ULONG_PTR* token, GDIPCONST GdiplusStartupInput* input,
                                   GdiplusStartupOutput* output) {
    return LateGdiplus<GdiplusStartup, kName_GdiplusStartup>(token, input, output);
}
VOID WINGDIPAPI GdiplusShutdown(ULONG_PTR token) {
    fw::LateCall<decltype(GdiplusShutdown)>::Call<kGdiplus, kName_GdiplusShutdown, 0>(token);
}

namespace DllExports {
GpStatus WINGDIPAPI GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) {
    return LateGdiplus<GdipCreateBitmapFromStream, kName_GdipCreateBitmapFromStream>(stream, bitmap);
}
GpStatus WINGDIPAPI GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* out, ARGB background) {
    return LateGdiplus<GdipCreateHBITMAPFromBitmap, kName_GdipCreateHBITMAPFromBitmap>(bitmap, out, background);
}
GpStatus WINGDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, GDIPCONST GpRect* rect, UINT flags, PixelFormat format,
                                       BitmapData* data) {
    return LateGdiplus<GdipBitmapLockBits, kName_GdipBitmapLockBits>(bitmap, rect, flags, format, data);
}
GpStatus WINGDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* data) {
    return LateGdiplus<GdipBitmapUnlockBits, kName_GdipBitmapUnlockBits>(bitmap, data);
}
GpStatus WINGDIPAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
    return LateGdiplus<GdipCreateFromHDC, kName_GdipCreateFromHDC>(dc, graphics);
}
GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics) {
    return LateGdiplus<GdipDeleteGraphics, kName_GdipDeleteGraphics>(graphics);
}
GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
    return LateGdiplus<GdipDrawImageRectI, kName_GdipDrawImageRectI>(graphics, image, x, y, width, height);
}
GpStatus WINGDIPAPI GdipLoadImageFromFile(GDIPCONST WCHAR* path, GpImage** image) {
    return LateGdiplus<GdipLoadImageFromFile, kName_GdipLoadImageFromFile>(path, image);
}
GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image) {
    return LateGdiplus<GdipDisposeImage, kName_GdipDisposeImage>(image);
}
GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width) {
    return LateGdiplus<GdipGetImageWidth, kName_GdipGetImageWidth>(image, width);
}
GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height) {
    return LateGdiplus<GdipGetImageHeight, kName_GdipGetImageHeight>(image, height);
}
}  // namespace DllExports
}  // namespace Gdiplus

#endif  // __MINGW32__
