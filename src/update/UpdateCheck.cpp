#include "update/UpdateCheck.h"
#include "framework/Handles.h"
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "net/HttpFetch.h"
#include "update/Md5.h"
#include "update/UpdateKey.h"
#include "velkor_config.h"
#include "velkor_version.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

const wchar_t kUpdateConfigUrl[] = L"http://" VELKOR_UPDATE_HOST L"/update/ConfigVelkor.htm";

namespace {

const wchar_t kVerKeySection[] = L"VerKey";
const wchar_t kVersionKeyName[] = L"Velkor";
const wchar_t kUpdAddrKeyName[] = L"UpdAddr";

} // namespace

bool UpdateConfigCopyPath(wchar_t (&out)[MAX_PATH]) {
    wchar_t name[64] = {};
    if (swprintf_s(name, ARRAYSIZE(name), L"ConfigVelkor-%lu-%lu.htm", GetCurrentProcessId(), GetCurrentThreadId()) < 0)
        return false;
    return ModuleFilePath(name, out);
}

bool RememberRefusedKey(const wchar_t* serverKey) {
    if (!serverKey) return false;
    fw::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, nullptr, 0, KEY_WRITE | kSettingsView, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = DWORD((wcslen(serverKey) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), kRefusedKeyValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(serverKey), bytes) ==
           ERROR_SUCCESS;
}

std::wstring RefusedKey() {
    fw::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, KEY_QUERY_VALUE | kSettingsView, key.Put()) !=
        ERROR_SUCCESS)
        return {};
    wchar_t value[64] = {};
    DWORD type = 0, bytes = sizeof(value) - sizeof(wchar_t);  // room for the terminating zero
    const LONG result =
        RegQueryValueExW(key.Get(), kRefusedKeyValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    if (result != ERROR_SUCCESS || type != REG_SZ) return {};
    return value;
}

const wchar_t* FileMd5Hex(const wchar_t* path, wchar_t (&out)[64]) {
    std::wmemset(out, 0, 64);
    std::FILE* file = _wfopen(path, L"rb");
    if (!file) return nullptr;
    // Read in 1024-byte pieces through a larger stream buffer: fewer system calls.
    static thread_local char streamBuffer[1 << 16];
    std::setvbuf(file, streamBuffer, _IOFBF, sizeof(streamBuffer));
    update::Md5 md5;
    unsigned char piece[1024];
    std::size_t got = 0;
    while ((got = std::fread(piece, 1, sizeof(piece), file)) > 0) md5.Update(piece, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return nullptr;
    const auto digest = md5.Final();
    const std::wstring hex = update::HexLower(digest.data(), digest.size());
    wcscpy_s(out, hex.c_str());
    return out;
}

bool FetchUpdateConfig(char (&key)[64], wchar_t (&updAddr)[512]) {
    std::memset(key, 0, sizeof(key));
    std::wmemset(updAddr, 0, 512);
    wchar_t copy[MAX_PATH] = {};
    if (!UpdateConfigCopyPath(copy)) return false;
    // A failed fetch leaves no copy: a page cut short never stands under this name.
    if (!HttpGetToFile(kUpdateConfigUrl, copy)) return false;

    // More room than a key may take, so that a longer key is refused below rather than cut
    // here: cut, it would differ from every build and have each start fetch a download that
    // can never match it.
    wchar_t version[256] = {};
    GetPrivateProfileStringW(kVerKeySection, kVersionKeyName, L"", version, ARRAYSIZE(version), copy);
    // Read the address into more room than it may take: a longer one is dropped, never
    // cut into the address of something else.
    wchar_t address[2048] = {};
    const DWORD addressChars = GetPrivateProfileStringW(kVerKeySection, kUpdAddrKeyName, L"", address,
                                                        ARRAYSIZE(address), copy);
    if (addressChars < 512) wcscpy_s(updAddr, 512, address);
    DeleteFileW(copy);

    // The server's key is single-byte text; a key that does not fit the buffer is no key.
    if (!WideCharToMultiByte(CP_ACP, 0, version, -1, key, sizeof(key), nullptr, nullptr)) key[0] = '\0';
    return true;
}

UpdateOffer CheckForUpdate(RunMode mode, bool force, const SYSTEMTIME& nowUtc) {
    UpdateOffer offer;
    if (!force && (!update::UpdateCheckRunsIn(mode) || !IsUpdateDue(nowUtc))) return offer;
    char serverKeyAnsi[64];
    if (!FetchUpdateConfig(serverKeyAnsi, offer.szUpdAddr) || serverKeyAnsi[0] == '\0') return offer;

    if (!MultiByteToWideChar(CP_ACP, 0, serverKeyAnsi, -1, offer.szServerKey, 64)) {
        offer.szServerKey[0] = L'\0';
        return offer;
    }
    // A key no build can have, or one whose download was refused before, would only fetch
    // a file that is thrown away again: nothing is offered, from the menu the player is told
    // the program is up to date, and the forced update does not download.
    if (!update::IsBuildKey(offer.szServerKey) ||
        update::CompareKeysNoCase(offer.szServerKey, RefusedKey()) == 0)
        return offer;
    offer.downloadable = true;

    wchar_t exe[MAX_PATH] = {};
    wchar_t md5[64];
    // Without our own digest there is nothing sound to compare: offer nothing rather than
    // download again on every start.
    if (!ModuleFilePath(nullptr, exe) || !FileMd5Hex(exe, md5)) return offer;
    const std::wstring localKey = update::LocalVersionKey(md5, VELKOR_VERSION_W);
    offer.differs = update::CompareKeysNoCase(offer.szServerKey, localKey) != 0;
    return offer;
}

UpdateOffer CheckForUpdate(RunMode mode, bool force) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return CheckForUpdate(mode, force, now);
}
