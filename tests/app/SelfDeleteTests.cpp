// The self-deleting batch run for real by the system's cmd, on stand-in executables that a
// test holds open as a running program holds its file; the file count behind its choice.
#include "app/InstallRules.h"
#include "app/Uninstall.h"
#include "framework/Handles.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Held without delete sharing, the file cannot be deleted: as while the program runs.
fw::UniqueFile HoldOpen(const std::wstring& path) {
    return fw::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Keeps the system's list of deletions at restart as it was.
class SelfDelete : public ::testing::Test {
protected:
    void SetUp() override { m_hadPending = ReadPending(m_pending); }
    void TearDown() override {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        if (m_hadPending)
            RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(m_pending.data()),
                           DWORD(m_pending.size() * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, kPendingValue);
        RegCloseKey(key);
    }
    static bool ReadPending(std::wstring& value) {
        value.assign(32768, L'\0');
        DWORD size = DWORD(value.size() * sizeof(wchar_t));
        const bool ok = RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingValue, RRF_RT_REG_MULTI_SZ,
                                     nullptr, value.data(), &size) == ERROR_SUCCESS;
        value.resize(ok ? size / sizeof(wchar_t) : 0);
        return ok;
    }
    // A deletion (an entry followed by an empty target) of path is pending for the next restart.
    static bool DeletionPending(const std::wstring& path) {
        std::wstring list;
        ReadPending(list);
        const std::wstring entry = L"\\??\\" + path + std::wstring(1, L'\0') + std::wstring(1, L'\0');
        return list.find(entry) != std::wstring::npos;
    }

    TempFolder m_batches{L"batches"};

private:
    bool m_hadPending = false;
    std::wstring m_pending;
};

TEST_F(SelfDelete, ProgramAloneTakesItsFolderAlongButAUsersFileStays) {
    // Blanks and a "%" in the paths: cmd would expand an undoubled one.
    TempFolder alone(L"Down loads 100%"), shared(L"Down loads 100%");
    const std::wstring aloneExe = alone.File(L"Velkor.exe"), sharedExe = shared.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(aloneExe, "MZ"));
    ASSERT_TRUE(WriteWholeFile(sharedExe, "MZ"));
    fw::UniqueFile running = HoldOpen(sharedExe);
    ASSERT_TRUE(running);
    const std::wstring batch1 = m_batches.File(L"DelSelf1.tmp.bat"), batch2 = m_batches.File(L"DelSelf2.tmp.bat");
    EXPECT_EQ(StartSelfDeleteOf(aloneExe, batch1), SelfDeleteResult::BatchStarted);
    EXPECT_EQ(StartSelfDeleteOf(sharedExe, batch2), SelfDeleteResult::BatchStarted);

    // While the program still runs, its counters and a file of the player's arrive.
    ASSERT_TRUE(WriteWholeFile(shared.File(L"Statistic.ini"), "[Velkor]\r\nUnInst=1\r\n"));
    ASSERT_TRUE(WriteWholeFile(shared.File(L"notes.txt"), "mine"));
    Sleep(500);
    EXPECT_TRUE(FileExists(sharedExe)) << "deleted while in use?";
    running.Reset();

    ASSERT_TRUE(WaitUntil([&] { return !FileExists(batch1) && !FileExists(batch2); })) << "a batch did not end";
    EXPECT_FALSE(FileExists(aloneExe));
    EXPECT_FALSE(FileExists(alone.Path())) << "the folder that held the program alone stays";
    EXPECT_FALSE(FileExists(sharedExe));
    EXPECT_FALSE(FileExists(shared.File(L"Statistic.ini")));
    EXPECT_EQ(ReadWholeFile(shared.File(L"notes.txt")), "mine");
}

TEST_F(SelfDelete, OlderLinesOfABatchFileOfTheSameNameNeverRun) {
    TempFolder dir(L"older");
    const std::wstring exe = dir.File(L"Velkor.exe"), marker = dir.File(L"older-ran.txt");
    ASSERT_TRUE(WriteWholeFile(exe, "MZ"));
    ASSERT_TRUE(WriteWholeFile(dir.File(L"keep.txt"), "x"));
    const std::wstring batch = m_batches.File(L"DelSelf3.tmp.bat");
    ASSERT_TRUE(WriteWholeFile(batch, "echo older> \"" + Ascii(marker) + "\"\r\n"));
    EXPECT_EQ(StartSelfDeleteOf(exe, batch), SelfDeleteResult::BatchStarted);
    ASSERT_TRUE(WaitUntil([&] { return !FileExists(batch); }));
    EXPECT_FALSE(FileExists(exe));
    EXPECT_FALSE(FileExists(marker));
}

TEST_F(SelfDelete, WithoutABatchTheProgramGoesAtTheNextRestart) {
    // A name the ANSI code page cannot hold: a batch would name another file.
    TempFolder thai(L"\u0E01");
    const std::wstring thaiExe = thai.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(thaiExe, "MZ"));
    const std::wstring batch = m_batches.File(L"DelSelf4.tmp.bat");
    EXPECT_EQ(StartSelfDeleteOf(thaiExe, batch), SelfDeleteResult::DeleteAtRestart);
    EXPECT_FALSE(FileExists(batch));
    EXPECT_TRUE(DeletionPending(thaiExe));

    // A batch that cannot be written.
    TempFolder plain(L"plain");
    const std::wstring exe = plain.File(L"Velkor.exe");
    ASSERT_TRUE(WriteWholeFile(exe, "MZ"));
    EXPECT_EQ(StartSelfDeleteOf(exe, m_batches.File(L"missing\\DelSelf5.tmp.bat")), SelfDeleteResult::DeleteAtRestart);
    EXPECT_TRUE(DeletionPending(exe));
    EXPECT_TRUE(FileExists(exe));
}

// Starts a program of the host system (Wine starts Unix programs too, but its handle does
// not tell when one has ended: callers wait for the effect).
void RunUnix(const std::wstring& line) {
    std::wstring copy = line;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, copy.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST(CountFiles, NeverFollowsLinksRefusesWhatCannotBeListedAndStopsAtTwo) {
    // A Unix link in a Unix folder, which Wine shows as a reparse point leading back up.
    const std::string unixDir = "/tmp/velkor-count-" + std::to_string(GetCurrentProcessId());
    const std::wstring folder = WinePathFromUnix(unixDir.c_str());
    const std::wstring unixW(unixDir.begin(), unixDir.end());
    RunUnix(L"Z:\\bin\\rm -rf " + unixW);
    ASSERT_TRUE(WaitUntil([&] { return !FileExists(folder); }));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + L"\\Velkor.exe", "MZ"));
    RunUnix(L"Z:\\bin\\ln -s " + unixW + L" " + unixW + L"/sub/loop");
    const std::wstring loop = folder + L"\\sub\\loop";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(loop); })) << "no link made";
    ASSERT_TRUE(GetFileAttributesW(loop.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    EXPECT_EQ(CountFilesInFolder(folder.c_str()), 1);
    EXPECT_EQ(CountFilesInFolder((folder + L"\\").c_str()), 1);
    EXPECT_EQ(CountFilesInFolder((folder + L"\\sub").c_str()), 0);
    // Three files: counting stops at two.
    ASSERT_TRUE(WriteWholeFile(folder + L"\\sub\\a.txt", "a"));
    ASSERT_TRUE(WriteWholeFile(folder + L"\\sub\\b.txt", "b"));
    EXPECT_EQ(CountFilesInFolder(folder.c_str()), 2);

    EXPECT_EQ(CountFilesInFolder((folder + L"\\missing").c_str()), install::kFolderNotListed);
    EXPECT_EQ(CountFilesInFolder(L""), install::kFolderNotListed);
    EXPECT_EQ(CountFilesInFolder(nullptr), install::kFolderNotListed);
    // A sub-folder whose path does not fit: the folder's content is unknown.
    const std::wstring deepFolder = folder + L"\\deep";
    ASSERT_TRUE(CreateDirectoryW(deepFolder.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(deepFolder + L"\\Velkor.exe", "MZ"));
    const std::wstring deep = deepFolder + L"\\" + std::wstring(250, L'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    EXPECT_EQ(CountFilesInFolder(deepFolder.c_str()), install::kFolderNotListed);
    RunUnix(L"Z:\\bin\\rm -rf " + unixW);
}

TEST(AppendToFile, AddsAtTheEndAndKeepsTheSystemsErrorOnFailure) {
    TempFolder dir(L"append");
    const std::wstring file = dir.File(L"a.txt");
    EXPECT_EQ(AppendToFile(file.c_str(), "ab"), 2);
    EXPECT_EQ(AppendToFile(file.c_str(), "cde"), 3);
    EXPECT_EQ(ReadWholeFile(file), "abcde");
    EXPECT_EQ(AppendToFile(dir.File(L"missing\\a.txt").c_str(), "x"), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

} // namespace
