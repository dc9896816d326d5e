// The settings rules: counters read back from the INI file, the days without update checks,
// and the path built next to the executable into a fixed buffer.
#include "FuzzText.h"
#include "settings/SettingsRules.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    const std::uint32_t next = settings::NextCounterValue(text);
    FUZZ_CHECK(settings::NextCounterValue(settings::FormatCounter(next)) == next + 1u);

    if (size >= 12) {
        std::uint32_t ms, r1, r2;
        std::memcpy(&ms, data, 4);
        std::memcpy(&r1, data + 4, 4);
        std::memcpy(&r2, data + 8, 4);
        const std::uint32_t days = settings::ComputeDisableDays(ms, r1, r2);
        const auto b = settings::DisableDaysBytes(days);
        FUZZ_CHECK(b[0] < 7 && b[1] < 7 && b[2] < 7 && b[3] == 0 && b[1] != b[0] && b[1] != b[2]);
        settings::UtcDate today{std::uint16_t(r1), std::uint16_t(r1 >> 16), std::uint16_t(r2 % 7), std::uint16_t(r2 >> 16)};
        settings::UtcDate last{std::uint16_t(r1), std::uint16_t(r1 >> 16), std::uint16_t(ms), std::uint16_t(ms >> 16)};
        settings::UpdateDueOn(today, last, days);
        FUZZ_CHECK(!settings::UpdateDueOn(today, today, days));
        FUZZ_CHECK(settings::UpdateDueOn(today, settings::UtcDate{}, 0) ==
                   !(today.year == 0 && today.month == 0 && today.day == 0));
    }

    // exePath and name split at the first '|'; a capacity from the input's length.
    std::wstring exe = text.substr(0, text.find(L'\0'));
    std::wstring name;
    const std::size_t bar = exe.find(L'|');
    if (bar != std::wstring::npos) {
        name = exe.substr(bar + 1);
        exe.resize(bar);
    }
    const std::size_t capacity = size % 300;
    std::unique_ptr<wchar_t[]> out(new wchar_t[capacity ? capacity : 1]);
    const bool ok = settings::FolderFilePath(exe.c_str(), bar == std::wstring::npos ? nullptr : name.c_str(), out.get(), capacity);
    if (ok) {
        const std::wstring result(out.get());
        FUZZ_CHECK(result.size() < capacity && exe.find(L'\\') != std::wstring::npos);
        if (bar == std::wstring::npos) FUZZ_CHECK(result == exe);
        else FUZZ_CHECK(result == exe.substr(0, exe.rfind(L'\\') + 1) + name);
    } else if (capacity) {
        FUZZ_CHECK(out[0] == L'\0');
    }
    return 0;
}
