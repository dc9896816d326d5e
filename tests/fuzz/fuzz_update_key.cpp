// The update page's values and the version key: the download address the page names (only
// an http address whose host is on the operator's domains), the server's key a download must
// carry, and the key of the running program: digits of the version bound to the executable's
// digest, compared ignoring ASCII case.
#include "FuzzText.h"
#include "update/UpdateKey.h"
#include "update/UpdateRules.h"
#include "velkor_config.h"

#include <algorithm>
#include <cstring>

namespace {

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return s;
}

bool EndsWithNoCase(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == Lower(tail);
}

// The host of an http address read the plain way: after "http://", up to the first character
// that ends a host name; no user part, no empty host.
bool HostOnOperatorDomains(const std::wstring& address) {
    if (address.size() < 7 || Lower(address.substr(0, 7)) != L"http://") return false;
    const std::wstring rest = address.substr(7);
    const std::wstring host = rest.substr(0, rest.find_first_of(L"/?#\\:"));
    if (host.empty() || host.find(L'@') != std::wstring::npos) return false;
    for (const std::wstring domain : {VELKOR_SITE_DOMAIN1, VELKOR_SITE_DOMAIN2, VELKOR_SITE_DOMAIN3}) {
        if (domain.empty()) continue;
        if (Lower(host) == Lower(domain) || EndsWithNoCase(host, L"." + domain)) return true;
    }
    return false;
}

void CheckUpdatePage(const std::wstring& text, const std::uint8_t* data, std::size_t size) {
    // An address the program would download and run: its host must really be the operator's.
    if (update::IsUpdateDownloadAddress(text)) FUZZ_CHECK(HostOnOperatorDomains(text));

    // Split as "<server key>|<md5>|<version>".
    const std::size_t a = text.find(L'|');
    if (a == std::wstring::npos) return;
    const std::size_t b = text.find(L'|', a + 1);
    const std::wstring serverKey = text.substr(0, a);
    const std::wstring md5 = text.substr(a + 1, b == std::wstring::npos ? std::wstring::npos : b - a - 1);
    const std::wstring version = b == std::wstring::npos ? L"3.0.0.1" : text.substr(b + 1);
    const bool matches = update::DownloadMatchesServerKey(serverKey, md5, version);
    if (matches) FUZZ_CHECK(!serverKey.empty() && md5.size() == 32);
    // Letter case of the server's key never decides.
    FUZZ_CHECK(update::DownloadMatchesServerKey(Lower(serverKey), md5, version) == matches);
    // The key the running program would have for that file is always accepted for it.
    if (md5.size() == 32 && !update::VersionDigits(version).empty())
        FUZZ_CHECK(update::DownloadMatchesServerKey(update::LocalVersionKey(md5, version), md5, version));

    if (size >= 8) {
        std::uint32_t ms, ls;
        std::memcpy(&ms, data, 4);
        std::memcpy(&ls, data + 4, 4);
        const std::wstring dotted = update::VersionText(ms, ls);
        const std::wstring expected = std::to_wstring(ms >> 16) + L"." + std::to_wstring(ms & 0xFFFFu) + L"." +
                                      std::to_wstring(ls >> 16) + L"." + std::to_wstring(ls & 0xFFFFu);
        FUZZ_CHECK(dotted == expected);
    }
}

} // namespace

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

    CheckUpdatePage(text, data, size);
    return 0;
}
