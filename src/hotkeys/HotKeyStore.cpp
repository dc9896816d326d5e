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
    wchar_t path[MAX_PATH] = {};
    return ModuleFilePath(L"Statistic.ini", path) ? path : L"";
}

void SetHotKeyIniPathForTests(const std::wstring& path) { g_testIniPath = path; }

HotKey ReadHotKey(HotKeyKind kind) {
    wchar_t text[32] = {};
    const std::wstring ini = HotKeyIniPath();
    GetPrivateProfileStringW(L"Velkor", IniKeyOf(kind), DefaultTextOf(kind), text, 32, ini.c_str());
    return ParseHotKeyText(text);
}

void WriteHotKey(HotKeyKind kind, const HotKey& key) {
    const std::wstring ini = HotKeyIniPath();
    WritePrivateProfileStringW(L"Velkor", IniKeyOf(kind), StoredHotKeyText(key).c_str(), ini.c_str());
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
