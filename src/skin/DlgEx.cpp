#include "skin/DlgEx.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"
#include "framework/Reflect.h"

#include <vector>

namespace {

skin::Rect ToSkin(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

skin::Rect WorkArea() {
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return ToSkin(wa);
}

// The title font: the window's font at the title weight, in the kit's face.
HFONT CreateTitleFont(HWND hwnd, int weight, LONG* height) {
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    GetObjectW(base, sizeof(lf), &lf);
    lf.lfWeight = weight;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    if (height) *height = lf.lfHeight;
    return CreateFontIndirectW(&lf);
}

} // namespace

CDlgEx::~CDlgEx() {
    if (background) DeleteObject(background);
    if (maximizeImage) DeleteObject(maximizeImage);
    if (restoreImage && restoreImage != maximizeImage) DeleteObject(restoreImage);
    background = maximizeImage = restoreImage = nullptr;
}

bool CDlgEx::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~0x00C00080L) | WS_MINIMIZEBOX);
    LONG ex = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, ex & ~0x101L);
    // The frame goes at once, so that the client area is the whole window from here on.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    skin::Rect wa = WorkArea();
    maxWidth = wa.Width();
    maxHeight = wa.Height();
    skin::Rect r = skin::InitialRestoreRect(wa);
    restoreRect = {r.left, r.top, r.right, r.bottom};
    return true;
}

void CDlgEx::SetSkin(HBITMAP bg, bool resizeToImage, int stretch, HBITMAP minimizeImage,
                     HBITMAP maxImage, HBITMAP restImage, HBITMAP closeImage) {
    if (background && background != bg) DeleteObject(background);
    background = bg;
    stretchMode = stretch;

    RECT layout = {};
    SIZE size = fw::BitmapSize(bg);
    if (resizeToImage && size.cx > 0) {
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        layout = {0, 0, size.cx, size.cy};
    } else {
        GetClientRect(m_hWnd, &layout);
    }
    BuildSkinRegion();

    int x = layout.right - buttonRightMargin;
    auto leftOf = [&](CBtnEx& b, int fallback) {
        if (!b.Handle()) return fallback;
        RECT r = {};
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return static_cast<int>(r.left);
    };
    if (closeImage) {
        closeButton.Destroy();
        if (CBtnEx::CreateImageButton(x, closeButton, closeImage, buttonTop, IDC_SKIN_CLOSE, m_hWnd))
            closeButton.SetButtonTip(L"关闭");
    }
    if (maxImage) {
        maximizeButton.Destroy();
        int right = leftOf(closeButton, x) - buttonGap;
        if (CBtnEx::CreateImageButton(right, maximizeButton, maxImage, buttonTop, IDC_SKIN_MAXIMIZE, m_hWnd))
            maximizeButton.SetButtonTip(L"最大化");
    }
    // Both maximise pictures are the dialog's from here on, whichever of them was given.
    if (maxImage && maxImage != maximizeImage) {
        if (maximizeImage && maximizeImage != restoreImage) DeleteObject(maximizeImage);
        maximizeImage = maxImage;
    }
    if (restImage && restImage != restoreImage) {
        if (restoreImage && restoreImage != maximizeImage) DeleteObject(restoreImage);
        restoreImage = restImage;
    }
    if (minimizeImage) {
        minimizeButton.Destroy();
        int right = leftOf(maximizeButton, leftOf(closeButton, x)) - buttonGap;
        if (CBtnEx::CreateImageButton(right, minimizeButton, minimizeImage, buttonTop, IDC_SKIN_MINIMIZE, m_hWnd))
            minimizeButton.SetButtonTip(L"最小化");
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

RECT CDlgEx::TitleRect(const wchar_t* text) {
    bool hasIcon = SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0) != 0;
    LONG fontHeight = 0;
    HFONT font = CreateTitleFont(m_hWnd, titleWeight, &fontHeight);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    RECT r = {skin::CaptionTitleX(borderWidth, hasIcon), skin::CaptionTitleY(captionHeight, fontHeight), 0, 0};
    // Measured in the face the title is drawn in, so that the whole old title is repainted.
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, font);
    RECT m = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &m, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    DeleteObject(font);
    r.right = client.right;
    r.bottom = r.top + (m.bottom - m.top);
    return r;
}

void CDlgEx::SetTitle(const wchar_t* text) {
    SetWindowTextW(m_hWnd, text ? text : L"");
    RECT r = TitleRect(text ? text : L"");
    InvalidateRect(m_hWnd, &r, TRUE);
}

void CDlgEx::DrawSkinFrame(HDC surface) {
    if (!background) return;
    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    SIZE img = fw::BitmapSize(background);
    fw::BitmapDC src(surface, background);
    for (const skin::Blit& b : skin::SkinFramePieces(wr.right - wr.left, wr.bottom - wr.top, img.cx,
                                                      img.cy, borderWidth, captionHeight, stretchMode != 0)) {
        if (b.stretch)
            StretchBlt(surface, b.dx, b.dy, b.dw, b.dh, src, b.sx, b.sy, b.sw, b.sh, SRCCOPY);
        else
            BitBlt(surface, b.dx, b.dy, b.dw, b.dh, src, b.sx, b.sy, SRCCOPY);
    }
}

bool CDlgEx::PaintSkin(HDC surface) {
    if (!background) return false;
    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    fw::Canvas canvas(surface, wr.right - wr.left, wr.bottom - wr.top);
    if (!canvas.Ok()) return false;
    DrawSkinFrame(canvas);

    bool iconDrawn = false;
    HICON icon = reinterpret_cast<HICON>(SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0));
    if (icon && showIcon) {
        DrawIconEx(canvas, borderWidth, skin::CaptionIconY(captionHeight), icon, 16, 16, 0, nullptr, DI_NORMAL);
        iconDrawn = true;
    }
    if (showTitle) {
        int len = GetWindowTextLengthW(m_hWnd);
        std::wstring title(static_cast<size_t>(len) + 1, L'\0');
        GetWindowTextW(m_hWnd, title.data(), len + 1);
        title.resize(static_cast<size_t>(len));
        LONG fontHeight = 0;
        HFONT font = CreateTitleFont(m_hWnd, titleWeight, &fontHeight);
        HGDIOBJ old = SelectObject(canvas, font);
        SetBkMode(canvas, TRANSPARENT);
        SetTextColor(canvas, titleColour);
        TextOutW(canvas, skin::CaptionTitleX(borderWidth, iconDrawn),
                 skin::CaptionTitleY(captionHeight, fontHeight), title.c_str(), static_cast<int>(title.size()));
        SelectObject(canvas, old);
        DeleteObject(font);
    }
    canvas.CopyTo(surface);
    return true;
}

void CDlgEx::BuildSkinRegion() {
    if (!background || !m_hWnd) return;
    SIZE img = fw::BitmapSize(background);
    if (img.cx <= 0 || img.cy <= 0) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(img.cx) * img.cy);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = img.cx;
    bi.bmiHeader.biHeight = -img.cy;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, background, 0, static_cast<UINT>(img.cy), pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != img.cy) return;

    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    const int Wd = wr.right - wr.left, Hd = wr.bottom - wr.top;
    const uint32_t key = 0x00FF00FF;  // magenta reads the same as COLORREF and as DIB pixel
    auto isKey = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= img.cx || y >= img.cy) return false;
        return (pixels[static_cast<size_t>(y) * img.cx + x] & 0x00FFFFFF) == key;
    };
    HRGN region = CreateRectRgn(0, 0, Wd, Hd);
    HRGN square = CreateRectRgn(0, 0, 1, 1);
    for (const skin::Point& p : skin::RegionCutSquares(Wd, Hd, img.cx, img.cy, isKey)) {
        SetRectRgn(square, p.x, p.y, p.x + 1, p.y + 1);
        CombineRgn(region, region, square, RGN_DIFF);
    }
    DeleteObject(square);
    // The window owns the region from here on.
    if (!SetWindowRgn(m_hWnd, region, FALSE)) DeleteObject(region);
}

void CDlgEx::LayoutCaptionButtons(int clientWidth) {
    int x = clientWidth - buttonRightMargin;
    for (CBtnEx* b : {&closeButton, &maximizeButton, &minimizeButton}) {
        if (!b->Handle()) continue;
        RECT r = {};
        GetWindowRect(*b, &r);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        int w = r.right - r.left;
        SetWindowPos(*b, nullptr, x - w, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        x -= w;
    }
}

void CDlgEx::OnSkinClose() { PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }

void CDlgEx::OnSkinMinimize() { PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CDlgEx::OnSkinToggleMaximize() {
    if (maximized) {
        MoveWindow(m_hWnd, restoreRect.left, restoreRect.top, restoreRect.right - restoreRect.left,
                   restoreRect.bottom - restoreRect.top, TRUE);
        OnSkinMaximizeStateChanged(false);
    } else {
        skin::Rect r = skin::MaximizedRect(WorkArea(), maxWidth, maxHeight);
        MoveWindow(m_hWnd, r.left, r.top, r.Width(), r.Height(), TRUE);
        OnSkinMaximizeStateChanged(true);
    }
    maximizeButton.hovering = 0;
    maximizeButton.tracking = 0;
    maximized = !maximized;
}

void CDlgEx::OnSkinMaximizeStateChanged(bool nowMaximized) {
    if (!maximizeButton.Handle()) return;
    HBITMAP strip = nowMaximized ? restoreImage : maximizeImage;
    if (strip) maximizeButton.SetButtonImage(strip, false);
    maximizeButton.SetButtonTip(nowMaximized ? L"还原" : L"最大化");
}

LRESULT CDlgEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        if (PaintSkin(reinterpret_cast<HDC>(wParam))) return TRUE;
        break;
    case WM_NCHITTEST: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(m_hWnd, &pt);
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        int code = skin::SkinHitTest(pt.x, pt.y, client.right, client.bottom, borderWidth, captionHeight,
                                     resizable != 0, maximized != 0);
        if (code != skin::kHitDefault) return code;
        break;
    }
    case WM_NCLBUTTONDOWN: {
        LRESULT r = 0;
        if (unsigned command = skin::SizeCommandForHit(static_cast<int>(wParam)))
            SendMessageW(m_hWnd, WM_SYSCOMMAND, command, lParam);
        else
            r = DefaultHandler(msg, wParam, lParam);
        // A window the user moved or resized is restored to that place.
        GetWindowRect(m_hWnd, &restoreRect);
        return r;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && resizable) {
            OnSkinToggleMaximize();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK: {
        int y = static_cast<short>(HIWORD(lParam));
        if (maximized && (captionHeight == -1 || (y >= 0 && y < captionHeight))) OnSkinToggleMaximize();
        break;
    }
    case WM_SIZE: {
        LRESULT r = DefaultHandler(msg, wParam, lParam);
        if (background) {
            BuildSkinRegion();
            InvalidateRect(m_hWnd, nullptr, TRUE);
            LayoutCaptionButtons(static_cast<short>(LOWORD(lParam)));
        }
        return r;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SKIN_CLOSE: OnSkinClose(); return 0;
        case IDC_SKIN_MAXIMIZE: OnSkinToggleMaximize(); return 0;
        case IDC_SKIN_MINIMIZE: OnSkinMinimize(); return 0;
        }
        break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        LRESULT r = 0;
        if (fw::ReflectToControl(m_hWnd, msg, wParam, lParam, r)) return r;
        break;
    }
    }
    return fw::Dialog::HandleMessage(msg, wParam, lParam);
}
