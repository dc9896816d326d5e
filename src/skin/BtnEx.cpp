#include "skin/SkinControls.h"
#include "skin/SkinImage.h"
#include "framework/Canvas.h"
#include "framework/Reflect.h"

void PaintParentBackground(HWND control, HDC surface) {
    HWND parent = GetParent(control);
    if (!parent) return;
    RECT mine = {}, theirs = {};
    GetWindowRect(control, &mine);
    GetWindowRect(parent, &theirs);
    POINT old = {};
    SetWindowOrgEx(surface, mine.left - theirs.left, mine.top - theirs.top, &old);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface), 0);
    SetWindowOrgEx(surface, old.x, old.y, nullptr);
}

CBtnEx::~CBtnEx() {
    if (images) ImageList_Destroy(images);
    images = nullptr;
}

void CBtnEx::OnSubclass() {
    int len = GetWindowTextLengthW(m_hWnd);
    text.assign(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(m_hWnd, text.data(), len + 1);
    text.resize(static_cast<size_t>(len));
    LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    // The push-button kind is the low four bits; owner drawing replaces it.
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~0x0F) | BS_OWNERDRAW);
    RememberRect();
}

void CBtnEx::OnFinalMessage() {
    // The tip window went with the button; a later window of this object starts afresh.
    tooltip = nullptr;
    tipActive = 0;
    tracking = hovering = pressedLatch = 0;
}

void CBtnEx::RememberRect() {
    if (m_hWnd) GetWindowRect(m_hWnd, &rect);
}

void CBtnEx::SetButtonImage(HBITMAP bitmap, bool resize) {
    SIZE size = fw::BitmapSize(bitmap);
    if (size.cx < 4 || size.cy < 1) return;
    int frameW = size.cx / 4;
    HIMAGELIST list = ImageList_Create(frameW, size.cy, ILC_COLOR24 | ILC_MASK, 4, 0);
    if (!list) return;
    ImageList_AddMasked(list, bitmap, SKIN_KEY_COLOUR);
    if (images) ImageList_Destroy(images);
    images = list;
    if (resize && m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, frameW, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RememberRect();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBtnEx::SetButtonTip(const wchar_t* tip) {
    tipText = tip ? tip : L"";
    tipActive = 1;
    if (tooltip || !m_hWnd) return;
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tooltip) return;
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND;  // mouse messages are relayed by PreTranslateMessage
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 660);
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
    if (tipActive && tooltip) SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return false;
}

int CBtnEx::FrameForState(UINT itemState) {
    if (itemState & (ODS_DISABLED | ODS_GRAYED)) return 3;
    if ((itemState & ODS_SELECTED) || pressedLatch) {
        pressedLatch = 1;
        return 2;
    }
    return hovering ? 1 : 0;
}

void CBtnEx::DrawItem(const DRAWITEMSTRUCT& item) {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    if (w <= 0 || h <= 0) {
        w = client.right;
        h = client.bottom;
    }
    fw::Canvas canvas(item.hDC, w, h);
    if (!canvas.Ok()) return;
    PaintParentBackground(m_hWnd, canvas);

    int state = FrameForState(item.itemState);
    int frameW = 0, frameH = 0;
    if (images && ImageList_GetImageCount(images) > state && ImageList_GetIconSize(images, &frameW, &frameH)) {
        if (frameW == w && frameH == h) {
            ImageList_Draw(images, state, canvas, 0, 0, ILD_TRANSPARENT);
        } else {
            // Scale the frame to the button, keeping its magenta parts transparent.
            fw::Canvas frame(canvas, frameW, frameH);
            RECT all = {0, 0, frameW, frameH};
            HBRUSH key = CreateSolidBrush(SKIN_KEY_COLOUR);
            FillRect(frame, &all, key);
            DeleteObject(key);
            ImageList_Draw(images, state, frame, 0, 0, ILD_TRANSPARENT);
            GdiTransparentBlt(canvas, 0, 0, w, h, frame, 0, 0, frameW, frameH, SKIN_KEY_COLOUR);
        }
    }

    if (!text.empty()) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        HGDIOBJ oldFont = SelectObject(canvas, font);
        SetBkMode(canvas, TRANSPARENT);
        SetTextColor(canvas, state == 3 ? GetSysColor(COLOR_GRAYTEXT) : textColour);
        RECT textRect = {0, 0, w, h};
        DrawTextW(canvas, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(canvas, oldFont);
    }
    canvas.CopyTo(item.hDC);
}

LRESULT CBtnEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case fw::kReflectBase + WM_DRAWITEM:
        if (lParam) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!tracking) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 10};
            tracking = TrackMouseEvent(&tme) ? 1 : 0;
        }
        break;
    case WM_MOUSEHOVER:
        hovering = 1;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        if (tipActive && tooltip) {
            TTTOOLINFOW ti = {};
            ti.cbSize = sizeof(ti);
            ti.hwnd = m_hWnd;
            ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
            ti.lpszText = const_cast<wchar_t*>(tipText.c_str());
            SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        }
        return 0;
    case WM_MOUSELEAVE:
        hovering = 0;
        tracking = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        pressedLatch = 0;
        break;
    case WM_SIZE:
        // Owners lay buttons out after binding them; draw at the size the button has now.
        RememberRect();
        break;
    case WM_NOTIFY:
        // The tip asks for its text when it first shows.
        if (lParam && reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            info->lpszText = const_cast<wchar_t*>(tipText.c_str());
            return 0;
        }
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}
