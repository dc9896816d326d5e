// Crash dumps: the dump name, where the writer library comes from, who may read the dump, and
// real crashes of the built program.
#include "app/CrashDump.h"
#include "app/CrashDumpName.h"
#include "common/AsciiText.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::wstring DumpPathOf(const wchar_t* exe, std::size_t capacity = MAX_PATH) {
    wchar_t out[MAX_PATH] = L"x";
    const bool formed = CrashDumpPath(exe, out, capacity);
    EXPECT_EQ(formed, out[0] != L'\0') << "false exactly when nothing was formed";
    return out;
}

TEST(CrashDump, TheDumpNameReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(DumpPathOf(L"C:\\Games\\Velkor.exe"), L"C:\\Games\\Velkor.dmp");
    EXPECT_EQ(DumpPathOf(L"C:\\Games.v2\\Velkor.old.exe"), L"C:\\Games.v2\\Velkor.old.dmp");
    EXPECT_EQ(DumpPathOf(L"C:\\Games.v2\\Velkor"), L"") << "never C:\\Games.dmp";
    EXPECT_EQ(DumpPathOf(L"Velkor"), L"");
    // The buffer takes the path and its terminating zero, or nothing: never a cut name.
    EXPECT_EQ(DumpPathOf(L"C:\\a\\V.exe", 11), L"C:\\a\\V.dmp");
    EXPECT_EQ(DumpPathOf(L"C:\\a\\V.exe", 10), L"");
}

TEST(CrashDump, TheWriterLibraryComesFromTheSystemFolder) {
    wchar_t system[MAX_PATH] = {}, library[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    ASSERT_TRUE(DbgHelpPath(library));
    EXPECT_TRUE(text::EqualsNoCase(library, std::wstring(system) + L"\\dbghelp.dll")) << library;
}

TEST(CrashDump, OneDumpPerProcess) {
    TempFolder folder(L"crash");
    const std::wstring dump = folder.File(L"Velkor.dmp");
    std::atomic<bool> written{false};
    // No pointers: the dump is taken at a breakpoint of its own and execution goes on here.
    EXPECT_EQ(WriteDumpOnce(dump.c_str(), nullptr, written), EXCEPTION_CONTINUE_SEARCH);
    EXPECT_EQ(ReadWholeFile(dump).substr(0, 4), "MDMP");

    ASSERT_TRUE(DeleteFileW(dump.c_str()));
    EXPECT_EQ(WriteDumpOnce(dump.c_str(), nullptr, written), EXCEPTION_EXECUTE_HANDLER) << "the second crash";
    EXPECT_FALSE(FileExists(dump));
}

// Wine keeps no file security of its own (every file reads back with a default list), so the
// descriptor the dump file is created with is checked as the system reads it.
TEST(CrashDump, TheDumpIsForAdministratorsAndTheSystemOnly) {
    const SECURITY_DESCRIPTOR* sd = DumpFileSecurity();
    ASSERT_NE(sd, nullptr);
    PSECURITY_DESCRIPTOR descriptor = const_cast<SECURITY_DESCRIPTOR*>(sd);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited from the folder";
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    BYTE admins[SECURITY_MAX_SID_SIZE], system[SECURITY_MAX_SID_SIZE];
    DWORD sizes[2] = {sizeof(admins), sizeof(system)};
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &sizes[0]) &&
                CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &sizes[1]));
    ASSERT_EQ(dacl->AceCount, 2u);
    bool seen[2] = {};
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Mask, 0x1F01FFu) << "full access";
        PSID sid = &ace->SidStart;
        seen[0] |= EqualSid(sid, admins) != FALSE;
        seen[1] |= EqualSid(sid, system) != FALSE;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

// The built program itself, copied into a folder of its own, crashes through the test
// build's switch: its own start-up installed the handlers, not the test.
class ShippedCrash : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(ShippedCrash, LeavesOneDumpBesideTheExecutable) {
    TempFolder folder(L"crash");
    const std::wstring exe = CopyOfProgram(folder);
    ASSERT_FALSE(exe.empty());
    const int code = RunAndWait(exe, std::wstring(L"/velkor-crash-test ") + GetParam(), folder.Path());
    EXPECT_NE(code, 0) << "the crash goes on as usual";
    EXPECT_NE(code, -1) << "it ended by itself";
    EXPECT_EQ(ReadWholeFile(folder.File(L"Velkor.dmp")).substr(0, 4), "MDMP");
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(folder.File(L"*.dmp").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int dumps = 1;
    while (FindNextFileW(find, &fd)) ++dumps;
    FindClose(find);
    EXPECT_EQ(dumps, 1);
}

// An access violation reaches the unhandled-exception filter; an exception thrown out of a
// function that may not throw makes the runtime call std::terminate.
INSTANTIATE_TEST_SUITE_P(Crash, ShippedCrash, ::testing::Values(L"access", L"terminate"),
                         [](const auto& info) { return std::wstring(info.param) == L"access" ? "AccessViolation" : "Terminate"; });

} // namespace
