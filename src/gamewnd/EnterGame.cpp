#include "gamewnd/EnterGame.h"
#include "common/WebAddress.h"

namespace gamehall {

namespace {
constexpr std::wstring_view kMarker = L"app://entergame|";

bool IsSafeNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
           c == L'-';
}
} // namespace

EnterGameRequest ParseEnterGame(std::wstring_view url, const std::wstring& homePage) {
    EnterGameRequest request;
    if (url.substr(0, kMarker.size()) != kMarker) return request;
    request.isCommand = true;
    const std::wstring_view argument = url.substr(kMarker.size());
    std::wstring_view name = argument;
    std::wstring_view address;
    const size_t bar = argument.find(L'|');
    if (!argument.empty() && bar != std::wstring_view::npos) {
        name = argument.substr(0, bar);
        address = argument.substr(bar + 1);
    }
    request.fallback = text::IsWebAddress(address) ? std::wstring(address) : homePage;
    for (wchar_t c : name)
        if (c != L'/') request.name += c;
    if (!request.name.empty() && request.name[0] >= L'a' && request.name[0] <= L'z')
        request.name[0] = static_cast<wchar_t>(request.name[0] - L'a' + L'A');
    request.launch = !request.name.empty();
    for (wchar_t c : request.name) request.launch = request.launch && IsSafeNameChar(c);
    return request;
}

} // namespace gamehall
