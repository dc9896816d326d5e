// Where the crash dump of an executable goes, without a window.
#pragma once
#include <string>
#include <string_view>

// The executable's path with the extension of its file name replaced by ".dmp" (Velkor.exe
// gives Velkor.dmp beside it). Only the file name is looked at: a dot in a folder name
// ("C:\Games.v2\Velkor") is no extension. Empty when the file name has no extension.
std::wstring CrashDumpPath(std::wstring_view exePath);
