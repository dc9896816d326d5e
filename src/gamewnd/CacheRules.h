// Rules of the browser cache cleaning, free of Windows headers: which cache entries hold the
// game loader, and how a path inside a folder is formed without ever being cut.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cache {

// The game's cached loader carries the player's name in its query; an outdated one must go
// before a refresh. Compared ignoring letter case.
inline constexpr wchar_t kLoaderPattern[] = L"SevrithLoader.swf?username=";
bool IsLoaderAddress(std::wstring_view address);

// The URL-cache entry type bit of cookies, which cleaning never deletes.
inline constexpr std::uint32_t kCookieEntryBit = 0x00100000;
inline bool IsCookieEntry(std::uint32_t entryType) { return (entryType & kCookieEntryBit) != 0; }

// The folder with one "\" at its end.
std::wstring FolderPrefix(std::wstring_view folder);
// prefix + name into out when the result fits a buffer of `capacity` characters with its
// terminator; false otherwise: a cut path would name another file.
bool JoinFits(std::wstring_view prefix, std::wstring_view name, std::size_t capacity, std::wstring& out);

} // namespace cache
