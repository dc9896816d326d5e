#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"

namespace {
// Ten CJK characters; with the terminating null counted, as the width probe has always been.
const wchar_t kWidthProbe[] = L"测试用汉字来获取宽度";
} // namespace

void CStaticEx::OnSubclass() {
    m_text = fw::WindowText(m_hWnd);
}

void CStaticEx::SetText(const wchar_t* newText) {
    if (m_hWnd) SetWindowTextW(m_hWnd, newText ? newText : L"");
    m_text = newText ? newText : L"";
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::SetTextColour(COLORREF colour) {
    m_textColour = colour;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::SetHoverColour(COLORREF colour) {
    m_hoverColour = colour;
    m_hoverEnabled = true;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::SetLineSpacing(int pixels) {
    m_lineSpacing = pixels;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::SetStaticImage(HBITMAP bitmap) {
    SIZE size = fw::BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return;
    fw::UniqueImageList list = MakeKeyedImageList(bitmap, 1);
    if (!list) return;
    m_images = std::move(list);
    m_imageWidth = size.cx;
    m_imageHeight = size.cy;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CStaticEx::EnsureFont() {
    if (m_font) return;
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTW lf = {};
    GetObjectW(base, sizeof(lf), &lf);
    if (m_fontOptions.height != 0) lf.lfHeight = m_fontOptions.height;
    if (m_fontOptions.weight != -1) lf.lfWeight = m_fontOptions.weight;
    if (m_fontOptions.width != 0) lf.lfWidth = m_fontOptions.width;
    if (m_fontOptions.underline) lf.lfUnderline = TRUE;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    m_font.Reset(CreateFontIndirectW(&lf));
}

void CStaticEx::DrawContent(HDC canvas, const RECT& client, int& neededHeight) {
    if (m_images)
        ImageList_Draw(m_images.Get(), 0, canvas, 3, (client.bottom - m_imageHeight) / 2, ILD_TRANSPARENT);

    RECT area = client;
    if (m_images) area.left += m_imageWidth + 6;

    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    UINT flags = DT_WORDBREAK;
    UINT kind = style & SS_TYPEMASK;
    if (kind == SS_CENTER) flags |= DT_CENTER | DT_VCENTER;
    else if (kind == SS_RIGHT) flags |= DT_RIGHT;
    if ((style & SS_ELLIPSISMASK) == SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
    if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
    if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;

    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, (m_hoverEnabled && m_hover.Hovering()) ? m_hoverColour : m_textColour);
    EnsureFont();
    fw::SelectObjectScope selectFont(canvas, m_font.Get());

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
        skin::WrapStaticText(m_text, areaWidth, average, lineHeight, m_lineSpacing, measure);
    for (const skin::TextLine& line : lines) {
        RECT r = {area.left, area.top + line.top, area.right, area.top + line.top + lineHeight};
        DrawTextW(canvas, line.text.c_str(), static_cast<int>(line.text.size()), &r, flags);
    }
    neededHeight = lines.empty() ? 0 : skin::WrappedTextHeight(static_cast<int>(lines.size()), lineHeight, m_lineSpacing);
}

void CStaticEx::Paint(HDC target) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    int needed = 0;
    skin::PaintBuffered(m_hWnd, target, client.right, client.bottom,
                        [&](HDC canvas) { DrawContent(canvas, client, needed); });

    // Grow to fit the wrapped text, keeping place and width.
    if (client.bottom < needed) {
        RECT wr = {};
        GetWindowRect(m_hWnd, &wr);
        SetWindowPos(m_hWnd, nullptr, 0, 0, wr.right - wr.left, needed + (wr.bottom - wr.top) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

LRESULT CStaticEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (skin::HandleSelfPaint(m_hWnd, msg, wParam, [this](HDC dc) { Paint(dc); }, result)) return result;
    if (m_hover.OnMouseMessage(m_hWnd, msg)) return 0;
    switch (msg) {
    case WM_SETTEXT: {
        LRESULT r = DefaultHandler(msg, wParam, lParam);
        m_text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return r;
    }
    case WM_SETCURSOR:
        if (m_handCursor) SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefaultHandler(msg, wParam, lParam);
}
