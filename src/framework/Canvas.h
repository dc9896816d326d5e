// An off-screen drawing surface: a memory DC with a bitmap selected into it, released in
// one place. Controls draw a whole picture into one and copy it out in a single block.
#pragma once
#include <windows.h>

namespace fw {

class Canvas {
public:
    // A bitmap compatible with `reference` (the screen when null), width x height.
    Canvas(HDC reference, int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    HBITMAP Bitmap() const { return m_hBitmap; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool Ok() const { return m_hDC && m_hBitmap; }

    // Copies the whole surface to (x, y) of `target`.
    void CopyTo(HDC target, int x = 0, int y = 0) const;

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_nWidth = 0, m_nHeight = 0;
};

// A memory DC holding an existing bitmap for reading (the bitmap stays the caller's).
class BitmapDC {
public:
    BitmapDC(HDC reference, HBITMAP bitmap);
    ~BitmapDC();
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    operator HDC() const { return m_hDC; }
private:
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

// Width and height of a bitmap; zeros for none.
SIZE BitmapSize(HBITMAP bitmap);

} // namespace fw
