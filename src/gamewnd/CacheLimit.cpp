#include "gamewnd/CacheLimit.h"
#include "framework/Handles.h"

namespace {
const wchar_t kCacheContentKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";
const DWORD kCacheLimit = 0x100000;
} // namespace

bool SetBrowserCacheLimit() {
    fw::UniqueRegKey key;
    // A missing key means a browser that keeps its settings elsewhere: make nothing up.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCacheContentKey, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.Get(), L"CacheLimit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kCacheLimit),
                          sizeof(kCacheLimit)) == ERROR_SUCCESS;
}
