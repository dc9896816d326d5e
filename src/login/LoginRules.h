// The login's rules without a window: which command a page sent, the box the page keeps for
// its own close control, what "minimize" does, and the duplicate-account message.
#pragma once
#include <string>
#include <string_view>

namespace login {

// The page's own control lies in this box (page client coordinates, edges included): presses
// there do not drag the login windows.
bool InReservedBox(int x, int y);

enum class LoginCommand {
    None,      // not an app: address: the browser navigates
    LoadGame,  // "app://loadgame|LOGIN|GAMEURL"
    ExitGame,
    Minimize,
    Other,     // another app: address: cancelled, nothing else
};
LoginCommand ClassifyLoginAddress(std::wstring_view url);

enum class MinimizeAction {
    EndLogin,       // an extra tab's login is abandoned
    MinimizeLogin,  // the login windows go to the taskbar
    MinimizeHost,   // the main window goes (and the login with it)
};
MinimizeAction DecideMinimize(int hostTabCount, bool uacEnabled);

// "账号 <account> 已在 <server>服 登录，同一账号不能在一服重复登录".
std::wstring DuplicateAccountText(std::wstring_view account, std::wstring_view server);

} // namespace login
