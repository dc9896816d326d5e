// The program's own window messages, the marker of what it posts to itself, its timers and
// the ids that more than one window relies on. The numbers are fixed: separate processes of
// the program (the main window and its page processes) exchange them.
//
// Between processes. A main window starts each tab as a page process with the command line
//   "<quoted exe path> /newgm /<main window handle in decimal> /<tab count in decimal>"
// The page process then:
//   1. sends WM_COPYDATA (wParam 0, dwData 0) with the account key as UTF-16 text to the
//      main window; the answer is 1 when the key is accepted, 0 when that account already
//      has a tab;
//   2. creates its frame hidden, posts UM_PAGE_ATTACH (frame handle, 0 for a game tab, 1 for
//      the web-game home page) and makes the frame a child of the main window;
//   3. ends within 800 ms after the main window is gone.
// A login that ends without a game posts WM_SYSCOMMAND SC_CLOSE with kSelfPostMarker to the
// main window; the main window closes a tab by posting WM_SYSCOMMAND SC_CLOSE (lParam 0) to
// its frame.
#pragma once
#include "common/SelfPostMarker.h"

#include <windows.h>

// Posted unless said otherwise.
constexpr UINT UM_TRAY_NOTIFY = WM_USER + 1;          // to the main window: icon id / mouse message
constexpr UINT UM_PAGE_ATTACH = WM_USER + 2;          // to the main window: frame / 1 home page, 0 tab
constexpr UINT UM_SHOW_TRAY_MENU = WM_USER + 3;       // main window to itself
constexpr UINT UM_RELOAD_HOTKEYS = WM_USER + 4;       // settings dialog to every main window
constexpr UINT UM_SET_MUTE = WM_USER + 5;             // main window to its frames: 1 muted, 0 sound
constexpr UINT UM_ADD_ACCOUNT_CHOICE = WM_USER + 6;   // add-account popup: 1 this window, 0 new one
constexpr UINT UM_PAGE_RELOAD_HOTKEYS = WM_USER + 7;  // main window to its frames
constexpr UINT UM_NOTICE_FETCHED = WM_USER + 8;      // notice worker to its dialog: the answer is in


// Timers of the main window.
constexpr UINT_PTR kTimerSoundState = 3;      // 400 ms: the mute flag to every tab frame
constexpr UINT_PTR kTimerNotice = 4;          // creates the pop-up notice
constexpr UINT_PTR kTimerPendingPage = 7;     // 500 ms while a page process is on its way: has it ended?
// Timers of a page frame.
constexpr UINT_PTR kTimerCloseBrowserBox = 5; // 130 ms, once: closes the browser's own dialogs
constexpr UINT_PTR kTimerRaiseHost = 6;       // 10 ms, once: brings the host to the front

constexpr UINT kSoundStateMs = 400;
constexpr UINT kNoticeDelayMs = 5000;  // after the first page attaches
constexpr UINT kPendingPageMs = 500;
constexpr UINT kHostWatchMs = 800;     // a page process (or login) ends when its host has gone
constexpr UINT kCloseBrowserBoxMs = 130;
constexpr UINT kRaiseHostMs = 10;

// The caption of every window and message box of the program.
inline constexpr wchar_t kAppCaption[] = L"Olvesk - Sevrith";
