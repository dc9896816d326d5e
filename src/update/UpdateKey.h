// The version key that names one build of the program, free of Windows headers: the MD5 of
// the executable's file bound to the version number, so that a rebuilt file with the same
// version number still counts as a different version.
#pragma once
#include "common/RunMode.h"

#include <string>

namespace update {

// "3.0.0.1" -> "3001".
std::wstring VersionDigits(const std::wstring& version);

// The first 32 - d characters of the executable's hexadecimal MD5 followed by the version's
// d digits: 32 characters for a 32-character digest.
std::wstring LocalVersionKey(const std::wstring& md5Hex, const std::wstring& version);

// Compares two keys ignoring the case of ASCII letters, as _wcsicmp does in the C locale:
// 0 when equal, otherwise the sign of the first difference.
int CompareKeysNoCase(const std::wstring& a, const std::wstring& b);

// Whether a server's key is one a build of the program can have: 32 hexadecimal characters
// (the digest's head and the version's digits, both hexadecimal characters). Any other key
// can never match a download, so it is no offer at all rather than a wasted download.
bool IsBuildKey(const std::wstring& key);

// Whether an automatic (not forced) update check may run in a mode at all; whether it is
// due today is the settings store's question.
bool UpdateCheckRunsIn(RunMode mode);

} // namespace update
