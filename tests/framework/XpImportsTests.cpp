// The runtime calls that XP's DLLs cannot serve are served by the program itself, with the
// results the platform documents for them.
#include "framework/XpImports.h"

#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <wchar.h>

#include <gtest/gtest.h>

namespace {

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    return module;
}

TEST(XpImports, SecureStringCallsAreServedHereWithTheirDocumentedResults) {
    // The calls land in this executable, not in the system's msvcrt.dll.
    errno_t (*copy)(wchar_t*, rsize_t, const wchar_t*) = wcscpy_s;
    errno_t (*copyN)(wchar_t*, size_t, const wchar_t*, size_t) = wcsncpy_s;
    EXPECT_EQ(ModuleOf(reinterpret_cast<const void*>(copy)), ::GetModuleHandleW(nullptr));
    EXPECT_EQ(ModuleOf(reinterpret_cast<const void*>(copyN)), ::GetModuleHandleW(nullptr));

    wchar_t four[4] = L"xyz";
    EXPECT_EQ(wcscpy_s(four, 4, L"abc"), 0);
    EXPECT_STREQ(four, L"abc");
    EXPECT_EQ(wcscpy_s(four, 4, L"abcd"), ERANGE);  // refused whole, never cut
    EXPECT_STREQ(four, L"");
    EXPECT_EQ(wcscpy_s(four, 4, nullptr), EINVAL);

    EXPECT_EQ(wcsncpy_s(four, 4, L"abcdef", _TRUNCATE), STRUNCATE);
    EXPECT_STREQ(four, L"abc");
    EXPECT_EQ(wcsncpy_s(four, 4, L"abcdef", 2), 0);
    EXPECT_STREQ(four, L"ab");
    EXPECT_EQ(wcsncpy_s(four, 4, L"abcdef", 4), ERANGE);
    EXPECT_STREQ(four, L"");

    wchar_t name[12];
    EXPECT_EQ(swprintf_s(name, 12, L"%ls-%lu", L"Config", 42ul), 9);
    EXPECT_STREQ(name, L"Config-42");
    EXPECT_EQ(swprintf_s(name, 9, L"%ls-%lu", L"Config", 42ul), -1);  // one short of the terminator
    EXPECT_STREQ(name, L"");
}

TEST(XpImports, TickCountFromThePerformanceCounterNeverOverflows) {
    EXPECT_EQ(fw::CounterToMilliseconds(3000000000ull, 3000000000ull), 1000ull);
    EXPECT_EQ(fw::CounterToMilliseconds(123456789ull, 10000000ull), 12345ull);
    // 2^62 ticks of the 3.579545 MHz ACPI timer: count * 1000 alone would wrap to 0.
    EXPECT_EQ(fw::CounterToMilliseconds(1ull << 62, 3579545ull), 1288344194144056ull);
    EXPECT_EQ(fw::CounterToMilliseconds(5, 0), 0ull);
}

}  // namespace
