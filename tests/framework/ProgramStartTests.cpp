// Starting programs: the path quoted and named, whatever blanks it holds.
#include "framework/ProgramStart.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class StartProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_log = m_dir.File(L"probe.log");
        ASSERT_TRUE(SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", m_log.c_str()));
    }
    void TearDown() override { SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", nullptr); }

    // Starts exe with arguments and waits for it to end; its exit code.
    DWORD StartAndWait(const std::wstring& exe, const wchar_t* arguments) {
        fw::UniqueHandle process;
        EXPECT_TRUE(fw::StartProgram(exe.c_str(), arguments, &process));
        if (!process) return DWORD(-1);
        EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
        DWORD code = DWORD(-1);
        GetExitCodeProcess(process.Get(), &code);
        return code;
    }
    // The probe's log lines, each split at "|".
    std::vector<std::vector<std::wstring>> LogLines() {
        std::vector<std::vector<std::wstring>> lines;
        const std::string bytes = ReadWholeFile(m_log);
        std::wstring text(bytes.size(), L'\0');
        text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(), int(text.size())));
        size_t start = 0;
        for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
            std::vector<std::wstring> fields;
            std::wstring line = text.substr(start, end - start);
            for (size_t bar; (bar = line.find(L'|')) != std::wstring::npos; line.erase(0, bar + 1))
                fields.push_back(line.substr(0, bar));
            fields.push_back(line);
            lines.push_back(fields);
        }
        return lines;
    }

    TempFolder m_dir{L"startprogram"};
    std::wstring m_log;
};

TEST_F(StartProgramTest, PathWithBlanksStartsThatFileNeverAShorterName) {
    // Unquoted, "<dir>\Velkor Game\Velkor.exe /VelkorD" would first start "<dir>\Velkor.exe".
    const std::wstring decoy = m_dir.File(L"Velkor.exe");
    const std::wstring folder = m_dir.File(L"Velkor Game");
    const std::wstring target = folder + L"\\Velkor.exe";
    ASSERT_TRUE(CopyFileW(BuiltProbePath().c_str(), decoy.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(BuiltProbePath().c_str(), target.c_str(), FALSE));

    EXPECT_EQ(StartAndWait(target, L"/VelkorD"), 10u);
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 5u);
    EXPECT_EQ(lines[0][0], target);
    EXPECT_EQ(lines[0][1], L"\"" + target + L"\" /VelkorD");
    EXPECT_EQ(lines[0][2], folder + L"\\Probe.ini");
    // Shown normally, at idle priority: the game tabs and a restarted program must not
    // starve the player's game.
    EXPECT_EQ(lines[0][3], L"show=" + std::to_wstring(SW_SHOWNORMAL));
    EXPECT_EQ(lines[0][4], L"priority=" + std::to_wstring(IDLE_PRIORITY_CLASS));

    EXPECT_FALSE(fw::StartProgram(m_dir.File(L"no such.exe").c_str(), L"/VelkorD"));
    EXPECT_EQ(LogLines().size(), 1u);
}

} // namespace
