#include "update/UpdateRules.h"
#include "update/UpdateKey.h"
#include "net/HttpRules.h"

namespace update {

bool IsUpdateDownloadAddress(const std::wstring& address) {
    return net::HasHttpPrefix(address) && net::IsOperatorSiteAddress(address);
}

std::wstring VersionText(std::uint32_t versionMs, std::uint32_t versionLs) {
    return std::to_wstring(versionMs >> 16) + L"." + std::to_wstring(versionMs & 0xFFFF) + L"." +
           std::to_wstring(versionLs >> 16) + L"." + std::to_wstring(versionLs & 0xFFFF);
}

bool DownloadMatchesServerKey(const std::wstring& serverKey, const std::wstring& fileMd5Hex,
                              const std::wstring& fileVersion) {
    if (serverKey.empty() || fileMd5Hex.size() != 32 || VersionDigits(fileVersion).empty()) return false;
    return CompareKeysNoCase(serverKey, LocalVersionKey(fileMd5Hex, fileVersion)) == 0;
}

} // namespace update
