#include "app/CrashDumpName.h"

#include <cwchar>

bool CrashDumpPath(const wchar_t* exePath, wchar_t* out, std::size_t capacity) {
    if (!out || capacity == 0) return false;
    out[0] = L'\0';
    if (!exePath) return false;
    const wchar_t* nameStart = exePath;
    for (const wchar_t* p = exePath; *p; ++p)
        if (*p == L'\\' || *p == L'/') nameStart = p + 1;
    const wchar_t* dot = std::wcsrchr(nameStart, L'.');
    if (!dot) return false;
    const std::size_t stem = std::size_t(dot - exePath);
    const wchar_t kExtension[] = L".dmp";
    if (stem + std::wcslen(kExtension) >= capacity) return false;
    std::wmemcpy(out, exePath, stem);
    std::wmemcpy(out + stem, kExtension, std::wcslen(kExtension) + 1);
    return true;
}
