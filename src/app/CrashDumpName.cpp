#include "app/CrashDumpName.h"

std::wstring CrashDumpPath(std::wstring_view exePath) {
    const std::size_t slash = exePath.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
    const std::size_t dot = exePath.rfind(L'.');
    if (dot == std::wstring_view::npos || dot < nameStart) return L"";
    std::wstring path(exePath.substr(0, dot));
    path += L".dmp";
    return path;
}
