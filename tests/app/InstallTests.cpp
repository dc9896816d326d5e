// What a whole installer run cannot show: a copy that breaks off, a link that cannot be
// saved, and the data folder's access list.
#include "app/Install.h"
#include "framework/Handles.h"
#include "framework/ShellOpen.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <sddl.h>

using namespace testing_support;

namespace {

TEST(CopyOverWhole, ACopyThatBreaksOffLeavesTheInstalledFileWholeAndNoPartBehind) {
    TempFolder dir(L"copyover");
    const std::wstring source = dir.File(L"new.exe"), target = dir.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(source, "NEW PROGRAM") && WriteWholeFile(target, "OLD PROGRAM"));
    // Stands for a full disk or an installer ended half-way.
    auto breaksOff = [](const wchar_t*, const wchar_t* to) { WriteWholeFile(to, "NEW"); return false; };
    EXPECT_FALSE(CopyOverWhole(source.c_str(), target.c_str(), breaksOff));
    EXPECT_EQ(ReadWholeFile(target), "OLD PROGRAM");
    EXPECT_TRUE(CopyOverWhole(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadWholeFile(target), "NEW PROGRAM");
    WIN32_FIND_DATAW found;
    EXPECT_FALSE(fw::UniqueFind(FindFirstFileW(dir.File(L"*.tmp").c_str(), &found))) << "a partial copy stays";
}

TEST(ShellLink, AnswersWhatTheSaveAnswered) {
    fw::ComScope com;
    TempFolder dir(L"links");
    ASSERT_TRUE(WriteWholeFile(dir.File(L"Velkor.exe"), "MZ"));
    EXPECT_FALSE(CreateShellLink(dir.File(L"missing\\a.lnk").c_str(), dir.File(L"Velkor.exe").c_str(), L"d", L"/a"));
    EXPECT_TRUE(CreateShellLink(dir.File(L"a.lnk").c_str(), dir.File(L"Velkor.exe").c_str(), nullptr, L"/a"));
}

// Wine keeps no access lists on files (it reports one made from the Unix mode), so the list
// is checked as the program hands it to the system.
TEST(DataFolderAccess, OnlyAdministratorsAndSystemMayWriteEveryoneMayReadAndRun) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(kDataFolderSddl, SDDL_REVISION_1, &sd, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorControl(sd, &control, &revision) &&
                GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted) && acl);
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the common folder's entries would be inherited";
    BYTE admins[SECURITY_MAX_SID_SIZE], system[SECURITY_MAX_SID_SIZE], world[SECURITY_MAX_SID_SIZE];
    DWORD n1 = sizeof(admins), n2 = sizeof(system), n3 = sizeof(world);
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &n1) &&
                CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &n2) &&
                CreateWellKnownSid(WinWorldSid, nullptr, world, &n3));
    const DWORD writing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
    const DWORD readRun = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
    int writers = 0, readers = 0;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE);
        const bool admin = EqualSid(&ace->SidStart, admins) || EqualSid(&ace->SidStart, system);
        EXPECT_EQ((ace->Mask & writing) != 0, admin) << "entry " << i;
        writers += admin && (ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE));
        readers += EqualSid(&ace->SidStart, world) && (ace->Mask & readRun) == readRun;
    }
    EXPECT_EQ(writers, 2);
    EXPECT_EQ(readers, 1);
    LocalFree(sd);
}

} // namespace
