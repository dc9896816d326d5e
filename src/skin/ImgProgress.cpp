#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"

CImgProgress::~CImgProgress() {
    if (backgroundImage) DeleteObject(backgroundImage);
    if (barImage) DeleteObject(barImage);
    backgroundImage = barImage = nullptr;
}

void CImgProgress::SetProgressImages(HBITMAP background, HBITMAP bar) {
    if (backgroundImage && backgroundImage != background) DeleteObject(backgroundImage);
    if (barImage && barImage != bar) DeleteObject(barImage);
    backgroundImage = background;
    barImage = bar;
    SIZE bg = fw::BitmapSize(background), br = fw::BitmapSize(bar);
    if (m_hWnd && bg.cx > 0)
        SetWindowPos(m_hWnd, nullptr, 0, 0, bg.cx, bg.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    controlRect = {0, 0, bg.cx, bg.cy};
    int dx = (bg.cx - br.cx) / 2, dy = (bg.cy - br.cy) / 2;
    barRect = {dx, dy, dx + br.cx, dy + br.cy};
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CImgProgress::Paint(HDC target) {
    int w = controlRect.right - controlRect.left, h = controlRect.bottom - controlRect.top;
    if (w <= 0 || h <= 0) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        w = client.right;
        h = client.bottom;
    }
    fw::Canvas canvas(target, w, h);
    if (!canvas.Ok()) return;
    PaintParentBackground(m_hWnd, canvas);
    if (backgroundImage) {
        fw::BitmapDC src(canvas, backgroundImage);
        SIZE bg = fw::BitmapSize(backgroundImage);
        GdiTransparentBlt(canvas, 0, 0, bg.cx, bg.cy, src, 0, 0, bg.cx, bg.cy, SKIN_KEY_COLOUR);
    }
    if (barImage) {
        PBRANGE range = {};
        SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        int pos = static_cast<int>(SendMessageW(m_hWnd, PBM_GETPOS, 0, 0));
        int barW = barRect.right - barRect.left, barH = barRect.bottom - barRect.top;
        skin::ProgressFill fill = skin::ComputeProgressFill(barW, range.iLow, range.iHigh, pos);
        fw::BitmapDC src(canvas, barImage);
        if (fill.leftWidth > 0)
            GdiTransparentBlt(canvas, barRect.left, barRect.top, fill.leftWidth, barH, src, 0, 0,
                              fill.leftWidth, barH, SKIN_KEY_COLOUR);
        if (fill.rightWidth > 0)
            GdiTransparentBlt(canvas, barRect.left + fill.leftWidth, barRect.top, fill.rightWidth, barH,
                              src, fill.rightSourceX, 0, fill.rightWidth, barH, SKIN_KEY_COLOUR);
    }
    canvas.CopyTo(target);
}

LRESULT CImgProgress::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefaultHandler(msg, wParam, lParam);
}
