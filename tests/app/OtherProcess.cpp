#include "app/OtherProcess.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace testing_support {

namespace {

template <typename T>
bool ReadAt(HANDLE process, ULONGLONG address, T* out, SIZE_T count = 1) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<ULONG_PTR>(address)), out,
                             sizeof(T) * count, &got) &&
           got == sizeof(T) * count;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::string Hex(DWORD value) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value));
    return text;
}

} // namespace

bool IsThirtyTwoBit(HANDLE process) {
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && wow64;
}

std::wstring ImagePathOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return L"";
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return ok ? path : L"";
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    wchar_t name[64] = {}, text[128] = {};
    GetClassNameW(h, name, 64);
    GetWindowTextW(h, text, 128);
    if (owner == s->pid && wcscmp(name, s->cls) == 0 && (!s->caption || wcscmp(text, s->caption) == 0)) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchWindowOrChild(HWND top, LPARAM lp) {
    if (!MatchWindow(top, lp)) return FALSE;
    // Children too: a page's frame lives inside its host's window.
    EnumChildWindows(top, MatchWindow, lp);
    return reinterpret_cast<WindowSearch*>(lp)->found ? FALSE : TRUE;
}

} // namespace

HWND WindowOfProcess(DWORD pid, const wchar_t* cls, const wchar_t* caption) {
    WindowSearch search{pid, cls, caption, nullptr};
    EnumWindows(MatchWindowOrChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RemoteExport FindRemoteExport(HANDLE process, const wchar_t* module, const char* name) {
    RemoteExport result;
    std::vector<HMODULE> modules(1024);
    DWORD needed = 0;
    if (!EnumProcessModulesEx(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed,
                              LIST_MODULES_ALL)) {
        result.seen = "EnumProcessModulesEx failed, error " + std::to_string(GetLastError());
        return result;
    }
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    ULONGLONG base = 0;
    for (HMODULE m : modules) {
        wchar_t file[MAX_PATH] = {};
        if (GetModuleBaseNameW(process, m, file, MAX_PATH) && Lower(file) == Lower(module)) {
            base = reinterpret_cast<ULONG_PTR>(m);
            break;
        }
    }
    result.seen = std::to_string(modules.size()) + " modules";
    if (!base) return result.seen += ", none of them the library", result;
    result.base = base;

    IMAGE_DOS_HEADER dos = {};
    DWORD signature = 0;
    IMAGE_FILE_HEADER file = {};
    WORD magic = 0;
    if (!ReadAt(process, base, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return result.seen += ", no image header", result;
    const ULONGLONG headers = base + static_cast<ULONGLONG>(dos.e_lfanew);
    const ULONGLONG optional = headers + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
    if (!ReadAt(process, headers, &signature) || signature != IMAGE_NT_SIGNATURE || !ReadAt(process, headers + 4, &file) ||
        !ReadAt(process, optional, &magic))
        return result.seen += ", no PE header", result;
    IMAGE_DATA_DIRECTORY exports = {};
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 header = {};
        if (!ReadAt(process, optional, &header)) return result.seen += ", short header", result;
        result.imageSize = header.SizeOfImage;
        exports = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 header = {};
        if (!ReadAt(process, optional, &header)) return result.seen += ", short header", result;
        result.imageSize = header.SizeOfImage;
        exports = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    } else {
        return result.seen += ", unknown header kind", result;
    }
    IMAGE_EXPORT_DIRECTORY directory = {};
    if (!exports.VirtualAddress || !ReadAt(process, base + exports.VirtualAddress, &directory))
        return result.seen += ", no export table", result;
    std::vector<DWORD> names(directory.NumberOfNames), functions(directory.NumberOfFunctions);
    std::vector<WORD> ordinals(directory.NumberOfNames);
    if ((!names.empty() && (!ReadAt(process, base + directory.AddressOfNames, names.data(), names.size()) ||
                            !ReadAt(process, base + directory.AddressOfNameOrdinals, ordinals.data(), ordinals.size()))) ||
        (!functions.empty() && !ReadAt(process, base + directory.AddressOfFunctions, functions.data(), functions.size())))
        return result.seen += ", unreadable export table", result;
    const size_t length = std::strlen(name) + 1;
    std::vector<char> candidate(length);
    for (size_t i = 0; i < names.size(); ++i) {
        if (!ReadAt(process, base + names[i], candidate.data(), length) || std::memcmp(candidate.data(), name, length) != 0)
            continue;
        if (ordinals[i] >= functions.size()) break;
        result.found = true;
        result.rva = functions[ordinals[i]];
        result.seen += ", entry at +0x" + Hex(result.rva) + " of an image of 0x" + Hex(result.imageSize) + " bytes";
        return result;
    }
    return result.seen += ", the name is not exported", result;
}

} // namespace testing_support
