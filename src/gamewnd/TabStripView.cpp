#include "gamewnd/TabStripView.h"
#include "framework/Canvas.h"
#include "skin/SkinImage.h"
#include "skin/Tooltip.h"
#include "resource.h"

#include <commctrl.h>

namespace {

RECT ToRect(const tabs::Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

} // namespace

void CTabStripView::Create(HWND window) {
    m_window = window;
    HINSTANCE module = GetModuleHandleW(nullptr);
    fw::UniqueBitmap tabPicture(LoadSkinImage(module, IDB_TAB_BACKGROUND));
    fw::UniqueBitmap closePicture(LoadSkinImage(module, IDB_TAB_CLOSE));
    m_ilTabs = MakeKeyedImageList(tabPicture.Get(), 3);
    m_ilTabClose = MakeKeyedImageList(closePicture.Get(), 3);
    // Silent until the mouse comes onto a tab.
    m_tip = CreateWindowTip(window, true, 500);
    if (m_tip) SendMessageW(m_tip, TTM_ACTIVATE, FALSE, 0);
}

void CTabStripView::Draw(HDC canvas, HFONT font, int count, const tabs::AccountKeys& labels) const {
    fw::SelectObjectScope selectFont(canvas, font);
    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, RGB(0, 0, 0));
    const int current = m_state.Current(), hot = m_state.Hot();
    for (int i = 0; i < count; ++i) {
        const int frame = i == current ? 2 : (i == hot ? 1 : 0);
        const tabs::Box tab = tabs::TabRect(i);
        ImageList_DrawEx(m_ilTabs.Get(), frame, canvas, tab.left, tab.top, tab.right - tab.left,
                         tab.bottom - tab.top, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT | ILD_SCALE);
        if (i == hot && m_state.Part() != tabs::HotPart::None) {
            const tabs::Box close = tabs::CloseRect(i);
            ImageList_DrawEx(m_ilTabClose.Get(), static_cast<int>(m_state.Part()), canvas, close.left, close.top,
                             tabs::kCloseSize, tabs::kCloseSize, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT | ILD_SCALE);
        }
        if (static_cast<size_t>(i) < labels.Size()) {
            RECT label = ToRect(tabs::LabelRect(i));
            const std::wstring& key = labels.At(static_cast<size_t>(i));
            DrawTextW(canvas, key.c_str(), static_cast<int>(key.size()), &label,
                      DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

void CTabStripView::OnMouseAt(POINT client, LRESULT baseResult, int count, const tabs::AccountKeys& labels) {
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, count);
    tabs::Repaint repaint;
    const bool leftDown = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    const tabs::TipChange tip = m_state.Hover(hit, leftDown, repaint);
    SetTip(tip, hit.tab >= 0 && static_cast<size_t>(hit.tab) < labels.Size() ? labels.At(hit.tab) : std::wstring());
    Apply(repaint);
    if (hit.tab < 0 || m_bTrackingLeave) return;
    // Over the caption band the mouse is in the non-client area: ask for that leave too, so
    // that a tab does not stay lit after the mouse has left the window.
    TRACKMOUSEEVENT track = {sizeof(track)};
    track.dwFlags = TME_LEAVE | (baseResult == HTCLIENT ? 0 : TME_NONCLIENT);
    track.hwndTrack = m_window;
    track.dwHoverTime = HOVER_DEFAULT;
    m_bTrackingLeave = TrackMouseEvent(&track) != FALSE;
}

void CTabStripView::OnMouseLeave() {
    tabs::Repaint repaint;
    m_state.Leave(repaint);
    Apply(repaint);
    m_bTrackingLeave = false;
}

void CTabStripView::OnCaptionMouseMove(POINT client) const {
    if (!m_tip) return;
    MSG move = {};
    move.hwnd = m_window;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(client.x, client.y);
    move.time = static_cast<DWORD>(GetMessageTime());
    GetCursorPos(&move.pt);
    SendMessageW(m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

bool CTabStripView::OnNotify(const NMHDR* header) {
    if (!m_tip || header->hwndFrom != m_tip || header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
    info->lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    return true;
}

bool CTabStripView::Press(POINT client, int count, bool homeShown, bool& show) {
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, count);
    if (hit.tab < 0) return false;
    tabs::Repaint repaint;
    show = m_state.Press(hit, homeShown, repaint);
    Apply(repaint);
    return true;
}

bool CTabStripView::Release(POINT client, int count, bool middle, int& close) const {
    const tabs::StripHit hit = tabs::HitTestStrip(client.x, client.y, count);
    close = tabs::TabClosedByRelease(hit, middle);
    return hit.tab >= 0;
}

bool CTabStripView::OnTab(POINT client, int count) { return tabs::HitTestStrip(client.x, client.y, count).tab >= 0; }

bool CTabStripView::Next(int count, bool homeShown) {
    tabs::Repaint repaint;
    const bool show = m_state.Next(count, homeShown, repaint);
    Apply(repaint);
    return show;
}

void CTabStripView::Added(int count) {
    tabs::Repaint repaint;
    m_state.Added(count, repaint);
    Apply(repaint);
}

void CTabStripView::Removed(int index, int count) {
    tabs::Repaint repaint;
    m_state.Removed(index, count, repaint);
    Apply(repaint);
}

void CTabStripView::Unlit(int index, bool closeOnly) {
    tabs::Repaint repaint;
    m_state.Unlit(closeOnly ? tabs::CloseRect(index) : tabs::TabRect(index), repaint);
    Apply(repaint);
}

void CTabStripView::Apply(const tabs::Repaint& repaint) const {
    for (int i = 0; i < repaint.count; ++i) {
        const RECT r = ToRect(repaint.boxes[i]);
        InvalidateRect(m_window, &r, TRUE);
    }
}

void CTabStripView::SetTip(tabs::TipChange change, const std::wstring& text) {
    if (change == tabs::TipChange::Keep) return;
    if (change == tabs::TipChange::Show) m_tipText = text;
    if (m_tip) SendMessageW(m_tip, TTM_ACTIVATE, change == tabs::TipChange::Show ? TRUE : FALSE, 0);
}
