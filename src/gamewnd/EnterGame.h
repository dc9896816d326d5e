// The game-hall launch command of the web-game page, "app://entergame|NAME" or
// "app://entergame|NAME|ADDRESS", without a window. The name becomes part of a path that an
// elevated program starts and the address is opened by the shell, so both are checked here.
#pragma once
#include <string>
#include <string_view>

namespace gamehall {

struct EnterGameRequest {
    bool isCommand = false;  // the address is the command: the navigation is cancelled
    bool launch = false;     // the name is one the program may start or download
    std::wstring name;       // "gamehall/" -> "Gamehall"
    std::wstring fallback;   // the address opened when the player declines the download
};

// Only an address that begins with the marker is the command. The name loses every "/" and
// a lower-case first letter is raised; a name of anything but ASCII letters, digits, "_" and
// "-" (or an empty one) is never launched. A fallback that is no http or https address gives
// way to `homePage`.
EnterGameRequest ParseEnterGame(std::wstring_view url, const std::wstring& homePage);

} // namespace gamehall
