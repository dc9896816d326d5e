// Update check: compares the version key on the update server's configuration page with
// the key of the running executable.
#pragma once
#include "common/RunMode.h"

#include <windows.h>

// The configuration page on the update server.
extern const wchar_t kUpdateConfigUrl[];
// Its local copy beside the executable, deleted once read.
inline constexpr wchar_t kUpdateConfigFile[] = L"ConfigVelkor.htm";

// What one check found.
struct UpdateOffer {
    bool differs = false;        // the server names a version other than the one running
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
