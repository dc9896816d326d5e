#include "login/QQRules.h"
#include "common/AsciiText.h"

#include "velkor_config.h"

namespace qq {

const wchar_t kAuthorizeAddress[] = L"https://graph.qq.com/oauth2.0/authorize";
const wchar_t kClientCallbackAddress[] = L"http://" VELKOR_GAME_HOST L"/clientcallback.php?game=sevrith";
const wchar_t kSocialCallbackAddress[] = L"http://" VELKOR_CLIENT_HOST L"/social/callback.do?state";

bool BeginsWith(std::wstring_view address, std::wstring_view prefix) {
    return text::StartsWithNoCase(address, prefix);
}

bool IsAuthorizeAddress(std::wstring_view address) { return BeginsWith(address, kAuthorizeAddress); }

bool IsCallbackAddress(std::wstring_view address) {
    return BeginsWith(address, kClientCallbackAddress) || BeginsWith(address, kSocialCallbackAddress);
}

bool HasCookieValue(std::wstring_view cookies, std::wstring_view name) {
    while (!cookies.empty()) {
        const std::size_t end = cookies.find(L';');
        std::wstring_view item = cookies.substr(0, end);
        cookies = end == std::wstring_view::npos ? std::wstring_view() : cookies.substr(end + 1);
        while (!item.empty() && item.front() == L' ') item.remove_prefix(1);
        const std::size_t equals = item.find(L'=');
        if (equals == std::wstring_view::npos || item.substr(0, equals) != name) continue;
        std::wstring_view value = item.substr(equals + 1);
        while (!value.empty() && value.back() == L' ') value.remove_suffix(1);
        if (!value.empty()) return true;
    }
    return false;
}

} // namespace qq
