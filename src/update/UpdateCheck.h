// Update check: compares the version key on the update server's configuration page with
// the key of the running executable.
#pragma once
#include "common/RunMode.h"

#include <windows.h>
#include <string>

// The configuration page on the update server.
extern const wchar_t kUpdateConfigUrl[];
// The local copies of the page beside the executable are named after it: each check reads a
// copy of its own ("ConfigVelkor-<process>-<thread>.htm") and deletes only that one, so two
// instances, or the menu's check and a start-up check, never read or delete each other's.
inline constexpr wchar_t kUpdateConfigFile[] = L"ConfigVelkor.htm";
// This thread's copy: the executable's folder plus its own name. False when it does not fit.
bool UpdateConfigCopyPath(wchar_t (&out)[MAX_PATH]);

// The registry value (with the settings) that keeps the last server key whose download was
// refused because the file did not carry it: that key is never downloaded again, while a new
// key on the server is.
inline constexpr wchar_t kRefusedKeyValue[] = L"RefusedKey";
bool RememberRefusedKey(const wchar_t* serverKey);
// The remembered key; empty when none.
std::wstring RefusedKey();

// What one check found.
struct UpdateOffer {
    // The server names a key a build can have and whose download was not refused before:
    // a download is worth its bytes (the forced update downloads whenever this holds).
    bool downloadable = false;
    bool differs = false;        // ... and it is a version other than the one running
    wchar_t szUpdAddr[512] = {}; // the download address from the page; empty when none
    wchar_t szServerKey[64] = {};  // the server's version key; a download must carry it
};

// Unless forced, runs only in the modes that take an automatic check and when one is due at
// nowUtc; a check that does not run or fails finds nothing.
UpdateOffer CheckForUpdate(RunMode mode, bool force, const SYSTEMTIME& nowUtc);
UpdateOffer CheckForUpdate(RunMode mode, bool force);

// Fetches the configuration page and reads it: key receives the server's version key in
// the ANSI code page (at most 63 characters), updAddr the download address (empty when the
// page has none or one that does not fit).
bool FetchUpdateConfig(char (&key)[64], wchar_t (&updAddr)[512]);

// The file's MD5 as 32 lower-case hexadecimal characters into out (64 characters, cleared
// first); null with out empty when the file can't be read.
const wchar_t* FileMd5Hex(const wchar_t* path, wchar_t (&out)[64]);
