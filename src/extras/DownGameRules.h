// The game-client download without a window: where the client's configuration page and its
// installer are, and what the percent label says.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace downgame {

// The longest installer address ("UpdAddr") taken from the client's configuration page; a
// longer one is refused, never cut.
inline constexpr std::size_t kMaxSetupUrlChars = 511;

// The program's own configuration page address with every "Velkor" (case-sensitive) replaced
// by the client's name: .../update/ConfigVelkor.htm becomes .../update/Config<name>.htm.
std::wstring ClientConfigUrl(std::wstring_view ownConfigUrl, std::wstring_view name);

// tempFolder (the download's folder, ending in a separator) + name + ".exe", when the name is
// a plain file name (it comes from a game page) and the whole path fits `maxChars` characters (terminator not counted).
bool SetupPathFor(std::wstring_view tempFolder, std::wstring_view name, std::size_t maxChars, std::wstring& out);

// "已加载  n%" (two blanks).
std::wstring PercentLabel(int percent);

} // namespace downgame
