#include "net/UpdateKey.h"

namespace net {

std::wstring VersionDigits(const std::wstring& version) {
    std::wstring digits;
    for (wchar_t c : version)
        if (c != L'.') digits += c;
    return digits;
}

std::wstring LocalVersionKey(const std::wstring& md5Hex, const std::wstring& version) {
    const std::wstring digits = VersionDigits(version);
    const std::size_t keep = md5Hex.size() > digits.size() ? md5Hex.size() - digits.size() : 0;
    return md5Hex.substr(0, keep) + digits;
}

int CompareKeysNoCase(const std::wstring& a, const std::wstring& b) {
    auto lower = [](wchar_t c) -> int { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; };
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = lower(a[i]) - lower(b[i]);
        if (d) return d;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace net
