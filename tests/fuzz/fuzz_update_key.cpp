// The version key: digits of the version bound to the executable's digest, compared
// ignoring ASCII case.
#include "FuzzText.h"
#include "update/UpdateKey.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    const std::size_t bar = text.find(L'|');
    const std::wstring md5 = text.substr(0, bar);
    const std::wstring version = bar == std::wstring::npos ? L"3.0.0.1" : text.substr(bar + 1);

    const std::wstring digits = update::VersionDigits(version);
    FUZZ_CHECK(digits.find(L'.') == std::wstring::npos && digits.size() <= version.size());
    const std::wstring key = update::LocalVersionKey(md5, version);
    FUZZ_CHECK(key.size() == std::max(md5.size(), digits.size()));
    FUZZ_CHECK(key.compare(key.size() - digits.size(), digits.size(), digits) == 0);

    FUZZ_CHECK(update::CompareKeysNoCase(md5, md5) == 0);
    const int ab = update::CompareKeysNoCase(md5, version), ba = update::CompareKeysNoCase(version, md5);
    FUZZ_CHECK(ab >= -1 && ab <= 1 && ab == -ba);
    if (size > 0) update::UpdateCheckRunsIn(RunMode(data[0] % 8));
    return 0;
}
