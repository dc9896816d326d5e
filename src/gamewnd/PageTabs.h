// The pages of the main window: the tab frames (each the frame window of a page process of
// its own, re-parented into the window), their account keys, the home page, and the last page
// process started that has not attached yet, with the key it registered. Which tab is current
// is the strip's business: the window passes it in.
#pragma once
#include "framework/Handles.h"
#include "gamewnd/TabStrip.h"

#include <windows.h>

#include <string>
#include <vector>

class CPageTabs {
public:
    // program: the executable started for each tab; empty: the program's own.
    explicit CPageTabs(std::wstring program) : m_program(std::move(program)) {}

    // Starts a page process for the next tab of `window` with "/newgm /<window> /<tabs>";
    // false when it could not be started.
    bool Launch(HWND window);

    // Whether `frame` may become a page of `window`: a live window of another process, not
    // yet a page here, and no ancestor of the window.
    bool Accepts(HWND window, HWND frame) const;
    // A page attached: the home page, or a new last tab (the others are hidden; the frame
    // shows itself once its first page has loaded). The pending page process has made it.
    void AttachHome(HWND frame) { m_home = frame; }
    void AttachTab(HWND frame);

    // Shows one tab's frame in `area` and hides the other tabs and the home page.
    void Show(HWND frame, const RECT& area) const;
    // Forgets tab `index` and its key; the frame, or null when there was no such tab.
    HWND Remove(int index);
    // Ends the pending page process, detaches every tab frame and asks it to close.
    void CloseAll();

    int Count() const { return static_cast<int>(m_frames.size()); }
    bool Empty() const { return m_frames.empty(); }
    const std::vector<HWND>& Frames() const { return m_frames; }
    // Tab i's frame, or null when there is no tab i.
    HWND At(int i) const { return i >= 0 && i < Count() ? m_frames[static_cast<size_t>(i)] : nullptr; }
    // Tab i's account key, or empty.
    std::wstring KeyAt(int i) const;
    const tabs::AccountKeys& Keys() const { return m_keys; }
    // A page's login registers its account: false when that account is already open. The
    // key belongs to the pending page process, if there is one: it goes when that process
    // goes without attaching, so that keys and frames stay paired.
    bool AddKey(const std::wstring& key);

    HWND Home() const { return m_home; }
    bool HomeShown() const;
    // The page lying in the page area: the home page when shown, otherwise tab `current`.
    HWND PageInView(int current) const;
    // Where F5 and Ctrl+D go: tab `current` when its frame is visible, else the home page
    // when visible; null for none.
    HWND KeyTarget(int current) const;

    HANDLE Pending() const { return m_pending.Get(); }
    bool HasPending() const { return m_pending.Valid(); }
    // The pending page process has ended (it never attached).
    bool PendingEnded() const;
    // Forgets the pending page process, and the key it registered.
    void DropPending();

private:
    std::wstring m_program;
    fw::UniqueHandle m_pending;  // the last started page process not yet attached
    std::wstring m_pendingKey;   // the key registered while it was pending; empty: none
    HWND m_home = nullptr;
    std::vector<HWND> m_frames;
    tabs::AccountKeys m_keys;
};
