#include "support/Processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <set>
#include <vector>

namespace testing_support {

namespace {

// Ends every other process whose executable's full path `matches`, waiting for each.
template <class Match>
int EndProcessesWhere(Match matches) {
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
        if (QueryFullProcessImageNameW(process, 0, image, &size) && matches(image, size)) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            ++ended;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return ended;
}

bool SameText(const wchar_t* a, int aChars, const std::wstring& b, int bChars) {
    return CompareStringOrdinal(a, aChars, b.c_str(), bChars, TRUE) == CSTR_EQUAL;
}

} // namespace

int EndProcessesUnder(const std::wstring& folder) {
    if (folder.empty()) return 0;
    std::wstring prefix = folder;
    if (prefix.back() != L'\\') prefix += L'\\';
    const int chars = int(prefix.size());
    return EndProcessesWhere([&](const wchar_t* image, DWORD size) {
        return size > prefix.size() && SameText(image, chars, prefix, chars);
    });
}

int EndProcessesOf(const std::wstring& path) {
    if (path.empty()) return 0;
    return EndProcessesWhere([&](const wchar_t* image, DWORD size) {
        return SameText(image, int(size), path, int(path.size()));
    });
}

int EndDescendantsOf(DWORD pid) {
    std::vector<PROCESSENTRY32W> all;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        all.push_back(entry);
    CloseHandle(snapshot);
    std::set<DWORD> tree{pid};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& e : all)
            if (e.th32ProcessID != GetCurrentProcessId() && tree.count(e.th32ParentProcessID))
                grew |= tree.insert(e.th32ProcessID).second;
    }
    tree.erase(pid);
    int ended = 0;
    for (DWORD id : tree) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) continue;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        ++ended;
    }
    return ended;
}

HWND AttachedFrameOf(HWND host, DWORD pid) {
    HWND frame = nullptr;
    while ((frame = FindWindowExW(host, frame, L"VelkorGameFrame", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(frame, &owner);
        if (owner == pid) return frame;
    }
    return nullptr;
}

} // namespace testing_support
