// The rules behind the settings store, free of Windows headers: counters, the choice of
// days without update checks, and whether an automatic check is due.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace settings {

// The program's data folder below the machine's common application-data folder.
inline constexpr wchar_t kDataSubFolder[] = L"\\Olvesk\\GameLogin";
inline constexpr wchar_t kIniName[] = L"Statistic.ini";
inline constexpr wchar_t kIniSection[] = L"Velkor";
// Every key of that section.
inline constexpr wchar_t kKeyInstallCount[] = L"Inst";     // counter of installs
inline constexpr wchar_t kKeyStartCount[] = L"Game";       // of starts from the desktop or the installed copy
inline constexpr wchar_t kKeyPartnerCount[] = L"Olvesk";   // of starts from the partner portal
inline constexpr wchar_t kKeyUninstallCount[] = L"UnInst"; // of uninstalls
inline constexpr wchar_t kKeyBossKey[] = L"ShortKey";      // hot keys, "modifiers,key"
inline constexpr wchar_t kKeySwitchKey[] = L"AltWndKey";
inline constexpr wchar_t kKeySoundKey[] = L"SndKey";
inline constexpr wchar_t kKeyPopInfo[] = L"PopInfo";       // the last notice shown, whole
inline constexpr wchar_t kKeyPopEnable[] = L"PopEnable";   // "1" it may come back, "0" dismissed
inline constexpr wchar_t kRegistryKey[] = L"Software\\Olvesk\\GameLogin\\Velkor";
inline constexpr wchar_t kDisableDaysValue[] = L"DisableDays";
inline constexpr wchar_t kUpdTimeValue[] = L"UpdTime";

// A counter value as read back from the INI file, plus one, as written back ("%u").
std::uint32_t NextCounterValue(const std::wstring& stored);
std::wstring FormatCounter(std::uint32_t value);

// The C runtime's rand(): never seeded, so its first outputs are 41, 18467, ...
class RuntimeRand {
public:
    int Next() {
        m_seed = m_seed * 214013u + 2531011u;
        return int((m_seed >> 16) & 0x7FFF);
    }
private:
    std::uint32_t m_seed = 1;
};

// Three weekdays (0 = Sunday) without automatic update check, from the millisecond field
// of the clock and two random numbers: the 32-bit value (D << 16) | (A << 8) | E.
std::uint32_t ComputeDisableDays(std::uint32_t ms, std::uint32_t r1, std::uint32_t r2);
std::array<std::uint8_t, 4> DisableDaysBytes(std::uint32_t value);

struct UtcDate {
    std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
};

// The automatic update check runs except on the UTC day of the last self-update and on the
// disabled weekdays; a DisableDays of 0 disables nothing.
bool UpdateDueOn(const UtcDate& today, const UtcDate& lastUpdate, std::uint32_t disableDays);

// The folder of exePath plus name (or exePath itself when name is null) into out of
// capacity characters. False and an empty result when exePath has no backslash or the
// result would not fit.
bool FolderFilePath(const wchar_t* exePath, const wchar_t* name, wchar_t* out, std::size_t capacity);

} // namespace settings
