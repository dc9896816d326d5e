#include "skin/DlgEx.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"
#include "framework/Reflect.h"

#include "skin_ids.h"

#include <vector>

// The layout rules speak the window system's hit codes and sizing edges.
static_assert(skin::kHitCaption == HTCAPTION && skin::kHitLeft == HTLEFT && skin::kHitRight == HTRIGHT &&
              skin::kHitTop == HTTOP && skin::kHitTopLeft == HTTOPLEFT && skin::kHitTopRight == HTTOPRIGHT &&
              skin::kHitBottom == HTBOTTOM && skin::kHitBottomLeft == HTBOTTOMLEFT &&
              skin::kHitBottomRight == HTBOTTOMRIGHT);
static_assert(skin::kSizeLeft == WMSZ_LEFT && skin::kSizeRight == WMSZ_RIGHT && skin::kSizeTop == WMSZ_TOP &&
              skin::kSizeTopLeft == WMSZ_TOPLEFT && skin::kSizeTopRight == WMSZ_TOPRIGHT &&
              skin::kSizeBottom == WMSZ_BOTTOM && skin::kSizeBottomLeft == WMSZ_BOTTOMLEFT &&
              skin::kSizeBottomRight == WMSZ_BOTTOMRIGHT);
static_assert(SKIN_KEY_COLOUR == skin::kKeyColourRef);

namespace {

skin::Rect ToSkin(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

skin::Rect WorkArea() {
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return ToSkin(wa);
}

} // namespace

// The title font: the window's font at the title weight, in the kit's face.
fw::UniqueFont CDlgEx::CreateTitleFont(LONG* height) const {
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    GetObjectW(base, sizeof(lf), &lf);
    lf.lfWeight = m_frame.titleWeight;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    if (height) *height = lf.lfHeight;
    return fw::UniqueFont(CreateFontIndirectW(&lf));
}

bool CDlgEx::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~(WS_CAPTION | DS_MODALFRAME)) | WS_MINIMIZEBOX);
    LONG ex = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, ex & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    // The frame goes at once, so that the client area is the whole window from here on.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    skin::Rect wa = WorkArea();
    m_maxWidth = wa.Width();
    m_maxHeight = wa.Height();
    skin::Rect r = skin::InitialRestoreRect(wa);
    m_restoreRect = {r.left, r.top, r.right, r.bottom};
    return true;
}

void CDlgEx::SetMaximizedLimit(int width, int height) {
    m_maxWidth = width;
    m_maxHeight = height;
}

void CDlgEx::SetSkin(SkinPictures pictures) {
    m_background = std::move(pictures.background);
    m_stretch = pictures.stretch;

    RECT layout = {};
    SIZE size = fw::BitmapSize(m_background.Get());
    if (pictures.resizeToImage && size.cx > 0) {
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        layout = {0, 0, size.cx, size.cy};
    } else {
        GetClientRect(m_hWnd, &layout);
    }
    BuildSkinRegion();

    // Caption buttons from right to left, each against the left edge of the one before.
    int x = layout.right - m_frame.buttonRightMargin;
    auto leftOf = [&](const CBtnEx& b, int fallback) {
        if (!b.Handle()) return fallback;
        RECT r = {};
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return static_cast<int>(r.left);
    };
    const int top = m_frame.buttonTop, gap = m_frame.buttonGap;
    if (pictures.close) {
        m_closeButton.Destroy();
        if (CBtnEx::CreateImageButton(x, m_closeButton, pictures.close, top, IDC_SKIN_CLOSE, m_hWnd))
            m_closeButton.SetButtonTip(L"关闭");
    }
    if (pictures.maximize) {
        m_maximizeButton.Destroy();
        int right = leftOf(m_closeButton, x) - gap;
        if (CBtnEx::CreateImageButton(right, m_maximizeButton, pictures.maximize.Get(), top, IDC_SKIN_MAXIMIZE,
                                      m_hWnd))
            m_maximizeButton.SetButtonTip(L"最大化");
        m_maximizeImage = std::move(pictures.maximize);
    }
    if (pictures.restore) m_restoreImage = std::move(pictures.restore);
    if (pictures.minimize) {
        m_minimizeButton.Destroy();
        int right = leftOf(m_maximizeButton, leftOf(m_closeButton, x)) - gap;
        if (CBtnEx::CreateImageButton(right, m_minimizeButton, pictures.minimize, top, IDC_SKIN_MINIMIZE, m_hWnd))
            m_minimizeButton.SetButtonTip(L"最小化");
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

RECT CDlgEx::TitleRect(const wchar_t* text) {
    bool hasIcon = SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0) != 0;
    LONG fontHeight = 0;
    fw::UniqueFont font = CreateTitleFont(&fontHeight);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    RECT r = {skin::CaptionTitleX(m_frame.borderWidth, hasIcon),
              skin::CaptionTitleY(m_frame.captionHeight, fontHeight), 0, 0};
    // Measured in the face the title is drawn in, so that the whole old title is repainted.
    RECT m = {0, 0, 0, 0};
    {
        fw::WindowDc dc(m_hWnd);
        fw::SelectObjectScope selectFont(dc, font.Get());
        DrawTextW(dc, text, -1, &m, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    r.right = client.right;
    r.bottom = r.top + (m.bottom - m.top);
    return r;
}

void CDlgEx::SetStretchedSkin(UINT backgroundId) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    fw::UniqueBitmap close(LoadSkinImage(module, IDB_CLOSE_BUTTON));
    SkinPictures pictures;
    pictures.background.Reset(LoadSkinImage(module, backgroundId));
    pictures.stretch = true;
    pictures.close = close.Get();
    SetSkin(std::move(pictures));
}

void CDlgEx::SetTitle(const wchar_t* text) {
    SetWindowTextW(m_hWnd, text ? text : L"");
    RECT r = TitleRect(text ? text : L"");
    InvalidateRect(m_hWnd, &r, TRUE);
}

void CDlgEx::DrawSkinFrame(HDC surface) {
    if (!m_background) return;
    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    SIZE img = fw::BitmapSize(m_background.Get());
    fw::BitmapDC src(surface, m_background.Get());
    for (const skin::Blit& b : skin::SkinFramePieces(wr.right - wr.left, wr.bottom - wr.top, img.cx, img.cy,
                                                      m_frame.borderWidth, m_frame.captionHeight, m_stretch)) {
        if (b.stretch)
            StretchBlt(surface, b.dx, b.dy, b.dw, b.dh, src, b.sx, b.sy, b.sw, b.sh, SRCCOPY);
        else
            BitBlt(surface, b.dx, b.dy, b.dw, b.dh, src, b.sx, b.sy, SRCCOPY);
    }
}

bool CDlgEx::PaintSkin(HDC surface) {
    if (!m_background) return false;
    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    fw::Canvas canvas(surface, wr.right - wr.left, wr.bottom - wr.top);
    if (!canvas.Ok()) return false;
    DrawSkinFrame(canvas);

    bool iconDrawn = false;
    HICON icon = reinterpret_cast<HICON>(SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0));
    if (icon && m_frame.showIcon) {
        DrawIconEx(canvas, m_frame.borderWidth, skin::CaptionIconY(m_frame.captionHeight), icon, 16, 16, 0, nullptr,
                   DI_NORMAL);
        iconDrawn = true;
    }
    if (m_frame.showTitle) {
        const std::wstring title = fw::WindowText(m_hWnd);
        LONG fontHeight = 0;
        fw::UniqueFont font = CreateTitleFont(&fontHeight);
        fw::SelectObjectScope selectFont(canvas, font.Get());
        SetBkMode(canvas, TRANSPARENT);
        SetTextColor(canvas, m_frame.titleColour);
        TextOutW(canvas, skin::CaptionTitleX(m_frame.borderWidth, iconDrawn),
                 skin::CaptionTitleY(m_frame.captionHeight, fontHeight), title.c_str(),
                 static_cast<int>(title.size()));
    }
    canvas.CopyTo(surface);
    return true;
}

void CDlgEx::BuildSkinRegion() {
    if (!m_background || !m_hWnd) return;
    SIZE img = fw::BitmapSize(m_background.Get());
    if (img.cx <= 0 || img.cy <= 0) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(img.cx) * img.cy);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = img.cx;
    bi.bmiHeader.biHeight = -img.cy;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    int rows = 0;
    {
        fw::WindowDc screen(nullptr);
        rows = GetDIBits(screen, m_background.Get(), 0, static_cast<UINT>(img.cy), pixels.data(), &bi,
                         DIB_RGB_COLORS);
    }
    if (rows != img.cy) return;

    RECT wr = {};
    GetWindowRect(m_hWnd, &wr);
    const int Wd = wr.right - wr.left, Hd = wr.bottom - wr.top;
    // Magenta reads the same as a COLORREF and as a DIB pixel; the fourth byte is not colour.
    auto isKey = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= img.cx || y >= img.cy) return false;
        return (pixels[static_cast<size_t>(y) * img.cx + x] & 0x00FFFFFF) == skin::kKeyColourRef;
    };
    fw::UniqueRgn region(CreateRectRgn(0, 0, Wd, Hd));
    fw::UniqueRgn square(CreateRectRgn(0, 0, 1, 1));
    for (const skin::Point& p : skin::RegionCutSquares(Wd, Hd, img.cx, img.cy, isKey)) {
        SetRectRgn(square.Get(), p.x, p.y, p.x + 1, p.y + 1);
        CombineRgn(region.Get(), region.Get(), square.Get(), RGN_DIFF);
    }
    // The window owns the region once it has taken it.
    if (SetWindowRgn(m_hWnd, region.Get(), FALSE)) region.Release();
}

void CDlgEx::LayoutCaptionButtons(int clientWidth) {
    int x = clientWidth - m_frame.buttonRightMargin;
    for (CBtnEx* b : {&m_closeButton, &m_maximizeButton, &m_minimizeButton}) {
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
    if (m_maximized) {
        MoveWindow(m_hWnd, m_restoreRect.left, m_restoreRect.top, m_restoreRect.right - m_restoreRect.left,
                   m_restoreRect.bottom - m_restoreRect.top, TRUE);
        OnSkinMaximizeStateChanged(false);
    } else {
        skin::Rect r = skin::MaximizedRect(WorkArea(), m_maxWidth, m_maxHeight);
        MoveWindow(m_hWnd, r.left, r.top, r.Width(), r.Height(), TRUE);
        OnSkinMaximizeStateChanged(true);
    }
    m_maximizeButton.ClearHover();
    m_maximized = !m_maximized;
}

void CDlgEx::OnSkinMaximizeStateChanged(bool nowMaximized) {
    if (!m_maximizeButton.Handle()) return;
    HBITMAP strip = nowMaximized ? m_restoreImage.Get() : m_maximizeImage.Get();
    if (strip) m_maximizeButton.SetButtonImage(strip, false);
    m_maximizeButton.SetButtonTip(nowMaximized ? L"还原" : L"最大化");
}

LRESULT CDlgEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        // Controls ask for the picture under them with their own surfaces; without a picture
        // nothing is drawn, into those or into the window.
        return PaintSkin(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;
    case WM_NCHITTEST: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(m_hWnd, &pt);
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        int code = skin::SkinHitTest(pt.x, pt.y, client.right, client.bottom, m_frame.borderWidth,
                                     m_frame.captionHeight, m_frame.resizable, m_maximized);
        if (code != skin::kHitDefault) return code;
        break;
    }
    case WM_NCLBUTTONDOWN: {
        LRESULT r = 0;
        if (skin::SizeEdge edge = skin::SizeEdgeForHit(static_cast<int>(wParam)))
            SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_SIZE + edge, lParam);
        else
            r = DefaultHandler(msg, wParam, lParam);
        // A window the user moved or resized is restored to that place.
        GetWindowRect(m_hWnd, &m_restoreRect);
        return r;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && m_frame.resizable) {
            OnSkinToggleMaximize();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK: {
        int y = static_cast<short>(HIWORD(lParam));
        const int caption = m_frame.captionHeight;
        if (m_maximized && (caption == -1 || (y >= 0 && y < caption))) OnSkinToggleMaximize();
        break;
    }
    case WM_SIZE: {
        LRESULT r = DefaultHandler(msg, wParam, lParam);
        if (m_background) {
            BuildSkinRegion();
            InvalidateRect(m_hWnd, nullptr, TRUE);
            LayoutCaptionButtons(static_cast<short>(LOWORD(lParam)));
        }
        return r;
    }
    case WM_COMMAND:
        // Only a click acts: a quick second click on an owner-drawn button comes as a double
        // click as well, which must not maximise and restore at once or close twice.
        if (HIWORD(wParam) != BN_CLICKED) break;
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
