// Libraries loaded on first use: a call goes to the system library, and a library or function
// that is missing makes the call fail as the function itself documents failure, never crash.
#include "framework/LateCall.h"

#include <windows.h>
#include <oleauto.h>
#include <wininet.h>

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kMissingDll[] = L"velkor-no-such-library.dll";
constexpr wchar_t kWinInetDll[] = L"wininet.dll";
constexpr char kInternetOpen[] = "InternetOpenW";
constexpr char kNoSuchFunction[] = "VelkorNoSuchFunction";
constexpr char kCoCreate[] = "CoCreateInstance";
constexpr char kVariantClear[] = "VariantClear";

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    return module;
}

TEST(LateCall, TheProgramsCallsReachTheSystemLibraryLoadedFromTheSystemFolder) {
    // Through the program's own slot: a real session handle from the system's WinINet.
    HINTERNET session = ::InternetOpenW(L"velkor-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr) << ::GetLastError();
    EXPECT_TRUE(::InternetCloseHandle(session));

    const FARPROC open = fw::LateProcAddress(kWinInetDll, kInternetOpen);
    ASSERT_NE(open, nullptr);
    wchar_t loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(ModuleOf(reinterpret_cast<const void*>(open)), loaded, MAX_PATH), 0u);
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_EQ(::CompareStringOrdinal(loaded, -1, (std::wstring(system) + L"\\wininet.dll").c_str(), -1, TRUE),
              CSTR_EQUAL)
        << loaded;
}

TEST(LateCall, AMissingLibraryOrFunctionFailsWithTheFunctionsOwnFailureValue) {
    EXPECT_EQ(fw::LateProcAddress(kMissingDll, kInternetOpen), nullptr);
    EXPECT_EQ(fw::LateProcAddress(kWinInetDll, kNoSuchFunction), nullptr);

    using Open = fw::LateCall<decltype(::InternetOpenW)>;
    ::SetLastError(0);
    EXPECT_EQ((Open::Call<kMissingDll, kInternetOpen, nullptr>(L"x", 0, nullptr, nullptr, 0)), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    ::SetLastError(0);
    EXPECT_EQ((Open::Call<kWinInetDll, kNoSuchFunction, nullptr>(L"x", 0, nullptr, nullptr, 0)), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    // An HRESULT function reports the failure as HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND).
    constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8007007FL);
    void* object = nullptr;
    EXPECT_EQ((fw::LateCall<decltype(::CoCreateInstance)>::Call<kMissingDll, kCoCreate, kNotFound>(
                  CLSID_NULL, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object)),
              kNotFound);
    VARIANT v;
    ::VariantInit(&v);  // served by the program: no library needed
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ((fw::LateCall<decltype(::VariantClear)>::Call<kMissingDll, kVariantClear, kNotFound>(&v)), kNotFound);
}

}  // namespace
