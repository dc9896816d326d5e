// A small program that tests start in place of others, to see how it was started. Each start
// appends one line to the file named by the environment variable VELKOR_PROBE_LOG:
//   <its own module path>|<its command line>|<ModuleFilePath(L"Probe.ini") or "refused">
// and it exits with 10 when ModuleFilePath answered, 20 when it refused.
#include "settings/SettingsStore.h"

#include <windows.h>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring module(32768, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), DWORD(module.size())));
    wchar_t beside[MAX_PATH] = {};
    const bool answered = ModuleFilePath(L"Probe.ini", beside);
    const std::wstring line = module + L"|" + GetCommandLineW() + L"|" + (answered ? beside : L"refused") + L"\n";

    wchar_t log[32768] = {};
    if (GetEnvironmentVariableW(L"VELKOR_PROBE_LOG", log, ARRAYSIZE(log))) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
            std::string utf8(bytes, '\0');
            WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), utf8.data(), bytes, nullptr, nullptr);
            DWORD written = 0;
            WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    return answered ? 10 : 20;
}
