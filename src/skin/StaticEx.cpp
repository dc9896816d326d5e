#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"

namespace {
// Ten CJK characters; with the terminating null counted, as the width probe has always been.
const wchar_t kWidthProbe[] = L"测试用汉字来获取宽度";
} // namespace

CStaticEx::~CStaticEx() {
    if (images) ImageList_Destroy(images);
    if (font) DeleteObject(font);
    images = nullptr;
    font = nullptr;
}

void CStaticEx::OnSubclass() {
    int len = GetWindowTextLengthW(m_hWnd);
    text.assign(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(m_hWnd, text.data(), len + 1);
    text.resize(static_cast<size_t>(len));
}

void CStaticEx::SetText(const wchar_t* newText) {
    if (m_hWnd) SetWindowTextW(m_hWnd, newText ? newText : L"");
    text = newText ? newText : L"";
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::SetStaticImage(HBITMAP bitmap) {
    SIZE size = fw::BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return;
    HIMAGELIST list = ImageList_Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (!list) return;
    ImageList_AddMasked(list, bitmap, SKIN_KEY_COLOUR);
    if (images) ImageList_Destroy(images);
    images = list;
    imageWidth = size.cx;
    imageHeight = size.cy;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::EnsureFont() {
    if (font) return;
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTW lf = {};
    GetObjectW(base, sizeof(lf), &lf);
    if (fontHeight != 0) lf.lfHeight = fontHeight;
    if (fontWeight != -1) lf.lfWeight = fontWeight;
    if (fontWidth != 0) lf.lfWidth = fontWidth;
    if (underline != 0) lf.lfUnderline = static_cast<BYTE>(underline);
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    font = CreateFontIndirectW(&lf);
}

void CStaticEx::Paint(HDC target) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    fw::Canvas canvas(target, client.right, client.bottom);
    if (!canvas.Ok()) return;
    PaintParentBackground(m_hWnd, canvas);

    if (images) ImageList_Draw(images, 0, canvas, 3, (client.bottom - imageHeight) / 2, ILD_TRANSPARENT);

    RECT area = client;
    if (images) area.left += imageWidth + 6;

    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    UINT flags = DT_WORDBREAK;
    UINT kind = style & SS_TYPEMASK;
    if (kind == SS_CENTER) flags |= DT_CENTER | DT_VCENTER;
    else if (kind == SS_RIGHT) flags |= DT_RIGHT;
    if ((style & SS_ELLIPSISMASK) == SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
    if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
    if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;

    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, (hoverEnabled && hovering) ? hoverColour : textColour);
    EnsureFont();
    HGDIOBJ oldFont = SelectObject(canvas, font);

    RECT probe = {0, 0, 0, 0};
    DrawTextW(canvas, kWidthProbe, 11, &probe, DT_CALCRECT);
    const int lineHeight = probe.bottom - probe.top;
    const int average = (probe.right - probe.left) / 11;
    const int areaWidth = area.right - area.left;

    auto measure = [&](const std::wstring& line) {
        RECT r = {0, 0, 0, 0};
        DrawTextW(canvas, line.c_str(), static_cast<int>(line.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        return static_cast<int>(r.right - r.left);
    };
    std::vector<skin::TextLine> lines =
        skin::WrapStaticText(text, areaWidth, average, lineHeight, lineSpacing, measure);
    for (const skin::TextLine& line : lines) {
        RECT r = {area.left, area.top + line.top, area.right, area.top + line.top + lineHeight};
        DrawTextW(canvas, line.text.c_str(), static_cast<int>(line.text.size()), &r, flags);
    }
    SelectObject(canvas, oldFont);
    canvas.CopyTo(target);

    // Grow to fit the wrapped text, keeping place and width.
    int needed = skin::WrappedTextHeight(static_cast<int>(lines.size()), lineHeight, lineSpacing);
    if (!lines.empty() && client.bottom < needed) {
        RECT wr = {};
        GetWindowRect(m_hWnd, &wr);
        SetWindowPos(m_hWnd, nullptr, 0, 0, wr.right - wr.left, needed + (wr.bottom - wr.top) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

LRESULT CStaticEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
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
    case WM_SETTEXT: {
        LRESULT r = DefaultHandler(msg, wParam, lParam);
        text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return r;
    }
    case WM_MOUSEMOVE:
        if (!tracking) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 10};
            tracking = TrackMouseEvent(&tme) ? 1 : 0;
        }
        break;
    case WM_MOUSEHOVER:
        hovering = 1;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_MOUSELEAVE:
        hovering = 0;
        tracking = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_SETCURSOR:
        if (handCursor) SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefaultHandler(msg, wParam, lParam);
}
