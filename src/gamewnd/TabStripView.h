// The tab strip as the player sees it: draws the tabs of the caption band, lights the one
// under the mouse, shows its account in a tooltip and repaints what changed. The strip's state
// (current, lit, pressed tab) is the window-free tabs::StripState; this part only paints it
// onto its window. The number of tabs and their labels are passed in by the window.
#pragma once
#include "framework/Handles.h"
#include "gamewnd/TabStrip.h"

#include <windows.h>

#include <string>

class CTabStripView {
public:
    // Loads the tab pictures and makes the tooltip, owned by `window` (it goes with it).
    void Create(HWND window);

    const tabs::StripState& State() const { return m_state; }
    int Current() const { return m_state.Current(); }

    // Draws `count` tabs: each tab's picture (normal, lit, current), its close
    // button (normal, lit, pressed) and its account label.
    void Draw(HDC canvas, HFONT font, int count, const tabs::AccountKeys& labels) const;

    // WM_NCHITTEST at a client point (baseResult: the window's own answer, to know whether
    // the point is in the client area): lights the tab there and asks for the mouse's leave.
    void OnMouseAt(POINT client, LRESULT baseResult, int count, const tabs::AccountKeys& labels);
    // WM_MOUSELEAVE or WM_NCMOUSELEAVE.
    void OnMouseLeave();
    // WM_NCMOUSEMOVE at a client point. While the window is not maximised the strip lies in
    // the caption, whose mouse moves the tooltip does not see by itself: it is told of them.
    void OnCaptionMouseMove(POINT client) const;
    // The tooltip's question for its text; true when it was ours.
    bool OnNotify(const NMHDR* header);

    // The left button went down at a client point: false when not on a tab; otherwise
    // `show` says whether the tab there is now to be shown.
    bool Press(POINT client, int count, bool homeShown, bool& show);
    // A button went up at a client point: false when not on a tab; `close` is the tab it
    // closes, or -1.
    bool Release(POINT client, int count, bool middle, int& close) const;
    // True when the point lies on a tab (a double click there does nothing).
    static bool OnTab(POINT client, int count);

    // The switch key: the next tab becomes current; true when there is one to show.
    bool Next(int count, bool homeShown);
    // A tab was added at the end (count: the new number).
    void Added(int count);
    // Tab index was closed (count: the number left).
    void Removed(int index, int count);
    // The player kept tab index, or is asked about the last one (closeOnly): unlit.
    void Unlit(int index, bool closeOnly);

private:
    void Apply(const tabs::Repaint& repaint) const;
    void SetTip(tabs::TipChange change, const std::wstring& text);

    HWND m_window = nullptr;
    tabs::StripState m_state;
    fw::UniqueImageList m_ilTabs;      // normal, hot, current
    fw::UniqueImageList m_ilTabClose;  // normal, hot, pressed
    HWND m_tip = nullptr;              // owned by the window: destroyed with it
    std::wstring m_tipText;
    bool m_bTrackingLeave = false;
};
