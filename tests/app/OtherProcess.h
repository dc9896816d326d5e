// Another process seen from outside, 32-bit or 64-bit: its windows, its bitness, and what its
// loaded modules export, read from its own memory (a test of a whole program sees so whether a
// function of a system library has been routed elsewhere in it: the export entry then points
// outside the library's image).
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

struct RemoteExport {
    bool found = false;      // the module is loaded there and exports the name
    ULONGLONG base = 0;      // where the module is loaded
    DWORD imageSize = 0;     // its SizeOfImage
    DWORD rva = 0;           // the export entry, relative to base
    std::string seen;        // what was read, for a failure message
    bool InsideImage() const { return found && rva < imageSize; }
};

// The export `name` of the module named `module` (file name only, any case) in `process`
// (opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ).
RemoteExport FindRemoteExport(HANDLE process, const wchar_t* module, const char* name);

// Whether `process` is a 32-bit process on this 64-bit system.
bool IsThirtyTwoBit(HANDLE process);

// The full path of the executable `pid` runs; empty when it cannot be asked.
std::wstring ImagePathOf(DWORD pid);

// A window of process pid of class cls (top-level, or a child of any top-level window),
// with the caption when one is given; null when there is none.
HWND WindowOfProcess(DWORD pid, const wchar_t* cls, const wchar_t* caption = nullptr);

} // namespace testing_support
