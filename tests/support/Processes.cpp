#include "support/Processes.h"

#include <windows.h>
#include <tlhelp32.h>

namespace testing_support {

int EndProcessesUnder(const std::wstring& folder) {
    if (folder.empty()) return 0;
    std::wstring prefix = folder;
    if (prefix.back() != L'\\') prefix += L'\\';
    int ended = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                     entry.th32ProcessID);
        if (!process) continue;
        wchar_t image[MAX_PATH * 2] = {};
        DWORD size = ARRAYSIZE(image);
        if (QueryFullProcessImageNameW(process, 0, image, &size) && size > prefix.size() &&
            CompareStringOrdinal(image, int(prefix.size()), prefix.c_str(), int(prefix.size()), TRUE) == CSTR_EQUAL) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            ++ended;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return ended;
}

} // namespace testing_support
