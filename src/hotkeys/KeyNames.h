// Key names and the display text of a hot key. No Windows header: the codes are plain
// virtual-key numbers, whatever a settings file held.
#pragma once
#include <string>

namespace hotkeys {

// Room a caller gives KeyName: the longest name is 11 characters.
constexpr int kKeyNameChars = 16;

// Writes the name of virtual-key code vk into buffer (kKeyNameChars characters, always
// terminated) and returns buffer. A code without a name, negative or above 255 included,
// gives the empty text; a null buffer gives null and nothing is written.
wchar_t* KeyName(wchar_t* buffer, int vk);

// "无" for key 0; otherwise the modifier prefixes ("Ctrl  +  ", "Shift  +  ", "Alt  +  " in
// that order, for modifier bits 2, 4 and 1) and the key's name. A key without a name leaves
// a text ending in a blank, which the settings dialog treats as unfinished.
std::wstring FormatHotKey(int key, int modifiers);

// The main keys the settings dialog accepts (Tab only in the window-switch box, by its caller).
bool IsHotKeyMainKey(int vk);

} // namespace hotkeys
