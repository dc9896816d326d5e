// Calls into system libraries that are loaded on first use rather than at process start. A
// library the program imports is loaded, with everything it imports in turn, before the first
// line of the program runs; the ones the first window does not need (the HTTP client, the
// picture decoder, COM and its automation types, the mixer) only slow its start down. Their
// functions keep their names: LateImports.cpp defines each one's import slot (or the function)
// to go through LateCall, so no call site changes and none of them is in the import table.
// A library or function that cannot be found makes the call fail with the function's own
// failure value and the last error ERROR_PROC_NOT_FOUND, never crash.
#pragma once
#include <windows.h>

#include <type_traits>

namespace fw {

// The function `name` of the system library `dll` (a file name such as L"wininet.dll"),
// loading the library on first use: from the system folder, else by name as an import would
// (GDI+ lives beside the system folder on some systems). The library stays loaded. Null when
// the library or the function is missing.
FARPROC LateProcAddress(const wchar_t* dll, const char* name);

template <class T>
constexpr size_t LateStackSize() {
    const size_t size = std::is_reference_v<T> ? sizeof(void*) : sizeof(T);
    return (size + sizeof(void*) - 1) / sizeof(void*) * sizeof(void*);
}

template <class Signature>
struct LateCall;

template <class R, class... A>
struct LateCall<R WINAPI(A...)> {
    using Fn = R(WINAPI*)(A...);

    // Calls `Name` of `Dll`, looked up once; `Fail` is what the call returns when it cannot be
    // made (ignored for a function without result).
    template <const wchar_t* Dll, const char* Name, auto Fail>
    static R WINAPI Call(A... args) {
        static const Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(LateProcAddress(Dll, Name)));
        if (!fn) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            if constexpr (std::is_void_v<R>) return;
            else return R(Fail);
        }
        return fn(args...);
    }

    // Bytes of arguments on the stack, which 32-bit x86 spells in the name of a WINAPI function
    // (a reference is passed as a pointer).
    static constexpr unsigned kStackBytes = (0u + ... + unsigned(LateStackSize<A>()));
};

}  // namespace fw
