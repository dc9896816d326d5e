#include "settings/SettingsRules.h"
#include "common/RunMode.h"

#include <cwchar>

namespace settings {

std::uint32_t NextCounterValue(const std::wstring& stored) {
    return static_cast<std::uint32_t>(ParseDecimal(stored)) + 1u;
}

std::wstring FormatCounter(std::uint32_t value) { return std::to_wstring(value); }

std::uint32_t ComputeDisableDays(std::uint32_t ms, std::uint32_t r1, std::uint32_t r2) {
    // Unsigned on purpose: r + 7 - ms wraps when ms is larger, as the stored values expect.
    std::uint32_t a = (r1 + 7u - ms) % 7u;
    std::uint32_t e = (r2 + 7u - ms) % 7u;
    std::uint32_t d = ms % 7u;
    if (d == a) d = (d + 6u) % 7u;
    if (e == a) e = (e + 1u) % 7u;
    return (d << 16) | (a << 8) | e;
}

std::array<std::uint8_t, 4> DisableDaysBytes(std::uint32_t value) {
    return {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
            std::uint8_t(value >> 24)};
}

bool UpdateDueOn(const UtcDate& today, const UtcDate& lastUpdate, std::uint32_t disableDays) {
    if (today.year == lastUpdate.year && today.month == lastUpdate.month && today.day == lastUpdate.day)
        return false;
    if (disableDays != 0) {
        const auto days = DisableDaysBytes(disableDays);
        for (int i = 0; i < 3; ++i)
            if (today.dayOfWeek == days[i]) return false;
    }
    return true;
}

bool FolderFilePath(const wchar_t* exePath, const wchar_t* name, wchar_t* out, std::size_t capacity) {
    if (!out || capacity == 0) return false;
    out[0] = L'\0';
    if (!exePath) return false;
    const wchar_t* slash = std::wcsrchr(exePath, L'\\');
    if (!slash) return false;
    std::wstring path = name ? std::wstring(exePath, slash + 1) + name : std::wstring(exePath);
    if (path.size() >= capacity) return false;
    std::wmemcpy(out, path.c_str(), path.size() + 1);
    return true;
}

} // namespace settings
