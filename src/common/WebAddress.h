// Which addresses the program hands to the browser or the shell: only web addresses. Pages
// and servers reach an elevated program, and anything else (file:, a program's path, a
// script scheme) would have it open or start what they name.
#pragma once
#include "common/AsciiText.h"

#include <string_view>

namespace text {

// "http://" or "https://" in any case, followed by at least a host character.
inline bool IsWebAddress(std::wstring_view address) {
    for (std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")}) {
        if (StartsWithNoCase(address, scheme)) {
            const std::wstring_view rest = address.substr(scheme.size());
            return !rest.empty() && rest[0] != L'/' && rest[0] != L'\\';
        }
    }
    return false;
}

} // namespace text
