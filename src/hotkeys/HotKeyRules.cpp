#include "hotkeys/HotKeyRules.h"
#include "common/RunMode.h"
#include "hotkeys/KeyNames.h"
#include "settings/SettingsRules.h"

namespace hotkeys {

const wchar_t* IniKeyOf(HotKeyKind kind) {
    switch (kind) {
    case HotKeyKind::Boss: return settings::kKeyBossKey;
    case HotKeyKind::Switch: return settings::kKeySwitchKey;
    case HotKeyKind::Sound: return settings::kKeySoundKey;
    }
    return L"";
}

const wchar_t* DefaultTextOf(HotKeyKind kind) {
    switch (kind) {
    case HotKeyKind::Boss: return L"0,121";
    case HotKeyKind::Switch: return L"2,9";
    case HotKeyKind::Sound: return L"2,81";
    }
    return L"";
}

HotKey ParseHotKeyText(const std::wstring& text) {
    const size_t comma = text.find(L',');
    HotKey result;
    if (comma == std::wstring::npos) {
        result.modifiers = ParseDecimal(text);
        return result;
    }
    result.modifiers = ParseDecimal(text.substr(0, comma));
    result.key = ParseDecimal(text.substr(comma + 1, 31));
    return result;
}

std::wstring StoredHotKeyText(const HotKey& key) {
    return std::to_wstring(key.modifiers) + L"," + std::to_wstring(key.key);
}

int ModifierBits(bool ctrl, bool shift, bool alt) {
    return (ctrl ? kModCtrl : 0) | (shift ? kModShift : 0) | (alt ? kModAlt : 0);
}

bool HotKeyMatches(const HotKey& key, int vk, int modifiers) {
    return key.key != 0 && vk == key.key && modifiers == key.modifiers;
}

bool HotKeyTextsConflict(const std::wstring& boss, const std::wstring& sw, const std::wstring& sound) {
    return boss == sw || boss == sound || sw == sound;
}

bool IsUnfinishedHotKeyText(const std::wstring& text) { return text.empty() || text.back() == L' '; }

HotKey HotKeyFromText(const std::wstring& text, int acceptedKey) {
    HotKey result;
    result.key = text.find(L'无') != std::wstring::npos ? 0 : acceptedKey;
    result.modifiers = ModifierBits(text.find(L"Ctrl") != std::wstring::npos,
                                    text.find(L"Shift") != std::wstring::npos,
                                    text.find(L"Alt") != std::wstring::npos);
    return result;
}

std::wstring CaptureText(HotKeyKind box, int vk, bool ctrl, bool shift, bool alt, int& acceptedKey) {
    const bool clears = vk == 8 || vk == 46 || vk == 91 || vk == 92 || (vk == 123 && box != HotKeyKind::Switch);
    if (clears) return L"无";
    std::wstring name;
    if (IsHotKeyMainKey(vk) || (box == HotKeyKind::Switch && vk == 9)) {
        acceptedKey = vk;
        wchar_t buffer[kKeyNameChars];
        name = KeyName(buffer, vk);
    }
    std::wstring text;
    if (ctrl) text = L"Ctrl  +  ";
    if (shift) text += L"Shift  +  ";
    if (alt) text += L"Alt  +  ";
    return text + name;
}

bool PressLatch::KeyDown(int vk) {
    if (vk < 0 || vk > 255) return true;
    const bool fresh = !m_down[vk];
    m_down[vk] = true;
    return fresh;
}

void PressLatch::KeyUp(int vk) {
    if (vk >= 0 && vk <= 255) m_down[vk] = false;
}

} // namespace hotkeys
