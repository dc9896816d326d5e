// The system-wide low-level keyboard hook of the main process, for the boss key and the
// sound key. Its procedure runs on the thread that installed it and holds up every key press
// of the system while it runs: it only compares the key and posts the news to the main
// window, which acts on it in its own time. Keys are never swallowed.
#pragma once
#include "hotkeys/HotKeyRules.h"

#include <windows.h>

namespace keyhook {

// wParam of the posted message.
constexpr WPARAM kBossKeyPressed = 1;
constexpr WPARAM kSoundKeyPressed = 2;

// Installs the hook; a first press of the boss or sound key then posts `message` to target.
bool Install(HWND target, UINT message);
void Remove();
bool Installed();
// The keys the hook looks for (the main process's copy).
void SetKeys(const hotkeys::HotKey& boss, const hotkeys::HotKey& sound);

// What one event means: kBossKeyPressed, kSoundKeyPressed or 0. A key held down counts once
// until it is released.
WPARAM OnKeyEvent(bool keyDown, int vk, int modifiers);

} // namespace keyhook
