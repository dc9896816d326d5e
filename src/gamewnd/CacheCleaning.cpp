#include "gamewnd/CacheCleaning.h"
#include "gamewnd/CacheRules.h"
#include "framework/Handles.h"
#include "framework/Worker.h"

#include <wininet.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>

namespace {


// Calls visit for every URL-cache entry: true when the enumeration ran to its end.
bool ForEachCacheEntry(const std::function<void(const INTERNET_CACHE_ENTRY_INFOW&)>& visit) {
    std::vector<BYTE> buffer(1024);
    fw::UniqueUrlCacheFind find;
    // One call, repeated once with the size it asked for when the buffer was too small.
    auto fetch = [&](bool first) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD size = static_cast<DWORD>(buffer.size());
            auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
            info->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOW);
            bool ok;
            if (first) {
                HANDLE h = FindFirstUrlCacheEntryW(nullptr, info, &size);
                find.Reset(h);
                ok = h != nullptr;
            } else {
                ok = FindNextUrlCacheEntryW(find.Get(), info, &size) != FALSE;
            }
            if (ok) return true;
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return false;
            buffer.assign(size, 0);
        }
        return false;
    };
    for (bool more = fetch(true); more; more = fetch(false))
        visit(*reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()));
    return GetLastError() == ERROR_NO_MORE_ITEMS;
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

} // namespace

bool StartCacheCleaning() {
    return fw::Worker::Detach([] { ClearCaches(); });
}

int ClearCaches() {
    DeleteFlashSharedObjects();
    return ClearUrlCache();
}

int DeleteFlashSharedObjects() {
    const std::wstring roaming = SpecialFolder(CSIDL_APPDATA);
    std::wstring folder;
    if (roaming.empty() ||
        !cache::JoinFits(cache::FolderPrefix(roaming), L"Macromedia\\Flash Player\\#SharedObjects", MAX_PATH, folder))
        return 0;
    return DeleteTree(folder.c_str());
}

int ClearUrlCache() {
    ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (!cache::IsCookieEntry(entry.CacheEntryType) && entry.lpszSourceUrlName)
            DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
    const std::wstring folder = SpecialFolder(CSIDL_INTERNET_CACHE);
    return folder.empty() ? 0 : DeleteTree(folder.c_str());
}

int PurgeLoaderCache() {
    const bool ended = ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        // The whole address is compared: a copy cut to a buffer could miss the loader.
        if (!cache::IsCookieEntry(entry.CacheEntryType) && entry.lpszSourceUrlName &&
            cache::IsLoaderAddress(entry.lpszSourceUrlName))
            DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
    return ended ? 1 : 0;
}

int DeleteTree(const wchar_t* path) {
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    const DWORD own = GetFileAttributesW(path);
    if (own == INVALID_FILE_ATTRIBUTES) return 0;
    // A link given as the folder itself: remove the link, keep where it leads.
    if (IsLink(own)) return RemoveDirectoryW(path) ? 1 : 0;

    const std::wstring prefix = cache::FolderPrefix(path);
    std::wstring pattern;
    DWORD error = ERROR_SUCCESS;
    WIN32_FIND_DATAW found = {};
    fw::UniqueFind search;
    if (cache::JoinFits(prefix, L"*", MAX_PATH, pattern)) search.Reset(FindFirstFileW(pattern.c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child;
            if (!cache::JoinFits(prefix, name, MAX_PATH, child)) {
                error = ERROR_FILENAME_EXCED_RANGE;
                continue;
            }
            const DWORD attributes = found.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(child.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(attributes)) {
                DeleteTree(child.c_str());  // what stays makes the removal below fail
                continue;
            }
            // A file, or a link (to a file or a folder) that goes without its target.
            const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(child.c_str())
                                                                          : DeleteFileW(child.c_str());
            if (!removed) error = GetLastError();
        } while (FindNextFileW(search.Get(), &found));
        search.Reset();
    }
    if (!RemoveDirectoryW(path) && error == ERROR_SUCCESS) error = GetLastError();
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    return 1;
}
