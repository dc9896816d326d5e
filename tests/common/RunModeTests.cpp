#include "common/RunMode.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kData = L"C:\\ProgramData\\Olvesk\\GameLogin";
const std::wstring kDownloads = L"C:\\users\\player\\Downloads\\Velkor.exe";

RunModeChoice Choose(std::vector<std::wstring> args, const std::wstring& exe = kDownloads) {
    args.insert(args.begin(), exe);
    return ChooseRunMode(args, exe, kData);
}

TEST(RunMode, SwitchesAreCaseInsensitiveAndPickTheirMode) {
    EXPECT_EQ(Choose({L"/OlveskD"}).mode, RUN_OLVESK);
    EXPECT_EQ(Choose({L"/olveskd"}).mode, RUN_OLVESK);
    EXPECT_EQ(Choose({L"/VelkorD"}).mode, RUN_DESKTOP);
    EXPECT_EQ(Choose({L"/UNINST"}).mode, RUN_UNINSTALL);
    EXPECT_EQ(Choose({L"/UPDATE"}).mode, RUN_UPDATE);
    EXPECT_EQ(Choose({L"/Update", L"/VelkorD"}).mode, RUN_UPDATE);  // only the first argument counts
    EXPECT_EQ(Choose({L"/NewGm", L"/1", L"/0"}).mode, RUN_NEWGAME);
    EXPECT_EQ(Choose({L"/GMHALL", L"/77"}).mode, RUN_GAMEHALL);
}

TEST(RunMode, SwitchMustMatchWhole) {
    EXPECT_EQ(Choose({L"/updates"}).mode, RUN_INSTALL);
    EXPECT_EQ(Choose({L"update"}).mode, RUN_INSTALL);
    EXPECT_EQ(Choose({L"/VelkorD"}, kData + L"\\Velkor.exe").mode, RUN_DESKTOP);
}

TEST(RunMode, NoOrUnknownSwitchDependsOnTheStartFolder) {
    EXPECT_EQ(Choose({}).mode, RUN_INSTALL);
    EXPECT_EQ(Choose({}, kData + L"\\Velkor.exe").mode, RUN_INSTALLED);
    EXPECT_EQ(Choose({L"/whatever"}).mode, RUN_INSTALL);
    EXPECT_EQ(Choose({L"/whatever"}, kData + L"\\Velkor.exe").mode, RUN_INSTALLED);
    // The folder test ignores case and is a plain substring test on the full paths.
    EXPECT_EQ(Choose({}, L"c:\\programdata\\olvesk\\gamelogin\\Velkor.exe").mode, RUN_INSTALLED);
    EXPECT_EQ(Choose({}, kData + L"\\sub\\Velkor.exe").mode, RUN_INSTALLED);
    EXPECT_EQ(Choose({}, kData + L"Old\\Velkor.exe").mode, RUN_INSTALLED);
    EXPECT_EQ(Choose({}, L"D:\\ProgramData\\Olvesk\\Velkor.exe").mode, RUN_INSTALL);
    // A data folder the system could not name never matches.
    std::vector<std::wstring> args{kDownloads};
    EXPECT_EQ(ChooseRunMode(args, kDownloads, L"").mode, RUN_INSTALL);
}

TEST(RunMode, NewGameReadsHostWindowAndTabCount) {
    RunModeChoice c = Choose({L"/newgm", L"/1234", L"/2"});
    EXPECT_TRUE(c.valid);
    EXPECT_EQ(c.hostWnd, 1234);
    EXPECT_EQ(c.hostTabCount, 2);

    c = Choose({L"/newgm", L"/abc", L"/x"});
    EXPECT_TRUE(c.valid);
    EXPECT_EQ(c.hostWnd, 0);
    EXPECT_EQ(c.hostTabCount, 0);

    c = Choose({L"/newgm", L"/-12", L"/+3"});
    EXPECT_EQ(c.hostWnd, -12);
    EXPECT_EQ(c.hostTabCount, 3);

    // The first character is skipped whatever it is.
    c = Choose({L"/newgm", L"99", L"/1"});
    EXPECT_EQ(c.hostWnd, 9);
}

TEST(RunMode, NewGameRejectsMissingOrOverlongArguments) {
    EXPECT_FALSE(Choose({L"/newgm"}).valid);
    EXPECT_FALSE(Choose({L"/newgm", L"/1234"}).valid);
    EXPECT_EQ(Choose({L"/newgm", L"/1234"}).mode, RUN_NEWGAME);
    EXPECT_TRUE(Choose({L"/newgm", L"/12345678901234", L"/123456"}).valid);   // 15 and 7 characters
    EXPECT_FALSE(Choose({L"/newgm", L"/123456789012345", L"/1"}).valid);      // 16
    EXPECT_FALSE(Choose({L"/newgm", L"/1", L"/1234567"}).valid);              // 8
    EXPECT_FALSE(Choose({L"/newgm", L"", L"/1"}).valid);
    RunModeChoice c = Choose({L"/newgm", L"/5", L"/1234567"});
    EXPECT_EQ(c.hostWnd, 0);  // nothing of a rejected command line is kept
}

TEST(RunMode, GameHallReadsHostWindow) {
    RunModeChoice c = Choose({L"/gmhall", L"/4242"});
    EXPECT_TRUE(c.valid);
    EXPECT_EQ(c.hostWnd, 4242);
    EXPECT_EQ(c.hostTabCount, 0);
    EXPECT_FALSE(Choose({L"/gmhall"}).valid);
    EXPECT_FALSE(Choose({L"/gmhall", L"/1234567890123456"}).valid);
}

TEST(RunMode, ParseDecimalFollowsTheRuntimeRules) {
    EXPECT_EQ(ParseDecimal(L""), 0);
    EXPECT_EQ(ParseDecimal(L"abc"), 0);
    EXPECT_EQ(ParseDecimal(L"  42x"), 42);
    EXPECT_EQ(ParseDecimal(L"-5"), -5);
    EXPECT_EQ(ParseDecimal(L"- 5"), 0);
    EXPECT_EQ(ParseDecimal(L"4294967295"), -1);  // wraps instead of failing
}

} // namespace
