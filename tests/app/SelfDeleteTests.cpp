// The self-deleting batch run by the system's cmd on stand-in executables (held open as a
// running program holds its file), and the file count behind its choice.
#include "app/InstallRules.h"
#include "app/Uninstall.h"
#include "framework/Handles.h"
#include "support/HostState.h"
#include "support/MessagePump.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(SelfDelete, FolderGoesOnlyWhenItHeldTheProgramAloneAndNoOlderLineRuns) {
    // Blanks and "%" in the paths: cmd would expand an undoubled one.
    TempFolder alone(L"Down loads 100%"), shared(L"Down loads 100%"), batches(L"batches");
    const std::wstring aloneExe = alone.File(L"Velkor.exe"), sharedExe = shared.File(L"Velkor.exe");
    const std::wstring batch1 = batches.File(L"DelSelf1.tmp.bat"), batch2 = batches.File(L"DelSelf2.tmp.bat");
    const std::wstring marker = batches.File(L"older-ran.txt");
    ASSERT_TRUE(WriteWholeFile(aloneExe, "MZ") && WriteWholeFile(sharedExe, "MZ"));
    ASSERT_TRUE(WriteWholeFile(batch2, "echo older> \"" + std::string(marker.begin(), marker.end()) + "\"\r\n"));
    fw::UniqueFile running(CreateFileW(sharedExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(StartSelfDeleteOf(aloneExe, batch1), SelfDeleteResult::BatchStarted);
    EXPECT_EQ(StartSelfDeleteOf(sharedExe, batch2), SelfDeleteResult::BatchStarted);
    // While the program still runs, its counters and a file of the player's arrive.
    ASSERT_TRUE(WriteWholeFile(shared.File(L"Statistic.ini"), "[Velkor]") && WriteWholeFile(shared.File(L"notes.txt"), "mine"));
    Sleep(500);
    EXPECT_TRUE(FileExists(sharedExe)) << "deleted while in use";
    running.Reset();
    ASSERT_TRUE(PumpUntil([&] { return !FileExists(batch1) && !FileExists(batch2); }, 30000)) << "a batch did not end";
    EXPECT_FALSE(FileExists(alone.Path()));
    EXPECT_FALSE(FileExists(sharedExe) || FileExists(shared.File(L"Statistic.ini")));
    EXPECT_EQ(ReadWholeFile(shared.File(L"notes.txt")), "mine");
    EXPECT_FALSE(FileExists(marker)) << "a line of the older batch ran";
}

std::wstring PendingDeletions() {
    std::wstring list(32768, L'\0');
    DWORD size = DWORD(list.size() * sizeof(wchar_t));
    const LSTATUS rc = RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                    L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, list.data(), &size);
    list.resize(rc == ERROR_SUCCESS ? size / sizeof(wchar_t) : 0);
    return list;
}

TEST(SelfDelete, WithoutABatchTheProgramGoesAtTheNextRestart) {
    RegistryValueScope kept(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                            L"PendingFileRenameOperations");
    // A folder name the ANSI code page cannot hold, and a batch that cannot be written.
    TempFolder thai(L"\u0E01"), plain(L"plain");
    const std::wstring thaiExe = thai.File(L"Velkor.exe"), exe = plain.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(thaiExe, "MZ") && WriteWholeFile(exe, "MZ"));
    EXPECT_EQ(StartSelfDeleteOf(thaiExe, plain.File(L"DelSelf3.tmp.bat")), SelfDeleteResult::DeleteAtRestart);
    EXPECT_FALSE(FileExists(plain.File(L"DelSelf3.tmp.bat")));
    EXPECT_EQ(StartSelfDeleteOf(exe, plain.File(L"missing\\DelSelf4.tmp.bat")), SelfDeleteResult::DeleteAtRestart);
    const std::wstring after = PendingDeletions();
    for (const std::wstring& path : {thaiExe, exe})  // the path, then an empty target
        EXPECT_NE(after.find(L"\\??\\" + path + std::wstring(2, L'\0')), std::wstring::npos);
}

TEST(CountFiles, NeverFollowsLinksRefusesWhatCannotBeListedAndStopsAtTwo) {
    // A Unix link leading back up, which Wine shows as a reparse point; in a folder of the
    // test's own, whose deletion does not follow links.
    TempFolder count(L"count");
    const std::wstring folder = count.File(L"tree");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) && CreateDirectoryW((folder + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + L"\\Velkor.exe", "MZ"));
    ASSERT_TRUE(MakeUnixLink(folder, folder + L"\\sub\\loop"));
    ASSERT_TRUE(GetFileAttributesW((folder + L"\\sub\\loop").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(CountFilesInFolder(folder.c_str()), 1);
    ASSERT_TRUE(WriteWholeFile(folder + L"\\sub\\a", "a") && WriteWholeFile(folder + L"\\sub\\b", "b"));
    EXPECT_EQ(CountFilesInFolder(folder.c_str()), 2) << "three files: counting stops at two";
    EXPECT_EQ(CountFilesInFolder((folder + L"\\missing").c_str()), install::kFolderNotListed);
    // A sub-folder whose path does not fit leaves the content unknown.
    const std::wstring deep = folder + L"\\deep";
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep + L"\\" + std::wstring(250, L'd')).c_str(), nullptr));
    EXPECT_EQ(CountFilesInFolder(deep.c_str()), install::kFolderNotListed);
    RemoveUnixLink(folder + L"\\sub\\loop");
}

TEST(AppendToFile, AddsAtTheEndAndKeepsTheSystemsErrorOnFailure) {
    TempFolder dir(L"append");
    EXPECT_EQ(AppendToFile(dir.File(L"a").c_str(), "ab"), 2);
    EXPECT_EQ(AppendToFile(dir.File(L"a").c_str(), "cde"), 3);
    EXPECT_EQ(ReadWholeFile(dir.File(L"a")), "abcde");
    EXPECT_EQ(AppendToFile(dir.File(L"missing\\a").c_str(), "x"), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

} // namespace
