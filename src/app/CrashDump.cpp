#include "app/CrashDump.h"
#include "app/CrashDumpName.h"
#include "framework/Handles.h"
#include "settings/SettingsStore.h"

#include <dbghelp.h>
#include <sddl.h>

namespace {

std::atomic<bool> g_bDumpWritten{false};

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

} // namespace

std::wstring DbgHelpPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT chars = GetSystemDirectoryW(folder, MAX_PATH);
    if (chars == 0 || chars >= MAX_PATH) return L"";
    return std::wstring(folder) + L"\\DbgHelp.dll";
}

bool WriteCrashDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    const std::wstring library = DbgHelpPath();
    if (library.empty()) return false;
    LibraryCloser dbghelp{LoadLibraryW(library.c_str())};
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

// Protected (nothing inherited from the folder); full access for Administrators and the
// system, none for anybody else.
const wchar_t kDumpFileSecurity[] = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)";

HANDLE CreateDumpFile(const wchar_t* path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDumpFileSecurity, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    // An older dump keeps its own security when it is overwritten: it goes first.
    DeleteFileW(path);
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, &attributes, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LocalFree(descriptor);
    return file;
}

LONG WriteDumpOnce(const wchar_t* exePath, EXCEPTION_POINTERS* pointers, std::atomic<bool>& written) {
    if (written.load()) return EXCEPTION_EXECUTE_HANDLER;
    const std::wstring dumpPath = CrashDumpPath(exePath ? exePath : L"");
    if (dumpPath.empty()) return EXCEPTION_CONTINUE_SEARCH;
    // A second crash on another thread meanwhile ends without a dump of its own.
    if (written.exchange(true)) return EXCEPTION_EXECUTE_HANDLER;
    // A file that could not be made (a folder we may not write to) gives no dump.
    fw::UniqueFile file(CreateDumpFile(dumpPath.c_str()));
    if (file) WriteCrashDump(file.Get(), pointers);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    wchar_t exe[MAX_PATH] = {};
    ModuleFilePath(nullptr, exe);  // empty when there is no path: no dump
    return WriteDumpOnce(exe, info, g_bDumpWritten);
}
