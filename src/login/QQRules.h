// The addresses and the cookie of the QQ sign-in, without a window.
#pragma once
#include <string_view>

namespace qq {

// QQ's OAuth 2.0 authorize endpoint: only ever loaded in a visible window.
extern const wchar_t kAuthorizeAddress[];
// The operator's two callback pages; the sign-in is over when one of them has set the cookie.
extern const wchar_t kClientCallbackAddress[];
extern const wchar_t kSocialCallbackAddress[];
inline constexpr wchar_t kSignInCookie[] = L"Pauth";

// Whether address begins with prefix (letter case of ASCII ignored, as in scheme and host).
bool BeginsWith(std::wstring_view address, std::wstring_view prefix);
bool IsAuthorizeAddress(std::wstring_view address);
// Only an address that begins with a callback address: one found further in (as a query
// parameter of another page) is not a callback.
bool IsCallbackAddress(std::wstring_view address);

// Whether the cookie text ("a=1; b=2", as the cookie store gives it) holds a cookie of that
// exact name with a non-empty value.
bool HasCookieValue(std::wstring_view cookies, std::wstring_view name);

} // namespace qq
