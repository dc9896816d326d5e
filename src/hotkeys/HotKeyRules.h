// The hot-key value, its stored form "modifiers,key", matching a key press and the settings
// dialog's text rules. No Windows header: the caller reads the key state and the INI file.
#pragma once
#include <string>

namespace hotkeys {

// Modifier bits: the system's MOD_ALT, MOD_CONTROL and MOD_SHIFT.
constexpr int kModAlt = 1, kModCtrl = 2, kModShift = 4;

struct HotKey {
    int modifiers = 0;
    int key = 0;  // virtual-key code; 0: switched off
    bool operator==(const HotKey&) const = default;
};

// The three keys, their INI keys in section "Velkor" and their stored defaults.
enum class HotKeyKind { Boss, Switch, Sound };
const wchar_t* IniKeyOf(HotKeyKind kind);
const wchar_t* DefaultTextOf(HotKeyKind kind);

// Reads "modifiers,key": cut at the first comma (without one the whole text is the
// modifiers and the key is 0); each part a signed decimal that stops at its first non-digit.
HotKey ParseHotKeyText(const std::wstring& text);
// The stored form, e.g. "6,81".
std::wstring StoredHotKeyText(const HotKey& key);

int ModifierBits(bool ctrl, bool shift, bool alt);
// The event's key and modifiers equal the hot key's exactly; a switched-off key never matches.
bool HotKeyMatches(const HotKey& key, int vk, int modifiers);

// Two of the three displayed texts equal (exactly) each other.
bool HotKeyTextsConflict(const std::wstring& boss, const std::wstring& sw, const std::wstring& sound);
// An entry the dialog does not store: empty, or ending in a blank ("Ctrl  +  ").
bool IsUnfinishedHotKeyText(const std::wstring& text);
// The value a finished text stands for: key 0 when it shows "无", else the key last accepted
// in its box; the modifiers from the words "Ctrl", "Shift" and "Alt".
HotKey HotKeyFromText(const std::wstring& text, int acceptedKey);

// The text a key-down gives a settings box. acceptedKey receives vk when the box takes it
// as its main key and is left alone otherwise.
std::wstring CaptureText(HotKeyKind box, int vk, bool ctrl, bool shift, bool alt, int& acceptedKey);

// One action per press: a key held down repeats its key-downs until it is released.
class PressLatch {
public:
    // True for the first key-down of vk since its last release.
    bool KeyDown(int vk);
    void KeyUp(int vk);
private:
    bool m_down[256] = {};
};

} // namespace hotkeys
