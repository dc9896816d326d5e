// The account-key record a page process sends its main window by copy-data, and the list of
// keys the window keeps.
#include "FuzzText.h"
#include "gamewnd/TabStrip.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the record's end.
    std::vector<std::uint8_t> record(data, data + size);
    std::wstring key = L"stale";
    const bool ok = tabs::ReadKeyRecord(record.empty() ? nullptr : record.data(), record.size(), key);
    if (ok) {
        FUZZ_CHECK(size % 2 == 0 && size <= tabs::kMaxKeyRecordBytes);
        FUZZ_CHECK(!key.empty() && key.size() <= size / 2 && key.find(L'\0') == std::wstring::npos);
        for (std::size_t i = 0; i < key.size(); ++i)
            FUZZ_CHECK(unsigned(key[i]) == unsigned(data[2 * i] | (data[2 * i + 1] << 8)));
        tabs::AccountKeys keys;
        FUZZ_CHECK(keys.Add(key) && !keys.Add(key) && keys.Contains(key) && keys.Size() == 1);
        FUZZ_CHECK(keys.RemoveAt(0) && !keys.RemoveAt(0));
    } else {
        FUZZ_CHECK(key.empty());
    }
    if (size >= 12) {
        int x, y, count;
        std::memcpy(&x, data, 4);
        std::memcpy(&y, data + 4, 4);
        std::memcpy(&count, data + 8, 4);
        count = count % (tabs::kMaxTabs + 1);
        if (count < 0) count = -count;
        const tabs::StripHit hit = tabs::HitTestStrip(x, y, count);
        FUZZ_CHECK(hit.tab >= -1 && hit.tab < count);
        tabs::DecideClose((long long)x * y, count, data[8] & 1);
    }
    return 0;
}
