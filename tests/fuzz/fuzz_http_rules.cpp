// The address split for the connection and the host/domain test that guards downloads.
#include "FuzzText.h"
#include "common/AsciiText.h"
#include "net/HttpRules.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);

    net::HttpTarget target;
    if (net::SplitHttpUrl(text, target)) {
        FUZZ_CHECK(!target.host.empty() && target.host.size() <= net::kMaxHostChars);
        FUZZ_CHECK(target.object.size() <= net::kMaxObjectChars);
        FUZZ_CHECK(target.port >= 1);
        FUZZ_CHECK(target.host.find(L'/') == std::wstring::npos && target.host.find(L':') == std::wstring::npos);
    }

    FUZZ_CHECK(net::HasHttpPrefix(text) == text::StartsWithNoCase(text, L"http://"));
    const std::wstring domains[] = {L"olvesk.test", L"Sevrith.Example", L""};
    const bool on = net::HostIsOnDomains(text, domains, 3);
    if (on) FUZZ_CHECK(net::HasHttpPrefix(text));
    net::HostIsOnDomains(text, domains, 0);
    net::IsOperatorSiteAddress(text);
    net::HttpStatusIsSuccess(text);

    if (size >= 16) {
        std::uint64_t received, expected;
        std::memcpy(&received, data, 8);
        std::memcpy(&expected, data + 8, 8);
        const int p = net::PercentDone(received, expected);
        FUZZ_CHECK(p >= 0 && p <= 100);
    }
    return 0;
}
