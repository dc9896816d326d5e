// Names that pages and players give to files the program writes.
#pragma once
#include <string_view>

namespace extras {

// One plain file name: not empty, not "." or "..", no folder separators, drive colon, control
// characters or characters that file names cannot hold. Such a name can never place a file
// outside the folder it is meant for; dots elsewhere ("新区开放...", a title its site cut) are
// a name's own.
inline bool IsPlainFileName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    return true;
}

} // namespace extras
