// A small program that tests start in place of others, to see how it was started. Each start
// appends one line to the file named by the environment variable VELKOR_PROBE_LOG:
//   <its own module path>|<its command line>|<ModuleFilePath(L"Probe.ini") or "refused">|
//   show=<the show command it was given, -1 for none>|priority=<its priority class, decimal>
// and it exits with 10 when ModuleFilePath answered, 20 when it refused.
#include "probe/ProbeLog.h"
#include "settings/SettingsStore.h"

#include <windows.h>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring module(32768, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), DWORD(module.size())));
    wchar_t beside[MAX_PATH] = {};
    const bool answered = ModuleFilePath(L"Probe.ini", beside);
    STARTUPINFOW startup = {sizeof(startup)};
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::wstring line = module + L"|" + GetCommandLineW() + L"|" + (answered ? beside : L"refused") +
                              L"|show=" + std::to_wstring(show) +
                              L"|priority=" + std::to_wstring(GetPriorityClass(GetCurrentProcess()));

    AppendProbeLog(line);
    return answered ? 10 : 20;
}
