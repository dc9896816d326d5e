#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "framework/Canvas.h"
// The resource ids live beside the resource scripts.
#include "skin_ids.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kButton1Id = 5000;
constexpr int kButton2Id = 5001;
constexpr int kTextId = 0xFFFF;
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX;
} // namespace

CMessageBox::CMessageBox(const wchar_t* text, MessageBoxPictures pictures, const wchar_t* caption,
                         MsgBoxKind kind)
    : CDlgEx(IDD_SKIN_MESSAGEBOX),
      m_pictures(std::move(pictures)),
      m_strText(text ? text : L""),
      m_strCaption(caption ? caption : L""),
      m_kind(kind) {}

HFONT CMessageBox::TextFont() const {
    return m_pFont ? m_pFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE CMessageBox::MeasureText(HDC dc) const {
    fw::SelectObjectScope selectFont(dc, TextFont());
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, m_strText.c_str(), static_cast<int>(m_strText.size()), &r, DT_CALCRECT | kTextFormat);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool CMessageBox::CreateButton(CBtnEx& button, int id, const wchar_t* label, const RECT& r, HBITMAP image) {
    HWND hwnd = CreateWindowExW(0, L"BUTTON", label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    // The dialog's font carries the Chinese labels; the stock GUI font may lack them.
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_pFont), FALSE);
    if (!button.Subclass(hwnd)) return false;
    button.SetButtonImage(image, false);
    return true;
}

bool CMessageBox::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetFrame(CaptionBandFrame());
    SkinPictures look;
    look.background = std::move(m_pictures.background);
    look.stretch = true;
    look.close = m_pictures.close.Get();
    SetSkin(std::move(look));
    SetTitle(m_strCaption.c_str());

    m_nLines = skin::CountMessageLines(m_strText);
    m_pFont = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));

    SIZE text = MeasureText(fw::WindowDc(m_hWnd));
    HBITMAP button1 = m_pictures.button1.Get();
    HBITMAP button2 = m_pictures.button2 ? m_pictures.button2.Get() : button1;
    SIZE button = fw::BitmapSize(button1);
    const int bw = button.cx / 4, bh = button.cy;
    skin::Size size = skin::MessageBoxSize(text.cx, text.cy, m_nLines, bw, bh);

    // Centred over the owner (or the work area for a box of its own), kept on the work area.
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    RECT around = wa;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    int x = around.left + ((around.right - around.left) - size.cx) / 2;
    int y = around.top + ((around.bottom - around.top) - size.cy) / 2;
    x = std::max<int>(wa.left, std::min<int>(x, wa.right - size.cx));
    y = std::max<int>(wa.top, std::min<int>(y, wa.bottom - size.cy));
    SetWindowPos(m_hWnd, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    RECT client = {};
    GetClientRect(m_hWnd, &client);
    skin::MessageBoxButtons places = skin::MessageBoxButtonRects(m_kind, client.right, client.bottom, bw, bh);
    auto toRect = [](const skin::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; };
    if (places.count == 2) {
        const bool yesNo = m_kind == MsgBoxKind::YesNo;
        CreateButton(m_btn1, kButton1Id, yesNo ? L"是" : L"确定", toRect(places.first), button1);
        CreateButton(m_btn2, kButton2Id, yesNo ? L"否" : L"取消", toRect(places.second), button2);
    } else {
        CreateButton(m_btn1, kButton1Id, L"确定", toRect(places.first), button1);
    }
    // The text also stands in a hidden static control with the id the system's own message
    // box gives its text, where tools that read boxes (screen readers, automation) look; the
    // skin paints what the player sees.
    CreateWindowExW(0, L"STATIC", m_strText.c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), GetModuleHandleW(nullptr), nullptr);
    // A box without an owner is the only window of its process: bring it to the player.
    if (!owner) SetForegroundWindow(m_hWnd);
    return true;
}

void CMessageBox::PaintText(HDC dc) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SIZE text = MeasureText(dc);
    fw::SelectObjectScope selectFont(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_crText);
    std::vector<std::wstring> lines = skin::SplitMessageLines(m_strText);
    for (size_t i = 0; i < lines.size(); ++i) {
        skin::Rect r = skin::MessageBoxLineRect(static_cast<int>(i), m_nLines, client.right, text.cx, text.cy);
        RECT rc = {r.left, r.top, r.right, r.bottom};
        DrawTextW(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &rc, kTextFormat | DT_SINGLELINE);
    }
}

bool CMessageBox::OnCommand(WORD id, WORD code, HWND control) {
    // Only a click answers; a quick second click also comes as a double click.
    if (code != BN_CLICKED) return false;
    const bool yesNo = m_kind == MsgBoxKind::YesNo;
    if (id == kButton1Id) {
        EndDialog(yesNo ? IDYES : IDOK);
        return true;
    }
    if (id == kButton2Id) {
        EndDialog(yesNo ? IDNO : IDCANCEL);
        return true;
    }
    return false;
}

LRESULT CMessageBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        PaintText(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        if (lParam & PRF_ERASEBKGND) PaintSkin(reinterpret_cast<HDC>(wParam));
        PaintText(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_CLOSE:
        // Closing never answers yes or no.
        EndDialog(IDCANCEL);
        return 0;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}

int ShowSkinMessageBox(HWND parent, const wchar_t* text, MessageBoxPictures pictures, const wchar_t* caption,
                       MsgBoxKind kind) {
    CMessageBox box(text, std::move(pictures), caption, kind);
    return static_cast<int>(box.DoModal(parent));
}

int AppMessageBox(MsgBoxKind kind, const wchar_t* caption, const wchar_t* text, HWND parent) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    MessageBoxPictures pictures;
    pictures.background.Reset(LoadSkinImage(module, IDB_DIALOG_BACKGROUND));
    pictures.close.Reset(LoadSkinImage(module, IDB_CLOSE_BUTTON));
    // One push-button picture for both buttons: each button keeps its own frames.
    pictures.button1.Reset(LoadSkinImage(module, IDB_PUSH_BUTTON));
    return ShowSkinMessageBox(parent, text, std::move(pictures), caption, kind);
}
