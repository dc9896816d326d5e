// Pieces of the installation that a whole installer run cannot show: a copy that breaks off,
// a link that cannot be saved, and the data folder's access list.
#include "app/Install.h"
#include "framework/ShellOpen.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

using namespace testing_support;

namespace {

int FilesIn(const std::wstring& folder) {
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return -1;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

TEST(CopyOverWhole, ACopyThatBreaksOffLeavesTheInstalledFileWhole) {
    TempFolder dir(L"copyover");
    const std::wstring source = dir.File(L"new.exe"), target = dir.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(source, "NEW PROGRAM"));
    ASSERT_TRUE(WriteWholeFile(target, "OLD PROGRAM"));
    // Stands for a full disk or an installer ended half-way: part of the file is written.
    auto breaksOff = [](const wchar_t*, const wchar_t* to) {
        WriteWholeFile(to, "NEW");
        return false;
    };
    EXPECT_FALSE(CopyOverWhole(source.c_str(), target.c_str(), breaksOff));
    EXPECT_EQ(ReadWholeFile(target), "OLD PROGRAM");
    EXPECT_EQ(FilesIn(dir.Path()), 2) << "the partial copy stays behind";

    EXPECT_TRUE(CopyOverWhole(source.c_str(), target.c_str()));
    EXPECT_EQ(ReadWholeFile(target), "NEW PROGRAM");
    EXPECT_EQ(FilesIn(dir.Path()), 2);
}

TEST(ShellLink, AnswersWhatTheSaveAnswered) {
    fw::ComScope com;
    TempFolder dir(L"links");
    const std::wstring target = dir.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    EXPECT_FALSE(CreateShellLink(dir.File(L"missing\\a.lnk").c_str(), target.c_str(), L"d", L"/VelkorD"));
    EXPECT_TRUE(CreateShellLink(dir.File(L"a.lnk").c_str(), target.c_str(), nullptr, L"/VelkorD"));
    EXPECT_TRUE(FileExists(dir.File(L"a.lnk")));
}

struct WellKnownSid {
    explicit WellKnownSid(WELL_KNOWN_SID_TYPE type) {
        DWORD size = sizeof(bytes);
        ok = CreateWellKnownSid(type, nullptr, bytes, &size) != FALSE;
    }
    bool Is(PSID sid) const { return ok && EqualSid(sid, const_cast<BYTE*>(bytes)); }
    BYTE bytes[SECURITY_MAX_SID_SIZE] = {};
    bool ok = false;
};

// Wine keeps no access lists on files (it reports one made from the Unix mode), so the list
// is checked as the program hands it to the system.
TEST(DataFolderAccess, OnlyAdministratorsAndSystemMayWriteEveryoneMayReadAndRun) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(kDataFolderSddl, SDDL_REVISION_1, &descriptor,
                                                                     nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "entries inherited from the common folder would stay";
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl);

    const WellKnownSid admins(WinBuiltinAdministratorsSid), system(WinLocalSystemSid), everyone(WinWorldSid);
    const DWORD writing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                          FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    int adminsFull = 0, systemFull = 0, everyoneReads = 0;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&header)));
        ASSERT_EQ(header->AceType, ACCESS_ALLOWED_ACE_TYPE);
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        PSID sid = &ace->SidStart;
        const bool inherited = (header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) ==
                               (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        if (admins.Is(sid) || system.Is(sid)) {
            EXPECT_EQ(ace->Mask & FILE_ALL_ACCESS, DWORD(FILE_ALL_ACCESS));
            (admins.Is(sid) ? adminsFull : systemFull) += inherited;
        } else {
            ASSERT_TRUE(everyone.Is(sid)) << "entry " << i << " is for someone else";
            EXPECT_EQ(ace->Mask & writing, 0u);
            EXPECT_EQ(ace->Mask & (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE),
                      DWORD(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
            everyoneReads += inherited;
        }
    }
    EXPECT_EQ(adminsFull, 1);
    EXPECT_EQ(systemFull, 1);
    EXPECT_EQ(everyoneReads, 1);
    LocalFree(descriptor);

    TempFolder dir(L"secured");
    EXPECT_TRUE(SecureDataFolder(dir.Path().c_str()));
}

} // namespace
