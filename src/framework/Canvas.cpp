#include "framework/Canvas.h"

#include <cstdlib>

namespace fw {

Canvas::Canvas(HDC reference, int width, int height)
    : m_nWidth(width > 0 ? width : 1), m_nHeight(height > 0 ? height : 1) {
    std::optional<WindowDc> screen;
    if (!reference) reference = screen.emplace(nullptr).Get();
    m_dc.Reset(CreateCompatibleDC(reference));
    m_bitmap.Reset(CreateCompatibleBitmap(reference, m_nWidth, m_nHeight));
    if (Ok()) m_selection.emplace(m_dc.Get(), m_bitmap.Get());
}

void Canvas::CopyTo(HDC target, int x, int y) const {
    if (Ok()) BitBlt(target, x, y, m_nWidth, m_nHeight, m_dc.Get(), 0, 0, SRCCOPY);
}

BitmapDC::BitmapDC(HDC reference, HBITMAP bitmap) : m_dc(CreateCompatibleDC(reference)) {
    if (m_dc && bitmap) m_selection.emplace(m_dc.Get(), bitmap);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, abs(bm.bmHeight)};
}

} // namespace fw
