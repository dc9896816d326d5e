// An off-screen drawing surface: a memory DC with a bitmap selected into it, released in
// one place. Controls draw a whole picture into one and copy it out in a single block.
#pragma once
#include "framework/Handles.h"

#include <optional>

namespace fw {

class Canvas {
public:
    // A bitmap compatible with `reference` (the screen when null), width x height.
    Canvas(HDC reference, int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc.Get(); }
    operator HDC() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool Ok() const { return m_dc && m_bitmap; }

    // Copies the whole surface to (x, y) of `target`.
    void CopyTo(HDC target, int x = 0, int y = 0) const;

private:
    int m_nWidth = 0, m_nHeight = 0;
    UniqueDc m_dc;
    UniqueBitmap m_bitmap;
    // Declared last, so undone first: the bitmap leaves the DC before either is deleted.
    std::optional<SelectObjectScope> m_selection;
};

// A memory DC holding an existing bitmap for reading (the bitmap stays the caller's).
class BitmapDC {
public:
    BitmapDC(HDC reference, HBITMAP bitmap);
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    operator HDC() const { return m_dc.Get(); }

private:
    UniqueDc m_dc;
    std::optional<SelectObjectScope> m_selection;
};

// Width and height of a bitmap; zeros for none.
SIZE BitmapSize(HBITMAP bitmap);

} // namespace fw
