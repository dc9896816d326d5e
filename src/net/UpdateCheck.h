// Update check: compares the version key on the update server's configuration page with
// the key of the running executable.
#pragma once
#include "app/RunMode.h"

#include <windows.h>

class CQuillonApp;

// The configuration page on the update server.
extern const wchar_t kUpdateConfigUrl[];
// Its local copy beside the executable, deleted once read.
inline constexpr wchar_t kUpdateConfigFile[] = L"ConfigVelkor.htm";

// 0 when nothing different is offered, or the check did not run or failed; non-zero when
// the server's key differs from ours. Unless forced, runs only in modes 2, 3, 5 and 7 and
// when an automatic check is due. A successful fetch fills app.m_szUpdAddr.
int CheckForUpdate(bool force);
int CheckForUpdate(CQuillonApp& app, bool force, RunMode mode);

// Fetches the configuration page and reads it: key receives the server's version key in
// the ANSI code page (at most 63 characters), app.m_szUpdAddr the download address.
bool FetchUpdateConfig(CQuillonApp& app, char (&key)[64]);

// The file's MD5 as 32 lower-case hexadecimal characters into out (64 characters, cleared
// first); null with out empty when the file can't be read.
const wchar_t* FileMd5Hex(const wchar_t* path, wchar_t (&out)[64]);
