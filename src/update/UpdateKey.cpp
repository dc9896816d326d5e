#include "update/UpdateKey.h"
#include "common/AsciiText.h"

namespace update {

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
    return text::CompareNoCase(a, b);
}

bool IsBuildKey(const std::wstring& key) {
    if (key.size() != 32) return false;
    for (wchar_t c : key)
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'))) return false;
    return true;
}

bool UpdateCheckRunsIn(RunMode mode) {
    switch (mode) {
    case RUN_DESKTOP:
    case RUN_INSTALLED:
    case RUN_UPDATE:
    case RUN_GAMEHALL:
        return true;
    default:  // installer run, partner start, uninstall and the game tabs never check
        return false;
    }
}

} // namespace update
