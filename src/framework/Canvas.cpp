#include "framework/Canvas.h"

namespace fw {

Canvas::Canvas(HDC reference, int width, int height)
    : m_nWidth(width > 0 ? width : 1), m_nHeight(height > 0 ? height : 1) {
    HDC screen = reference ? nullptr : GetDC(nullptr);
    HDC ref = reference ? reference : screen;
    m_hDC = CreateCompatibleDC(ref);
    m_hBitmap = CreateCompatibleBitmap(ref, m_nWidth, m_nHeight);
    if (screen) ReleaseDC(nullptr, screen);
    if (m_hDC && m_hBitmap) m_hOldBitmap = SelectObject(m_hDC, m_hBitmap);
}

Canvas::~Canvas() {
    if (m_hDC && m_hOldBitmap) SelectObject(m_hDC, m_hOldBitmap);
    if (m_hBitmap) DeleteObject(m_hBitmap);
    if (m_hDC) DeleteDC(m_hDC);
}

void Canvas::CopyTo(HDC target, int x, int y) const {
    if (Ok()) BitBlt(target, x, y, m_nWidth, m_nHeight, m_hDC, 0, 0, SRCCOPY);
}

BitmapDC::BitmapDC(HDC reference, HBITMAP bitmap) {
    m_hDC = CreateCompatibleDC(reference);
    if (m_hDC && bitmap) m_hOld = SelectObject(m_hDC, bitmap);
}

BitmapDC::~BitmapDC() {
    if (m_hDC && m_hOld) SelectObject(m_hDC, m_hOld);
    if (m_hDC) DeleteDC(m_hDC);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, abs(bm.bmHeight)};
}

} // namespace fw
