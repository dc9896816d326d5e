#include "support/WineTest.h"
#include "common/AppMessages.h"
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "support/Processes.h"

#include <shlwapi.h>
#include <shellapi.h>
#include <wincrypt.h>

#include <set>

namespace testing_support {

namespace {
const wchar_t kOlveskKey[] = L"Software\\Olvesk";

// The visible top-level windows of process pid with the given caption.
std::vector<HWND> VisibleWindowsOf(DWORD pid, const wchar_t* caption) {
    struct Search { DWORD pid; const wchar_t* caption; std::vector<HWND> found; } search{pid, caption, {}};
    EnumWindows([](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        wchar_t text[256] = {};
        GetWindowTextW(h, text, 256);
        if (owner == s->pid && IsWindowVisible(h) && !wcscmp(text, s->caption)) s->found.push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The "是" (yes) button of a skinned question box, or null for any other window.
HWND YesButtonOf(HWND box) {
    HWND yes = nullptr;
    EnumChildWindows(box, [](HWND child, LPARAM lp) -> BOOL {
        wchar_t text[16] = {};
        GetWindowTextW(child, text, 16);
        if (wcscmp(text, L"是")) return TRUE;
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&yes));
    return yes;
}
} // namespace

std::wstring WinePathFromUnix(const char* unixPath) {
    std::wstring p = L"Z:";
    for (const char* c = unixPath; *c; ++c) p += (*c == '/') ? L'\\' : wchar_t(static_cast<unsigned char>(*c));
    return p;
}

std::wstring BuiltExePath() { return WinePathFromUnix(VELKOR_EXE_UNIX_PATH); }
std::wstring BuiltProbePath() { return WinePathFromUnix(VELKOR_PROBE_UNIX_PATH); }
std::wstring BuiltPageStubPath() { return WinePathFromUnix(VELKOR_PAGESTUB_UNIX_PATH); }

std::wstring CopyProgramIntoDataFolder() {
    const std::wstring copy = DataFolderPath() + L"\\Velkor.exe";
    return CopyFileW(BuiltExePath().c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
}

std::wstring CopyOfProgram(const TempFolder& folder) {
    const std::wstring copy = folder.File(L"Velkor.exe");
    return CopyFileW(BuiltExePath().c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
}

TempFolder::TempFolder(const wchar_t* hint) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        wchar_t name[MAX_PATH];
        swprintf_s(name, L"%ls%ls-%lu-%ld-%lu", base, hint, GetCurrentProcessId(),
                   InterlockedIncrement(&counter), GetTickCount());
        if (CreateDirectoryW(name, nullptr)) { m_path = name; break; }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() {
    if (!m_path.empty()) DeleteTree(m_path);
}

namespace {
bool DeleteTreeAt(const std::wstring& path) {
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(path.c_str()) != FALSE;
    }
    // A link (a junction, or a Unix link as Wine shows it) goes itself, never what it leads
    // to: a link back up would otherwise loop and one leading outside would empty a stranger's folder.
    if (attr & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryW(path.c_str()) != FALSE;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
            DeleteTreeAt(path + L"\\" + fd.cFileName);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return RemoveDirectoryW(path.c_str()) != FALSE;
}
} // namespace

bool DeleteTree(const std::wstring& path) {
    // Tests make paths longer than MAX_PATH on purpose: those go too.
    const bool plain = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    return DeleteTreeAt(plain ? L"\\\\?\\" + path : path);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got) out.append(buf, got);
    CloseHandle(h);
    return out;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

MachineStateGuard::MachineStateGuard() : m_key(HKEY_LOCAL_MACHINE, kOlveskKey, kSettingsView) {
    const std::wstring folder = DataFolderPath();
    const std::wstring olvesk = folder.substr(0, folder.rfind(L'\\'));
    m_folderExisted = FileExists(olvesk);
    m_iniExisted = FileExists(CounterIniPath());
    if (m_iniExisted) m_ini = ReadWholeFile(CounterIniPath());
}

void MachineStateGuard::Clear() {
    DeleteMachineKeyTree(kOlveskKey);
    const std::wstring folder = DataFolderPath();
    DeleteTree(folder.substr(0, folder.rfind(L'\\')));
}

// The key comes back as the member goes, after the folder.
MachineStateGuard::~MachineStateGuard() {
    const std::wstring folder = DataFolderPath();
    if (!m_folderExisted) {
        DeleteTree(folder.substr(0, folder.rfind(L'\\')));
    } else if (m_iniExisted) {
        WriteWholeFile(CounterIniPath(), m_ini);
    } else {
        DeleteFileW(CounterIniPath().c_str());
    }
}

bool EnsureDataFolder() {
    const std::wstring folder = DataFolderPath();
    CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return FileExists(folder);
}

int RunAndWait(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir,
               DWORD timeoutMs) {
    ChildProcess child(exe, args, workDir);
    return child.Wait(timeoutMs);  // killed on the way out if it did not end
}

int RunAndClose(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir,
                DWORD timeoutMs) {
    ChildProcess child(exe, args, workDir);
    return child.CloseLikeAPlayer(timeoutMs);
}

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir) {
    std::wstring line = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        return;
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (!m_process) return;
    if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    // Restarted copies and page processes outlive their starter; the handle still held
    // keeps the id from naming another process meanwhile.
    EndDescendantsOf(m_pid);
    CloseHandle(m_process);
}

int ChildProcess::Wait(DWORD timeoutMs) {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return int(code);
}

HWND ChildProcess::FindWindowTitled(const wchar_t* caption, DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        const std::vector<HWND> found = VisibleWindowsOf(m_pid, caption);
        if (!found.empty()) return found.front();
        if (GetTickCount64() >= end) return nullptr;
        Sleep(50);
    }
}

int ChildProcess::CloseLikeAPlayer(DWORD timeoutMs) {
    std::set<HWND> closed, answered;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        const int code = Wait(50);
        if (code != -1) return code;
        for (HWND w : VisibleWindowsOf(m_pid, kAppCaption)) {
            if (HWND yes = YesButtonOf(w)) {
                // Only the question that closing asks is answered; another stays for the test to see.
                if (!closed.empty() && answered.insert(w).second)
                    PostMessageW(w, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(yes), BN_CLICKED), LPARAM(yes));
            } else if (closed.insert(w).second) {
                PostMessageW(w, WM_CLOSE, 0, 0);
            }
        }
    }
    return Wait(0);
}

std::string OwnVersionKey() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::string bytes = ReadWholeFile(exe);
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16] = {};
    DWORD size = sizeof(digest);
    const bool ok = CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
                    CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
                    CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()), 0) &&
                    CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
    if (hash) CryptDestroyHash(hash);
    if (provider) CryptReleaseContext(provider, 0);
    if (!ok || bytes.empty()) return {};
    std::string key;
    for (BYTE b : digest) {
        key += "0123456789abcdef"[b >> 4];
        key += "0123456789abcdef"[b & 15];
    }
    return key.substr(0, 28) + "3001";
}

std::vector<BYTE> ReadSettingsValue(const wchar_t* name) {
    std::vector<BYTE> data;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kRegistryKey, 0, KEY_READ | kSettingsView, &key) != ERROR_SUCCESS)
        return data;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size) {
        data.resize(size);
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
    return data;
}

std::wstring ReadCounterIni(const wchar_t* key, const wchar_t* fallback) {
    wchar_t buf[256];
    GetPrivateProfileStringW(settings::kIniSection, key, fallback, buf, 256, CounterIniPath().c_str());
    return buf;
}

} // namespace testing_support
