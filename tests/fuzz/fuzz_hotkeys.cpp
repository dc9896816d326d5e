// Hot keys as Statistic.ini holds them (anyone may edit that file) and the names shown for
// them: any stored text reads back to a key that stores and reads back unchanged, and any
// key code, however wild, gets a bounded name without indexing past a table.
#include "FuzzText.h"
#include "hotkeys/HotKeyRules.h"
#include "hotkeys/KeyNames.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    const hotkeys::HotKey key = hotkeys::ParseHotKeyText(text);
    const std::wstring stored = hotkeys::StoredHotKeyText(key);
    FUZZ_CHECK(hotkeys::ParseHotKeyText(stored) == key);

    int raw[2] = {0, 0};
    std::memcpy(raw, data, size < sizeof(raw) ? size : sizeof(raw));
    wchar_t name[hotkeys::kKeyNameChars + 8];
    for (wchar_t& c : name) c = L'#';
    hotkeys::KeyName(name, raw[0]);
    // Written within its capacity and always terminated there.
    bool terminated = false;
    for (int i = 0; i < hotkeys::kKeyNameChars; ++i) terminated = terminated || name[i] == L'\0';
    FUZZ_CHECK(terminated);
    for (int i = hotkeys::kKeyNameChars; i < hotkeys::kKeyNameChars + 8; ++i) FUZZ_CHECK(name[i] == L'#');
    const std::wstring shown = hotkeys::FormatHotKey(raw[0], raw[1]);
    FUZZ_CHECK(shown.size() <= 64);
    return 0;
}
