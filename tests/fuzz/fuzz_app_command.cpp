// The app: grammar and the account key made from a login's LOGIN text.
#include "FuzzText.h"
#include "login/AppCommand.h"

#include <algorithm>
#include <string>

namespace {

// The ANSI code page of the players' systems takes two bytes for a character outside ASCII.
std::string FakeAnsi(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        if (unsigned(c) < 0x80) {
            out.push_back(char(c));
        } else {
            out.push_back(char(0x81 + (unsigned(c) >> 8) % 0x7E));
            out.push_back(char(0x40 + unsigned(c) % 0xBF));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring url = fuzz::Text(data, size);

    const AppNavigate nav = ClassifyNavigation(url);
    FUZZ_CHECK(IsAppCommand(url) == (url.rfind(L"app:", 0) == 0));
    FUZZ_CHECK((nav == AppNavigate::Cancel) == IsAppCommand(url));
    const std::wstring verb = AppCommandVerb(url);
    FUZZ_CHECK(verb.size() <= 8 && verb.size() <= url.size());

    const LoadGameArgs args = SplitLoadGame(url);
    FUZZ_CHECK(args.login.find(L'|') == std::wstring::npos);
    FUZZ_CHECK(args.login.size() + args.gameUrl.size() <= url.size());

    for (const std::wstring& login : {url, args.login}) {
        AccountKey key;
        key.account = L"untouched";
        if (ParseLoadGame(login, FakeAnsi, key)) {
            FUZZ_CHECK(key.key == key.server + L"服-" + key.middle + L"-" + key.account);
            FUZZ_CHECK(key.server.find(L'S') == std::wstring::npos);
            // A percent-encoded LOGIN is decoded from at most kMaxLoginBytes bytes, one unit a byte
            // at most (an invalid byte becomes U+FFFD); any other LOGIN is cut, never grown.
            const std::size_t limit = std::max(login.size(), kMaxLoginBytes);
            FUZZ_CHECK(key.middle.size() <= limit && key.account.size() <= limit);
        } else {
            FUZZ_CHECK(key.account == L"untouched");
        }
        // Without a conversion no length limit applies.
        AccountKey any;
        ParseLoadGame(login, nullptr, any);
    }

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string decoded = PercentDecode(bytes);
    FUZZ_CHECK(decoded.size() <= size && decoded.find('\0') == std::string::npos);
    const std::wstring wide = DecodeUtf8(bytes);
    FUZZ_CHECK(wide.size() <= size);
    for (wchar_t c : wide) FUZZ_CHECK(unsigned(c) <= 0xFFFF);
    return 0;
}
