#include "gamewnd/CacheCleaning.h"
#include "gamewnd/CacheLimit.h"
#include "gamewnd/CacheRules.h"
#include "support/HostState.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t kContentKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";

// Puts an entry into the URL cache as the browser would after a download.
bool CacheEntry(const std::wstring& url) {
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"swf", file, 0)) return false;
    if (!WriteWholeFile(file, "cached")) return false;
    FILETIME none = {};
    return CommitUrlCacheEntryW(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool InCache(const std::wstring& url) {
    DWORD size = 0;
    if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST(CacheLimit, WrittenOnlyIntoAnExistingKey) {
    // A fresh test prefix may or may not have the key: what was there is put back.
    RegistryKeyScope kept(HKEY_CURRENT_USER, kContentKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kContentKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kContentKey);

    EXPECT_FALSE(SetBrowserCacheLimit());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kContentKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND) << "never created";

    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kContentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    EXPECT_TRUE(SetBrowserCacheLimit());
    DWORD value = 0, type = 0, size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(key, L"CacheLimit", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), 0);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(value, 1048576u);
    RegCloseKey(key);
}

TEST(CacheCleaning, CleaningKeepsCookiesAndDeletesTheRest) {
    const std::wstring pageUrl = L"http://127.0.0.1/game/page.js";
    ASSERT_TRUE(CacheEntry(pageUrl));
    ASSERT_TRUE(InternetSetCookieW(L"http://127.0.0.1/", L"Pauth", L"kept; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
    // The plug-in's storage with a read-only file in it.
    wchar_t roaming[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, roaming);
    const std::wstring storage = roaming + std::wstring(L"\\Macromedia\\Flash Player\\#SharedObjects");
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (storage + L"\\site").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(WriteWholeFile(storage + L"\\site\\game.sol", "saved"));
    ASSERT_TRUE(SetFileAttributesW((storage + L"\\site\\game.sol").c_str(), FILE_ATTRIBUTE_READONLY));

    ClearCaches();

    EXPECT_FALSE(InCache(pageUrl));
    EXPECT_FALSE(FileExists(storage)) << "the read-only file and its folders are gone";
    wchar_t cookie[256] = {};
    DWORD size = ARRAYSIZE(cookie);
    EXPECT_TRUE(InternetGetCookieW(L"http://127.0.0.1/", nullptr, cookie, &size) && wcsstr(cookie, L"Pauth=kept"));
    // Kept on disk too, where the next process reads it from: the cookie's own cache entry.
    bool cookieEntry = false;
    std::vector<BYTE> buffer(4096);
    DWORD bytes = DWORD(buffer.size());
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    HANDLE find = FindFirstUrlCacheEntryW(L"Cookie:", info, &bytes);
    for (BOOL more = find != nullptr; more; more = FindNextUrlCacheEntryW(find, info, &(bytes = DWORD(buffer.size()))))
        if (cache::IsCookieEntry(info->CacheEntryType) && wcsstr(info->lpszSourceUrlName, L"127.0.0.1"))
            cookieEntry = info->lpszLocalFileName && FileExists(info->lpszLocalFileName);
    if (find) FindCloseUrlCache(find);
    EXPECT_TRUE(cookieEntry);
}

TEST(CacheCleaning, PurgeDeletesOnlyTheLoaderInAnyCase) {
    const std::wstring loaders[] = {
        L"http://127.0.0.1/game/SevrithLoader.swf?username=bob",
        L"http://127.0.0.1/game/sevrithloader.SWF?USERNAME=Amy",
        // Far beyond the 512 characters of an address buffer: still found, not missed.
        L"http://127.0.0.1/game/" + std::wstring(600, L'x') + L"/SEVRITHLOADER.swf?UserName=cy",
    };
    const std::wstring others[] = {
        L"http://127.0.0.1/game/SevrithLoader.swf",
        L"http://127.0.0.1/game/Other.swf?username=bob",
    };
    for (const auto& url : loaders) ASSERT_TRUE(CacheEntry(url)) << GetLastError();
    for (const auto& url : others) ASSERT_TRUE(CacheEntry(url));

    EXPECT_EQ(PurgeLoaderCache(), 1);
    for (const auto& url : loaders) EXPECT_FALSE(InCache(url)) << std::string(url.begin(), url.begin() + 60);
    for (const auto& url : others) EXPECT_TRUE(InCache(url)) << std::string(url.begin(), url.end());
    for (const auto& url : others) DeleteUrlCacheEntryW(url.c_str());
}

TEST(CacheCleaning, DeleteTreeSkipsWhatItCannotAndNeverLeavesTheFolder) {
    TempFolder outside(L"outside");
    ASSERT_TRUE(WriteWholeFile(outside.File(L"precious.txt"), "keep"));
    TempFolder temp(L"tree");
    const std::wstring root = temp.Path() + L"\\root";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (root + L"\\busy\\deep").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (root + L"\\free\\deep").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(WriteWholeFile(root + L"\\free\\deep\\a.txt", "b"));
    ASSERT_TRUE(WriteWholeFile(root + L"\\busy\\deep\\open.txt", "c"));
    ASSERT_TRUE(WriteWholeFile(root + L"\\busy\\sibling.txt", "d"));
    // Wine has no junctions of its own: a Unix link to a folder is what it shows as one.
    ASSERT_TRUE(MakeUnixLink(outside.Path(), root + L"\\link"));
    ASSERT_TRUE(GetFileAttributesW((root + L"\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_TRUE(FileExists(root + L"\\link\\precious.txt")) << "the junction leads outside";

    // A name that makes the whole path longer than MAX_PATH: skipped as a failure, not cut.
    const std::wstring longName = L"\\\\?\\" + root + L"\\busy\\" + std::wstring(240, L'n') + L".txt";
    ASSERT_TRUE(WriteWholeFile(longName, "e"));
    HANDLE open = CreateFileW((root + L"\\busy\\deep\\open.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    SetLastError(0);
    EXPECT_EQ(::DeleteTree(root.c_str()), 0);
    EXPECT_NE(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(open);

    EXPECT_TRUE(FileExists(root + L"\\busy\\deep\\open.txt"));
    EXPECT_TRUE(FileExists(longName));
    EXPECT_FALSE(FileExists(root + L"\\busy\\sibling.txt"));
    EXPECT_FALSE(FileExists(root + L"\\free"));
    EXPECT_EQ(ReadWholeFile(outside.File(L"precious.txt")), "keep") << "what the link leads to stays";
    // Windows removes the link itself like an empty folder; Wine can't remove a Unix link
    // through the Windows calls, so here it stays and is removed from the Linux side.
    RemoveUnixLink(root + L"\\link");
    ASSERT_TRUE(DeleteFileW(longName.c_str()));

    EXPECT_EQ(::DeleteTree(root.c_str()), 1);
    EXPECT_FALSE(FileExists(root));
    EXPECT_EQ(::DeleteTree(root.c_str()), 0);
}

} // namespace
