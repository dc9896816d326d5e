#include "framework/ProgramStart.h"

#include <cwchar>

namespace fw {

std::wstring OwnProgramPath() {
    std::wstring path(32768, L'\0');
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0 || got >= path.size()) return {};
    path.resize(got);
    return path;
}

bool StartProgram(const wchar_t* exePath, const wchar_t* arguments, UniqueHandle* process) {
    std::wstring own;
    if (!exePath) {
        own = OwnProgramPath();
        exePath = own.c_str();
    }
    // A path holding a quote could not be quoted; it names no file anyway.
    if (!*exePath || wcschr(exePath, L'"')) return false;
    std::wstring line = L"\"" + std::wstring(exePath) + L"\"";
    if (arguments && *arguments) line += L" " + std::wstring(arguments);
    if (line.size() >= 32767) return false;

    STARTUPINFOW si = {sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    // Idle priority: the game tabs and the restarted program must not starve the player's game.
    // Set again before the program runs a single instruction: some systems start the child
    // at normal priority whatever the flag asks.
    if (!CreateProcessW(exePath, line.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS | CREATE_SUSPENDED,
                        nullptr, nullptr, &si, &pi))
        return false;
    SetPriorityClass(pi.hProcess, IDLE_PRIORITY_CLASS);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    if (process)
        process->Reset(pi.hProcess);
    else
        CloseHandle(pi.hProcess);
    return true;
}

} // namespace fw
