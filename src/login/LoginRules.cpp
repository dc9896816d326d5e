#include "login/LoginRules.h"
#include "login/AppCommand.h"

namespace login {

bool InReservedBox(int x, int y) { return x >= 739 && x <= 786 && y >= 93 && y <= 114; }

LoginCommand ClassifyLoginAddress(std::wstring_view url) {
    if (!IsAppCommand(url)) return LoginCommand::None;
    const std::wstring verb = AppCommandVerb(url);
    if (verb == L"loadgame") return LoginCommand::LoadGame;
    if (verb == L"exitgame") return LoginCommand::ExitGame;
    if (verb == L"minimize") return LoginCommand::Minimize;
    return LoginCommand::Other;
}

MinimizeAction DecideMinimize(int hostTabCount, bool uacEnabled) {
    if (hostTabCount > 0) return MinimizeAction::EndLogin;
    return uacEnabled ? MinimizeAction::MinimizeLogin : MinimizeAction::MinimizeHost;
}

std::wstring DuplicateAccountText(std::wstring_view account, std::wstring_view server) {
    // Built to its length: an account of 255 bytes and its server always fit.
    std::wstring text = L"账号 ";
    text += account;
    text += L" 已在 ";
    text += server;
    text += L"服 登录，同一账号不能在一服重复登录";
    return text;
}

} // namespace login
