// The game-hall launch command: its name becomes part of a path an elevated program starts and
// its address is opened by the shell, so neither may carry anything but what the rules allow.
#include "FuzzText.h"
#include "common/WebAddress.h"
#include "gamewnd/EnterGame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring url = fuzz::Text(data, size);
    const std::wstring home = L"http://hall.example/";
    const gamehall::EnterGameRequest r = gamehall::ParseEnterGame(url, home);
    FUZZ_CHECK(r.isCommand == (url.rfind(L"app://entergame|", 0) == 0));
    if (!r.isCommand) {
        FUZZ_CHECK(!r.launch && r.name.empty() && r.fallback.empty());
        return 0;
    }
    FUZZ_CHECK(r.fallback == home || text::IsWebAddress(r.fallback));
    FUZZ_CHECK(r.name.find(L'/') == std::wstring::npos);
    if (r.launch) {
        FUZZ_CHECK(!r.name.empty() && !(r.name[0] >= L'a' && r.name[0] <= L'z'));
        for (wchar_t c : r.name)
            FUZZ_CHECK((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                       c == L'_' || c == L'-');
    }
    return 0;
}
