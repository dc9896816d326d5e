// The rules of the program's own HTTP requests, free of Windows headers: how an address is
// split for the connection, which addresses may be fetched, which answers count.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace net {

// Buffer limits of the request: longer parts are refused, never cut into another request.
inline constexpr std::size_t kMaxHostChars = 259;
inline constexpr std::size_t kMaxObjectChars = 511;
inline constexpr std::uint16_t kDefaultHttpPort = 80;

inline constexpr wchar_t kHttpPrefix[] = L"http://";
inline constexpr std::size_t kHttpPrefixChars = 7;

struct HttpTarget {
    std::wstring host;
    std::uint16_t port = kDefaultHttpPort;
    std::wstring object;  // without its leading slash; may be empty
};

// rest is the address after "http://". The host is everything before the first slash, the
// object everything after it; a colon in the host part starts a decimal port. False when
// the host is empty or longer than kMaxHostChars, the object longer than kMaxObjectChars,
// or the port is not a number from 1 to 65535.
bool SplitHttpUrl(const std::wstring& rest, HttpTarget& out);

// "http://" at the start, in any letter case.
bool HasHttpPrefix(const std::wstring& address);

// Whether the address is an http:// address whose host is one of the domains or lies
// below one of them (host equal to the domain, or ending in "." + domain; letter case
// ignored, as host names are). Downloads of program files and pictures are only taken
// from the operator's own sites.
bool HostIsOnDomains(const std::wstring& address, const std::wstring* domains, std::size_t count);
// The same test against the operator's three site domains of this build.
bool IsOperatorSiteAddress(const std::wstring& address);

// Only a 2xx answer carries the object: error pages must never be saved as the file.
bool HttpStatusIsSuccess(const std::wstring& statusText);

// Percentage of a transfer, 0 to 100, in 64-bit arithmetic whatever the sizes.
int PercentDone(std::uint64_t received, std::uint64_t expected);

} // namespace net
