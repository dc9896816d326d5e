#include "hotkeys/HotKeyStore.h"
#include "common/AppMessages.h"
#include "settings/SettingsStore.h"
#include "resource.h"

#include <cwchar>

namespace hotkeys {

namespace {

std::wstring g_testIniPath;

BOOL CALLBACK CollectMainWindow(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {}, caption[128] = {};
    GetClassNameW(hwnd, cls, 64);
    if (wcscmp(cls, L"#32770") != 0) return TRUE;
    GetWindowTextW(hwnd, caption, 128);
    if (wcscmp(caption, kAppCaption) != 0 || !GetDlgItem(hwnd, IDC_BTN_SYSTEM)) return TRUE;
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

} // namespace

std::wstring HotKeyIniPath() {
    if (!g_testIniPath.empty()) return g_testIniPath;
    return ModuleIniPath();
}

void SetHotKeyIniPathForTests(const std::wstring& path) { g_testIniPath = path; }

HotKey ReadHotKey(HotKeyKind kind) {
    return ParseHotKeyText(ReadIniValue(HotKeyIniPath(), IniKeyOf(kind), 32, DefaultTextOf(kind)));
}

void WriteHotKey(HotKeyKind kind, const HotKey& key) {
    WriteIniValue(HotKeyIniPath(), IniKeyOf(kind), StoredHotKeyText(key).c_str());
}

int CurrentModifiers() {
    return ModifierBits((GetKeyState(VK_CONTROL) & 0x8000) != 0, (GetKeyState(VK_SHIFT) & 0x8000) != 0,
                        (GetKeyState(VK_MENU) & 0x8000) != 0);
}

int PhysicalModifiers() {
    return ModifierBits((GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0, (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0,
                        (GetAsyncKeyState(VK_MENU) & 0x8000) != 0);
}

std::vector<HWND> FindMainWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void BroadcastHotKeyReload() {
    for (HWND hwnd : FindMainWindows()) PostMessageW(hwnd, UM_RELOAD_HOTKEYS, 0, 0);
}

} // namespace hotkeys
