// The three hot keys in Statistic.ini beside the executable, the key state of the moment,
// and the news of a change to every running main window.
#pragma once
#include "hotkeys/HotKeyRules.h"

#include <windows.h>
#include <string>
#include <vector>

namespace hotkeys {

// Statistic.ini in the executable's folder (or the file a test chose).
std::wstring HotKeyIniPath();
// Tests: read and write this file instead (empty: the real one again).
void SetHotKeyIniPathForTests(const std::wstring& path);

// The stored value, the default when there is none.
HotKey ReadHotKey(HotKeyKind kind);
void WriteHotKey(HotKeyKind kind, const HotKey& key);

// Ctrl, Shift and Alt as they are while the current key message is handled.
int CurrentModifiers();
// The same for a system-wide keyboard hook: the keys' physical state, since the keys may be
// going to another program whose thread alone follows them.
int PhysicalModifiers();

// The main windows of every running copy of the program: top-level dialogs captioned
// "Olvesk - Sevrith" that have the system-menu button. Other dialogs of the program carry
// the same class and caption.
std::vector<HWND> FindMainWindows();
// Posts UM_RELOAD_HOTKEYS to each of them.
void BroadcastHotKeyReload();

} // namespace hotkeys
