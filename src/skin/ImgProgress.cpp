#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"

void CImgProgress::SetProgressImages(fw::UniqueBitmap background, fw::UniqueBitmap bar) {
    m_backgroundImage = std::move(background);
    m_barImage = std::move(bar);
    SIZE bg = fw::BitmapSize(m_backgroundImage.Get()), br = fw::BitmapSize(m_barImage.Get());
    if (m_hWnd && bg.cx > 0)
        SetWindowPos(m_hWnd, nullptr, 0, 0, bg.cx, bg.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_controlRect = {0, 0, bg.cx, bg.cy};
    int dx = (bg.cx - br.cx) / 2, dy = (bg.cy - br.cy) / 2;
    m_barRect = {dx, dy, dx + br.cx, dy + br.cy};
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CImgProgress::Paint(HDC target) {
    int w = m_controlRect.right - m_controlRect.left, h = m_controlRect.bottom - m_controlRect.top;
    if (w <= 0 || h <= 0) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        w = client.right;
        h = client.bottom;
    }
    skin::PaintBuffered(m_hWnd, target, w, h, [&](HDC canvas) {
        if (m_backgroundImage) {
            fw::BitmapDC src(canvas, m_backgroundImage.Get());
            SIZE bg = fw::BitmapSize(m_backgroundImage.Get());
            GdiTransparentBlt(canvas, 0, 0, bg.cx, bg.cy, src, 0, 0, bg.cx, bg.cy, SKIN_KEY_COLOUR);
        }
        if (m_barImage) {
            PBRANGE range = {};
            SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
            int pos = static_cast<int>(SendMessageW(m_hWnd, PBM_GETPOS, 0, 0));
            int barW = m_barRect.right - m_barRect.left, barH = m_barRect.bottom - m_barRect.top;
            skin::ProgressFill fill = skin::ComputeProgressFill(barW, range.iLow, range.iHigh, pos);
            fw::BitmapDC src(canvas, m_barImage.Get());
            if (fill.leftWidth > 0)
                GdiTransparentBlt(canvas, m_barRect.left, m_barRect.top, fill.leftWidth, barH, src, 0, 0,
                                  fill.leftWidth, barH, SKIN_KEY_COLOUR);
            if (fill.rightWidth > 0)
                GdiTransparentBlt(canvas, m_barRect.left + fill.leftWidth, m_barRect.top, fill.rightWidth, barH,
                                  src, fill.rightSourceX, 0, fill.rightWidth, barH, SKIN_KEY_COLOUR);
        }
    });
}

LRESULT CImgProgress::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (skin::HandleSelfPaint(m_hWnd, msg, wParam, [this](HDC dc) { Paint(dc); }, result)) return result;
    return DefaultHandler(msg, wParam, lParam);
}
