// Rules of the update download and swap, free of Windows headers: which addresses a new
// executable may come from, and when a downloaded file is the version the server named.
#pragma once
#include <cstdint>
#include <string>

namespace update {

// Names of the files beside the running executable.
inline constexpr wchar_t kNewExeName[] = L"NewVelkor.exe";  // the download
inline constexpr wchar_t kOldExeName[] = L"OldVelkor.exe";  // the replaced program

// An "http://" address on one of the operator's site domains, judged by its host: a
// domain name further along the address (in the path or the query) does not count.
bool IsUpdateDownloadAddress(const std::wstring& address);

// "a.b.c.d" from the two halves of a file version as the version resource keeps them.
std::wstring VersionText(std::uint32_t versionMs, std::uint32_t versionLs);

// Whether a downloaded file is the version the server named: its key, made as the running
// program makes its own (the file's MD5 bound to the version digits of its version
// resource), equals the server's key, ignoring letter case as the check does. A file
// without a digest or without a version has no key and never matches.
bool DownloadMatchesServerKey(const std::wstring& serverKey, const std::wstring& fileMd5Hex,
                              const std::wstring& fileVersion);

} // namespace update
