// Crash dumps: the dump name, where the writer library comes from, who may read the dump, and a
// real crash of a copy of this test program.
#include "app/CrashDump.h"
#include "app/CrashDumpName.h"
#include "common/AsciiText.h"
#include "support/WineTest.h"

#include <sddl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const char kChildVariable[] = "VELKOR_CRASH_CHILD";

TEST(CrashDump, TheDumpNameReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(CrashDumpPath(L"C:\\Games\\Velkor.exe"), L"C:\\Games\\Velkor.dmp");
    EXPECT_EQ(CrashDumpPath(L"C:\\Games.v2\\Velkor.old.exe"), L"C:\\Games.v2\\Velkor.old.dmp");
    EXPECT_EQ(CrashDumpPath(L"C:\\Games.v2\\Velkor"), L"") << "never C:\\Games.dmp";
    EXPECT_EQ(CrashDumpPath(L"Velkor"), L"");
}

TEST(CrashDump, TheWriterLibraryComesFromTheSystemFolder) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_TRUE(text::EqualsNoCase(DbgHelpPath(), std::wstring(system) + L"\\dbghelp.dll")) << DbgHelpPath();
}

TEST(CrashDump, OneDumpPerProcess) {
    TempFolder folder(L"crash");
    const std::wstring exe = folder.File(L"Velkor.exe"), dump = folder.File(L"Velkor.dmp");
    std::atomic<bool> written{false};
    // No pointers: the dump is taken at a breakpoint of its own and execution goes on here.
    EXPECT_EQ(WriteDumpOnce(exe.c_str(), nullptr, written), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_EQ(ReadWholeFile(dump).substr(0, 4), "MDMP");

    ASSERT_TRUE(DeleteFileW(dump.c_str()));
    EXPECT_EQ(WriteDumpOnce(exe.c_str(), nullptr, written), EXCEPTION_EXECUTE_HANDLER) << "the second crash";
    EXPECT_FALSE(FileExists(dump));
}

// Wine keeps no file security of its own (every file reads back with a default list), so the
// descriptor the dump file is created with is checked as the system reads it.
TEST(CrashDump, TheDumpIsForAdministratorsAndTheSystemOnly) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(kDumpFileSecurity, SDDL_REVISION_1, &sd, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited from the folder";
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    BYTE admins[SECURITY_MAX_SID_SIZE], system[SECURITY_MAX_SID_SIZE];
    DWORD sizes[2] = {sizeof(admins), sizeof(system)};
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &sizes[0]) &&
                CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &sizes[1]));
    EXPECT_EQ(dacl->AceCount, 2u);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        PSID sid = &ace->SidStart;
        EXPECT_TRUE(EqualSid(sid, admins) || EqualSid(sid, system)) << "ACE " << i << " grants someone else";
    }
    LocalFree(sd);
}

// Run twice: by the suite, it copies this program as Velkor.exe into a folder of its own and
// runs the copy with this test alone; in that copy it installs the filter and crashes.
TEST(CrashDump, ADeliberateCrashWritesOneDumpBesideTheExecutable) {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0)) {
        SetUnhandledExceptionFilter(CrashFilter);
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        return;
    }
    TempFolder folder(L"crash");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = folder.File(L"Velkor.exe");
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    SetEnvironmentVariableA(kChildVariable, "1");
    const int code = RunAndWait(copy,
                                L"--gtest_filter=CrashDump.ADeliberateCrashWritesOneDumpBesideTheExecutable "
                                L"--gtest_catch_exceptions=0",
                                folder.Path());
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_NE(code, 0) << "the crash goes on as usual";
    EXPECT_EQ(ReadWholeFile(folder.File(L"Velkor.dmp")).substr(0, 4), "MDMP");
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(folder.File(L"*.dmp").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int dumps = 1;
    while (FindNextFileW(find, &fd)) ++dumps;
    FindClose(find);
    EXPECT_EQ(dumps, 1);
}

} // namespace
