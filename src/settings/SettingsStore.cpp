#include "settings/SettingsStore.h"
#include "settings/SettingsRules.h"
#include "framework/Handles.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <cstdlib>

namespace {

const DWORD kRegRead = KEY_READ;    // 0x20019
const DWORD kRegWrite = KEY_WRITE;  // 0x20006

// Opened with RegCreateKeyEx for reading too, so that a read creates a missing key.
fw::UniqueRegKey OpenSettingsKey(DWORD access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, nullptr, 0, access | kSettingsView, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return {};
    return fw::UniqueRegKey(key);
}

// Reads a binary value into buf; a missing or shorter value leaves the rest zero.
void ReadBinary(HKEY key, const wchar_t* name, void* buf, DWORD size) {
    ZeroMemory(buf, size);
    DWORD type = 0, got = size;
    if (RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(buf), &got) != ERROR_SUCCESS)
        ZeroMemory(buf, size);
}

settings::UtcDate DateOf(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay};
}

} // namespace

bool DeleteMachineKeyTree(const wchar_t* path) {
    const std::wstring full(path ? path : L"");
    const size_t slash = full.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 >= full.size()) return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, full.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | kSettingsView,
                      &opened) != ERROR_SUCCESS)
        return false;
    const fw::UniqueRegKey parent(opened);
    // Keys below a handle of that view stay in it.
    return SHDeleteKeyW(parent.Get(), full.c_str() + slash + 1) == ERROR_SUCCESS;
}

bool ModuleFilePath(const wchar_t* name, wchar_t* out, ModulePathGetter get) {
    // Asked with room for the longest path the system has: the getter cuts what does not fit
    // without failing, and a cut path names another folder. The result must then fit the
    // caller's MAX_PATH, or it is refused.
    std::wstring exe(32768, L'\0');
    const DWORD got = get(exe.data(), static_cast<DWORD>(exe.size()));
    if (got == 0 || got >= exe.size()) {
        out[0] = L'\0';
        return false;
    }
    exe.resize(got);
    return settings::FolderFilePath(exe.c_str(), name, out, MAX_PATH);
}

bool ModuleFilePath(const wchar_t* name, wchar_t* out) {
    return ModuleFilePath(name, out, [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}

std::wstring DataFolderPath() {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)))
        return {};
    return std::wstring(base) + settings::kDataSubFolder;
}

std::wstring CounterIniPath() {
    std::wstring folder = DataFolderPath();
    return folder.empty() ? folder : folder + L"\\" + settings::kIniName;
}

std::wstring ModuleIniPath() {
    wchar_t path[MAX_PATH] = {};
    return ModuleFilePath(settings::kIniName, path) ? path : L"";
}

std::wstring ReadIniValue(const std::wstring& ini, const wchar_t* key, DWORD capacity, const wchar_t* fallback) {
    if (capacity == 0) return {};
    std::wstring value(capacity, L'\0');
    value.resize(GetPrivateProfileStringW(settings::kIniSection, key, fallback, value.data(), capacity, ini.c_str()));
    return value;
}

bool WriteIniValue(const std::wstring& ini, const wchar_t* key, const wchar_t* value) {
    return WritePrivateProfileStringW(settings::kIniSection, key, value, ini.c_str()) != FALSE;
}

std::uint32_t BumpCounter(const wchar_t* key) {
    const std::wstring ini = CounterIniPath();
    if (ini.empty()) return 1;
    const std::uint32_t value = settings::NextCounterValue(ReadIniValue(ini, key, 32, L"0"));
    WriteIniValue(ini, key, settings::FormatCounter(value).c_str());
    return value;
}

bool WriteDisableDays() {
    const fw::UniqueRegKey key = OpenSettingsKey(kRegWrite);
    if (!key) return false;
    SYSTEMTIME now;
    GetSystemTime(&now);
    // The runtime's generator is never seeded: these are its first outputs of the process.
    std::uint32_t r1 = static_cast<std::uint32_t>(std::rand());
    std::uint32_t r2 = static_cast<std::uint32_t>(std::rand());
    const auto bytes = settings::DisableDaysBytes(settings::ComputeDisableDays(now.wMilliseconds, r1, r2));
    return RegSetValueExW(key.Get(), settings::kDisableDaysValue, 0, REG_BINARY, bytes.data(),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool IsUpdateDue(const SYSTEMTIME& nowUtc) {
    SYSTEMTIME updTime;
    static_assert(sizeof(updTime) == 16, "UpdTime is a 16-byte SYSTEMTIME");
    BYTE days[4];
    {
        const fw::UniqueRegKey key = OpenSettingsKey(kRegRead);
        if (!key) return false;
        ReadBinary(key.Get(), settings::kUpdTimeValue, &updTime, sizeof(updTime));
        ReadBinary(key.Get(), settings::kDisableDaysValue, days, sizeof(days));
    }
    std::uint32_t disable = days[0] | (days[1] << 8) | (days[2] << 16) | (std::uint32_t(days[3]) << 24);
    return settings::UpdateDueOn(DateOf(nowUtc), DateOf(updTime), disable);
}

bool IsUpdateDue() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return IsUpdateDue(now);
}

bool WriteUpdTime() {
    const fw::UniqueRegKey key = OpenSettingsKey(kRegWrite);
    if (!key) return false;
    SYSTEMTIME now;
    GetSystemTime(&now);
    return RegSetValueExW(key.Get(), settings::kUpdTimeValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&now),
                          sizeof(now)) == ERROR_SUCCESS;
}
