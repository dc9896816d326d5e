// The Internet shortcut that "add to favourites" writes, without a window.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace favorite {

// The whole shortcut text, and its bytes in the ANSI code page, hold at most this many; the
// fixed part is 105 characters, which leaves 203 for the address.
inline constexpr std::size_t kMaxShortcutChars = 511;
// The name is read from its edit control with this many characters at most.
inline constexpr std::size_t kMaxNameChars = 127;

// The shortcut text for `url`, lines ended by CR LF; none when it is no http or https address,
// would not fit or holds a control character: an address is written whole and on its own
// lines or not at all.
std::optional<std::wstring> ShortcutText(std::wstring_view url);

// A name the favourite's file can take: one plain file name ending up inside the Favorites
// folder (not "." or "..", no "\\", "/", ":" or characters file names cannot hold).
bool IsAllowedName(std::wstring_view name);

// folder + "\\" + name + ".url" when it fits `maxChars` characters (terminator not counted).
std::optional<std::wstring> ShortcutPath(std::wstring_view folder, std::wstring_view name, std::size_t maxChars);

} // namespace favorite
