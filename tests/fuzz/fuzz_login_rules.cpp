// Which command a login page sent, the reserved box, the minimize rule and the duplicate text.
#include "FuzzText.h"
#include "login/AppCommand.h"
#include "login/LoginRules.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring url = fuzz::Text(data, size);
    const login::LoginCommand command = login::ClassifyLoginAddress(url);
    FUZZ_CHECK((command == login::LoginCommand::None) == !IsAppCommand(url));

    if (size >= 9) {
        int x, y;
        std::memcpy(&x, data, 4);
        std::memcpy(&y, data + 4, 4);
        login::InReservedBox(x, y);
        const login::MinimizeAction a = login::DecideMinimize(x, (data[8] & 1) != 0);
        FUZZ_CHECK(a == login::MinimizeAction::EndLogin || a == login::MinimizeAction::MinimizeLogin ||
                   a == login::MinimizeAction::MinimizeHost);
    }

    const std::size_t half = url.size() / 2;
    const std::wstring account = url.substr(0, half), server = url.substr(half);
    const std::wstring text = login::DuplicateAccountText(account, server);
    FUZZ_CHECK(text.find(account) != std::wstring::npos && text.find(server) != std::wstring::npos);
    return 0;
}
