// The program's persistent state: one registry key under HKLM (update schedule) and the
// INI file Statistic.ini in the data folder (counters and user settings).
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// The settings key lives in the 32-bit view of the machine hive, where the players' 32-bit
// program sees it on every system; the 64-bit build uses the same view, so switching builds
// loses no settings.
constexpr REGSAM kSettingsView = KEY_WOW64_32KEY;
// Deletes HKLM\<path> with everything below it, in that view.
bool DeleteMachineKeyTree(const wchar_t* path);

// The running executable's folder plus name (the full path when name is null), into a
// buffer of MAX_PATH characters. False with an empty path when there is no folder part.
bool ModuleFilePath(const wchar_t* name, wchar_t* out);
// The same with the module path taken from `get`, which keeps GetModuleFileNameW's contract:
// it fills at most size characters and answers how many, or size when it had to cut.
using ModulePathGetter = DWORD (*)(wchar_t* buffer, DWORD size);
bool ModuleFilePath(const wchar_t* name, wchar_t* out, ModulePathGetter get);

// C:\ProgramData\Olvesk\GameLogin (no trailing separator); empty when the system can't say.
std::wstring DataFolderPath();
// Statistic.ini in the data folder, where the counters live.
std::wstring CounterIniPath();

// Statistic.ini beside the running executable, where the hot keys and the notice state are
// kept (the installed program runs from the data folder: the same file as the counters');
// empty when the path does not fit.
std::wstring ModuleIniPath();
// One value of the program's section of an INI file (keys: settings::kKey...), at most
// capacity - 1 characters; `fallback` when there is none.
std::wstring ReadIniValue(const std::wstring& ini, const wchar_t* key, DWORD capacity, const wchar_t* fallback = L"");
bool WriteIniValue(const std::wstring& ini, const wchar_t* key, const wchar_t* value);

// Adds one to a counter of Statistic.ini ("Inst", "Game", "UnInst", "Olvesk") and returns
// the new value.
std::uint32_t BumpCounter(const wchar_t* key);

// Chooses the three weekdays without automatic update check and stores them.
bool WriteDisableDays();
// Whether an automatic update check may run now (or at the given UTC time).
bool IsUpdateDue();
bool IsUpdateDue(const SYSTEMTIME& nowUtc);
// Records the current UTC time as the day of the last self-update.
bool WriteUpdTime();
