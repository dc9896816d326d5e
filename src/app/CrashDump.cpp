#include "app/CrashDump.h"
#include "app/CrashDumpName.h"

#include <dbghelp.h>
#include <shellapi.h>

#include <cwchar>
#include <exception>

namespace {

std::atomic<bool> g_bDumpWritten{false};
// Formed at start-up, while the heap can still be trusted; the handlers only read it.
wchar_t g_szDumpPath[MAX_PATH] = {};

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

constexpr MINIDUMP_TYPE kDumpTries[] = {
    MINIDUMP_TYPE(MiniDumpWithDataSegs | MiniDumpWithHandleData | MiniDumpWithUnloadedModules |
                  MiniDumpWithPrivateReadWriteMemory | MiniDumpWithFullMemoryInfo | MiniDumpWithThreadInfo),
    MINIDUMP_TYPE(MiniDumpWithDataSegs | MiniDumpWithHandleData | MiniDumpWithUnloadedModules |
                  MiniDumpWithPrivateReadWriteMemory),
    MiniDumpNormal,
};
static_assert(kDumpTries[0] == 0x1A25 && kDumpTries[1] == 0x225, "the dump contents asked for");

struct LibraryCloser {
    HMODULE module;
    ~LibraryCloser() {
        if (module) FreeLibrary(module);
    }
};

bool WriteWithTries(MiniDumpWriteDumpFn writeDump, HANDLE file, EXCEPTION_POINTERS* pointers) {
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = GetCurrentThreadId();
    exception.ExceptionPointers = pointers;
    exception.ClientPointers = TRUE;
    for (MINIDUMP_TYPE type : kDumpTries) {
        // A try that failed halfway leaves bytes behind: each starts from an empty file.
        LARGE_INTEGER start = {};
        SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        if (writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, type, pointers ? &exception : nullptr,
                      nullptr, nullptr))
            return true;
    }
    return false;
}

// The dump taken at a breakpoint of our own: the handler sees it first, writes the dump with
// that exception's pointers, and lets execution go on after the raise.
struct BreakpointDump {
    MiniDumpWriteDumpFn writeDump;
    HANDLE file;
    bool written;
};
thread_local BreakpointDump* t_pBreakpointDump = nullptr;

LONG CALLBACK OnBreakpoint(EXCEPTION_POINTERS* pointers) {
    BreakpointDump* job = t_pBreakpointDump;
    if (!job || pointers->ExceptionRecord->ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
    t_pBreakpointDump = nullptr;
    job->written = WriteWithTries(job->writeDump, job->file, pointers);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Static storage for the dump file's descriptor: its access list and the two accounts.
struct DumpSecurityStore {
    SECURITY_DESCRIPTOR descriptor;
    alignas(DWORD) BYTE acl[sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)];
    alignas(DWORD) BYTE admins[SECURITY_MAX_SID_SIZE];
    alignas(DWORD) BYTE system[SECURITY_MAX_SID_SIZE];
    bool built;
};
DumpSecurityStore g_dumpSecurity = {};

bool BuildDumpSecurity(DumpSecurityStore& s) {
    DWORD adminsSize = sizeof(s.admins), systemSize = sizeof(s.system);
    PACL acl = reinterpret_cast<PACL>(s.acl);
    // Protected (nothing inherited from the folder); full access for Administrators and the
    // system, none for anybody else.
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, s.admins, &adminsSize) &&
           CreateWellKnownSid(WinLocalSystemSid, nullptr, s.system, &systemSize) &&
           InitializeAcl(acl, sizeof(s.acl), ACL_REVISION) &&
           AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, s.admins) &&
           AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, s.system) &&
           InitializeSecurityDescriptor(&s.descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&s.descriptor, TRUE, acl, FALSE) &&
           SetSecurityDescriptorControl(&s.descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

} // namespace

bool DbgHelpPath(wchar_t (&out)[MAX_PATH]) {
    out[0] = L'\0';
    const wchar_t kName[] = L"\\DbgHelp.dll";
    const UINT chars = GetSystemDirectoryW(out, MAX_PATH);
    if (chars == 0 || chars + std::wcslen(kName) >= MAX_PATH) {
        out[0] = L'\0';
        return false;
    }
    std::wmemcpy(out + chars, kName, std::wcslen(kName) + 1);
    return true;
}

bool WriteCrashDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    wchar_t library[MAX_PATH];
    if (!DbgHelpPath(library)) return false;
    LibraryCloser dbghelp{LoadLibraryW(library)};
    if (!dbghelp.module) return false;
    auto writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(GetProcAddress(dbghelp.module, "MiniDumpWriteDump"));
    if (!writeDump) return false;
    if (pointers) return WriteWithTries(writeDump, file, pointers);

    BreakpointDump job{writeDump, file, false};
    PVOID handler = AddVectoredExceptionHandler(1, OnBreakpoint);
    if (!handler) return false;
    t_pBreakpointDump = &job;
    RaiseException(EXCEPTION_BREAKPOINT, 0, 0, nullptr);
    t_pBreakpointDump = nullptr;
    RemoveVectoredExceptionHandler(handler);
    return job.written;
}

const SECURITY_DESCRIPTOR* DumpFileSecurity() {
    // Built by the one thread that won the dump flag, or by a test before any crash.
    if (!g_dumpSecurity.built) g_dumpSecurity.built = BuildDumpSecurity(g_dumpSecurity);
    return g_dumpSecurity.built ? &g_dumpSecurity.descriptor : nullptr;
}

HANDLE CreateDumpFile(const wchar_t* path) {
    const SECURITY_DESCRIPTOR* security = DumpFileSecurity();
    if (!security) return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), const_cast<SECURITY_DESCRIPTOR*>(security), FALSE};
    // An older dump keeps its own security when it is overwritten: it goes first.
    DeleteFileW(path);
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, &attributes, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

LONG WriteDumpOnce(const wchar_t* dumpPath, EXCEPTION_POINTERS* pointers, std::atomic<bool>& written) {
    if (written.load()) return EXCEPTION_EXECUTE_HANDLER;
    if (!dumpPath || !*dumpPath) return EXCEPTION_CONTINUE_SEARCH;
    // A second crash on another thread meanwhile ends without a dump of its own.
    if (written.exchange(true)) return EXCEPTION_EXECUTE_HANDLER;
    // A file that could not be made (a folder we may not write to) gives no dump.
    HANDLE file = CreateDumpFile(dumpPath);
    if (file != INVALID_HANDLE_VALUE) {
        WriteCrashDump(file, pointers);
        CloseHandle(file);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) { return WriteDumpOnce(g_szDumpPath, info, g_bDumpWritten); }

void OnTerminate() {
    WriteDumpOnce(g_szDumpPath, nullptr, g_bDumpWritten);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);  // TerminateProcess on ourselves does not return
}

void InstallCrashHandlers() {
    wchar_t exe[MAX_PATH] = {};
    const DWORD chars = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    // A cut path names another file: no dump rather than a dump somewhere else.
    if (chars == 0 || chars >= MAX_PATH || !CrashDumpPath(exe, g_szDumpPath, MAX_PATH)) g_szDumpPath[0] = L'\0';
    DumpFileSecurity();
    SetUnhandledExceptionFilter(CrashFilter);
    std::set_terminate(OnTerminate);
}

#ifdef VELKOR_TEST_CRASH_SWITCH
namespace {
void ThrowFromHere() { throw 7315; }
// Called through a pointer the compiler cannot see through, so that the throw really runs.
void (*volatile g_pThrow)() = ThrowFromHere;
void MayNotThrow() noexcept { g_pThrow(); }
// Kept where the compiler cannot prove it null: a store through a known null is dropped.
int* volatile g_pNowhere = nullptr;
} // namespace

void CrashOnTestSwitch() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    const bool asked = argc == 3 && !wcscmp(argv[1], L"/velkor-crash-test");
    const bool access = asked && !wcscmp(argv[2], L"access");
    const bool terminate = asked && !wcscmp(argv[2], L"terminate");
    LocalFree(argv);
    if (access) *g_pNowhere = 7315;
    if (terminate) MayNotThrow();
}
#endif
