// Where the crash dump of an executable goes, without a window.
#pragma once
#include <cstddef>

// The executable's path with the extension of its file name replaced by ".dmp" (Velkor.exe
// gives Velkor.dmp beside it) into out of capacity characters. Only the file name is looked
// at: a dot in a folder name ("C:\Games.v2\Velkor") is no extension. False with out empty
// when the file name has no extension or the result does not fit. Formed in the caller's
// buffer: a crash handler must not need the heap it may have broken.
bool CrashDumpPath(const wchar_t* exePath, wchar_t* out, std::size_t capacity);
