#include "support/WindowPixels.h"
#include "support/MessagePump.h"

#include <cstdio>
#include <cstdlib>

namespace testing_support {

COLORREF Pixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return CLR_INVALID;
    uint32_t p = px[static_cast<size_t>(y) * w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

namespace {
Pixels ReadDc(HDC source, int x, int y, int w, int h) {
    Pixels out;
    if (w <= 0 || h <= 0) return out;
    HDC mem = CreateCompatibleDC(source);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (mem && section && bits) {
        HGDIOBJ old = SelectObject(mem, section);
        BitBlt(mem, 0, 0, w, h, source, x, y, SRCCOPY);
        GdiFlush();
        out.w = w;
        out.h = h;
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        out.px.assign(p, p + static_cast<size_t>(w) * h);
        for (uint32_t& v : out.px) v &= 0x00FFFFFF;
        SelectObject(mem, old);
    }
    if (section) DeleteObject(section);
    if (mem) DeleteDC(mem);
    return out;
}
} // namespace

Pixels CaptureWindow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();
    RECT r = {};
    GetWindowRect(hwnd, &r);
    HDC dc = GetWindowDC(hwnd);
    Pixels p = ReadDc(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(hwnd, dc);
    return p;
}

Pixels CaptureScreen(const RECT& r) {
    HDC dc = GetDC(nullptr);
    Pixels p = ReadDc(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, dc);
    return p;
}

Pixels BitmapPixels(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return {};
    HDC screen = GetDC(nullptr);
    HDC src = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(src, bitmap);
    Pixels p = ReadDc(src, 0, 0, bm.bmWidth, abs(bm.bmHeight));
    SelectObject(src, old);
    DeleteDC(src);
    ReleaseDC(nullptr, screen);
    return p;
}

bool SaveBmp(const Pixels& p, const std::wstring& path) {
    if (p.Empty()) return false;
    const int stride = (p.w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = p.w;
    ih.biHeight = p.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * p.h);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&ih, sizeof(ih), 1, f);
    std::vector<unsigned char> row(static_cast<size_t>(stride));
    for (int y = p.h - 1; y >= 0; --y) {
        for (int x = 0; x < p.w; ++x) {
            uint32_t v = p.px[static_cast<size_t>(y) * p.w + x];
            row[x * 3] = v & 0xFF;
            row[x * 3 + 1] = (v >> 8) & 0xFF;
            row[x * 3 + 2] = (v >> 16) & 0xFF;
        }
        fwrite(row.data(), 1, row.size(), f);
    }
    fclose(f);
    return true;
}

bool ColourNear(COLORREF a, COLORREF b, int tolerance) {
    if (a == CLR_INVALID || b == CLR_INVALID) return false;
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}


} // namespace testing_support
