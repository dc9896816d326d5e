// The log of the small test programs: each start appends a line (UTF-8) to the file named by
// the environment variable VELKOR_PROBE_LOG (or another one given), when it is set.
#pragma once
#include <windows.h>
#include <string>

inline void AppendProbeLog(const std::wstring& line, const wchar_t* variable = L"VELKOR_PROBE_LOG") {
    wchar_t log[32768] = {};
    if (!GetEnvironmentVariableW(variable, log, ARRAYSIZE(log))) return;
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::wstring text = line + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), utf8.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    CloseHandle(file);
}
