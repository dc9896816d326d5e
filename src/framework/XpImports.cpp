// Import slots that XP's system DLLs cannot fill. A call into a DLL goes through a pointer the
// loader fills at start-up (the import slot, "__imp_" plus the function's name); when this
// program defines that pointer itself, the linker takes it from here and never adds the
// function to the executable's import table. The slots defined here:
// - msvcrt's wcscpy_s, wcsncpy_s and swprintf_s: XP's msvcrt.dll predates the secure string
//   functions (they arrived with Vista's), yet the headers route every call to them there.
//   The replacements keep the documented results and leave the destination empty on every
//   refusal, but never call the invalid-parameter handler: the program checks what it copies
//   and goes on after a refusal.
// - kernel32's GetTickCount64 (Vista and later): the statically linked POSIX thread library
//   calls it for its timed waits. Here it is looked up at run time and, where the system has
//   none, counted from the performance counter instead.
// The file is compiled into every executable that links the program's library (see
// CMakeLists.txt), not into the library itself: a member of a static library would be linked
// only when something before it named one of its slots. scripts/check-xp-imports.sh checks the
// players' executable against the list of functions XP lacks.
#include "framework/XpImports.h"

#include <windows.h>

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

namespace fw {

unsigned long long CounterToMilliseconds(unsigned long long count, unsigned long long frequency) {
    if (frequency == 0) return 0;
    // Whole seconds first: count * 1000 alone overflows after about 58 days at 3.6 GHz.
    return count / frequency * 1000 + count % frequency * 1000 / frequency;
}

}  // namespace fw

#if defined(__MINGW32__)
namespace {

#ifndef STRUNCATE
#define STRUNCATE 80
#endif

errno_t __cdecl CopyString(wchar_t* dest, rsize_t size, const wchar_t* source) {
    if (!dest || size == 0) return EINVAL;
    if (!source) {
        dest[0] = L'\0';
        return EINVAL;
    }
    for (rsize_t i = 0; i < size; ++i) {
        dest[i] = source[i];
        if (source[i] == L'\0') return 0;
    }
    dest[0] = L'\0';
    return ERANGE;
}

errno_t __cdecl CopyStringN(wchar_t* dest, size_t size, const wchar_t* source, size_t count) {
    if (!dest || size == 0) return EINVAL;
    if (!source) {
        dest[0] = L'\0';
        return count == 0 ? 0 : EINVAL;
    }
    size_t i = 0;
    while (i < count && source[i] != L'\0') {
        if (i + 1 == size) {  // no room left for the terminator
            if (count == _TRUNCATE) {
                dest[i] = L'\0';
                return STRUNCATE;
            }
            dest[0] = L'\0';
            return ERANGE;
        }
        dest[i] = source[i];
        ++i;
    }
    dest[i] = L'\0';
    return 0;
}

using TickCount64Fn = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI TickCount64() {
    // Looked up on every call: the thread library calls this only around its timed waits, and
    // a cached pointer would need ordering against threads that call it first.
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto system = kernel ? reinterpret_cast<TickCount64Fn>(
                               reinterpret_cast<void*>(::GetProcAddress(kernel, "GetTickCount64")))
                         : nullptr;
    if (system) return system();
    LARGE_INTEGER count, frequency;
    if (::QueryPerformanceFrequency(&frequency) && ::QueryPerformanceCounter(&count))
        return fw::CounterToMilliseconds(static_cast<unsigned long long>(count.QuadPart),
                                         static_cast<unsigned long long>(frequency.QuadPart));
    return ::GetTickCount();
}

}  // namespace

// The slots themselves (and one function). C names get a leading underscore on 32-bit x86 (so "_imp__wcscpy_s"
// here is the symbol "__imp__wcscpy_s" there, and "__imp_wcscpy_s" on x64); a WINAPI function's
// slot also carries the size of its arguments ("@0"), which no C++ name can spell, hence the
// assembler name.
extern "C" {
#if defined(_WIN64)
errno_t(__cdecl* __imp_wcscpy_s)(wchar_t*, rsize_t, const wchar_t*) = CopyString;
errno_t(__cdecl* __imp_wcsncpy_s)(wchar_t*, size_t, const wchar_t*, size_t) = CopyStringN;
TickCount64Fn velkorGetTickCount64Slot __asm__("__imp_GetTickCount64") = TickCount64;
#else
errno_t(__cdecl* _imp__wcscpy_s)(wchar_t*, rsize_t, const wchar_t*) = CopyString;
errno_t(__cdecl* _imp__wcsncpy_s)(wchar_t*, size_t, const wchar_t*, size_t) = CopyStringN;
TickCount64Fn velkorGetTickCount64Slot __asm__("__imp__GetTickCount64@0") = TickCount64;
#endif

// The headers declare swprintf_s as a plain function (no slot), so the function itself is
// defined here.
int __cdecl swprintf_s(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
    if (!buffer || count == 0 || !format) {
        if (buffer && count) buffer[0] = L'\0';
        errno = EINVAL;
        return -1;
    }
    va_list args;
    va_start(args, format);
    // msvcrt's own formatter (on every system), so %s and %S mean what they mean to swprintf_s.
    const int written = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) >= count) {
        buffer[0] = L'\0';
        errno = ERANGE;
        return -1;
    }
    return written;
}
}
#endif  // __MINGW32__
