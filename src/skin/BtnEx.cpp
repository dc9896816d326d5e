#include "skin/SkinControls.h"
#include "skin/Tooltip.h"
#include "skin/SkinImage.h"
#include "framework/Canvas.h"
#include "framework/Reflect.h"

void CBtnEx::OnSubclass() {
    m_text = fw::WindowText(m_hWnd);
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    // Owner drawing replaces the push-button kind.
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    RememberRect();
}

void CBtnEx::OnFinalMessage() {
    // A later window of this object starts afresh.
    m_hover.Clear();
    m_pressedLatch = false;
    m_tipActive = false;
    m_tipText.clear();
}

void CBtnEx::RememberRect() {
    if (m_hWnd) GetWindowRect(m_hWnd, &m_rect);
}

void CBtnEx::SetButtonImage(HBITMAP bitmap, bool resize) {
    SIZE size = fw::BitmapSize(bitmap);
    if (size.cx < 4 || size.cy < 1) return;
    fw::UniqueImageList list = MakeKeyedImageList(bitmap, 4);
    if (!list) return;
    m_images = std::move(list);
    if (resize && m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx / 4, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RememberRect();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBtnEx::SetTextColour(COLORREF colour) {
    m_textColour = colour;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBtnEx::SetButtonTip(const wchar_t* tip) {
    m_tipText = tip ? tip : L"";
    m_tipActive = true;
    if (m_tooltip || !m_hWnd) return;
    // Mouse messages are relayed by PreTranslateMessage.
    m_tooltip.Reset(CreateWindowTip(m_hWnd, false, 660));
}

void CBtnEx::ShowTipText() {
    if (!m_tipActive || !m_tooltip) return;
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    ti.lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    SendMessageW(m_tooltip.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

bool CBtnEx::CreateImageButton(int rightEdge, CBtnEx& button, HBITMAP bitmap, int top, int id,
                               HWND parent) {
    SIZE size = fw::BitmapSize(bitmap);
    int w = size.cx / 4, h = size.cy;
    HWND hwnd = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                rightEdge - w, top, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    if (!button.Subclass(hwnd)) {
        DestroyWindow(hwnd);
        return false;
    }
    button.SetButtonImage(bitmap, false);
    return true;
}

bool CBtnEx::PreTranslateMessage(MSG& msg) {
    if (m_tipActive && m_tooltip) SendMessageW(m_tooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return false;
}

int CBtnEx::FrameForState(UINT itemState) {
    if (itemState & (ODS_DISABLED | ODS_GRAYED)) return 3;
    if ((itemState & ODS_SELECTED) || m_pressedLatch) {
        m_pressedLatch = true;
        return 2;
    }
    return m_hover.Hovering() ? 1 : 0;
}

void CBtnEx::DrawItem(const DRAWITEMSTRUCT& item) {
    int w = m_rect.right - m_rect.left, h = m_rect.bottom - m_rect.top;
    if (w <= 0 || h <= 0) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        w = client.right;
        h = client.bottom;
    }
    const int state = FrameForState(item.itemState);
    skin::PaintBuffered(m_hWnd, item.hDC, w, h, [&](HDC canvas) {
        int frameW = 0, frameH = 0;
        HIMAGELIST images = m_images.Get();
        if (images && ImageList_GetImageCount(images) > state && ImageList_GetIconSize(images, &frameW, &frameH)) {
            if (frameW == w && frameH == h) {
                ImageList_Draw(images, state, canvas, 0, 0, ILD_TRANSPARENT);
            } else {
                // Scale the frame to the button, keeping its magenta parts transparent.
                fw::Canvas frame(canvas, frameW, frameH);
                RECT all = {0, 0, frameW, frameH};
                fw::UniqueBrush key(CreateSolidBrush(SKIN_KEY_COLOUR));
                FillRect(frame, &all, key.Get());
                ImageList_Draw(images, state, frame, 0, 0, ILD_TRANSPARENT);
                GdiTransparentBlt(canvas, 0, 0, w, h, frame, 0, 0, frameW, frameH, SKIN_KEY_COLOUR);
            }
        }
        if (!m_text.empty()) {
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
            if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            fw::SelectObjectScope selectFont(canvas, font);
            SetBkMode(canvas, TRANSPARENT);
            SetTextColor(canvas, state == 3 ? GetSysColor(COLOR_GRAYTEXT) : m_textColour);
            RECT textRect = {0, 0, w, h};
            DrawTextW(canvas, m_text.c_str(), static_cast<int>(m_text.size()), &textRect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    });
}

LRESULT CBtnEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case fw::kReflectBase + WM_DRAWITEM:
        if (lParam) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEHOVER:
        ShowTipText();
        [[fallthrough]];
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        if (m_hover.OnMouseMessage(m_hWnd, msg)) return 0;
        break;
    case WM_LBUTTONUP:
        m_pressedLatch = false;
        break;
    case WM_SIZE:
        // Owners lay buttons out after binding them; draw at the size the button has now.
        RememberRect();
        break;
    case WM_DESTROY:
        // The tip goes with its button.
        m_tooltip.Reset();
        break;
    case WM_NOTIFY:
        // The tip asks for its text when it first shows.
        if (lParam && reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            info->lpszText = const_cast<wchar_t*>(m_tipText.c_str());
            return 0;
        }
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}
