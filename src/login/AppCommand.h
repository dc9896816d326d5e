// The app: commands by which the operator's pages talk to the program, and the account key
// made from a login's LOGIN text. No window or system call here: the one conversion that
// needs the system (to the ANSI code page) is handed in by the caller.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// What the default before-navigate handler of the HTML dialogs does with an address.
enum class AppNavigate {
    Cancel,          // an app: command: the browser never performs it
    Allow,           // javascript: in lower case: explicitly allowed
    BrowserDecides,  // anything else: the browser's own choice stands
};
AppNavigate ClassifyNavigation(std::wstring_view url);

// Characters 0-3 are exactly "app:".
bool IsAppCommand(std::wstring_view url);
// Characters 6-13 of the address (characters 4 and 5 are not examined); shorter when the
// address is.
std::wstring AppCommandVerb(std::wstring_view url);

// "app://loadgame|LOGIN|GAMEURL": LOGIN runs from index 15 to the next "|" at or after it,
// GAMEURL is the rest. Both empty when the address has 15 characters or fewer or no "|"
// follows index 15.
struct LoadGameArgs {
    std::wstring login;
    std::wstring gameUrl;
};
LoadGameArgs SplitLoadGame(std::wstring_view url);

// The protocol's limit for a LOGIN text in the ANSI code page (and for its decoded forms).
inline constexpr size_t kMaxLoginBytes = 255;

// Converts text to the ANSI code page (the system's conversion in the program, a fake in tests).
using ToAnsiCodePage = std::function<std::string(std::wstring_view)>;

struct AccountKey {
    std::wstring server;
    std::wstring middle;
    std::wstring account;
    std::wstring key;  // server + "服-" + middle + "-" + account
};

// Turns LOGIN into the account key the main window registers. False (and out untouched)
// when LOGIN is longer than the protocol allows: cutting it could name another account.
bool ParseLoadGame(std::wstring_view login, const ToAnsiCodePage& toAnsi, AccountKey& out);

// Percent-decoding of bytes as the shell's URL unescaping does it with no flags: "%" and two
// hex digits become one byte, anything else is copied; the result ends at a decoded NUL.
std::string PercentDecode(std::string_view bytes);
// UTF-8 to UTF-16; each byte of an invalid sequence becomes U+FFFD.
std::wstring DecodeUtf8(std::string_view bytes);
