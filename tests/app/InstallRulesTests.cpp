// The installer's and the uninstaller's rules that need no system: link paths, which batch
// removes the program, and the batch's exact text.
#include "app/InstallRules.h"

#include <gtest/gtest.h>

using namespace install;

namespace {

TEST(InstallRules, LinkPathsThatDoNotFitAreSkippedNotCut) {
    EXPECT_EQ(LinkPath(L"C:\\users\\Public\\Desktop", L"OlveskSevrith极速登录器"),
              L"C:\\users\\Public\\Desktop\\OlveskSevrith极速登录器.lnk");
    EXPECT_EQ(ChildPath(L"C:\\", L"x"), L"C:\\x");
    // 259 characters is the longest path with its terminating zero in 260.
    const std::wstring folder(259 - 6, L'a');  // + "\b.lnk"
    EXPECT_EQ(LinkPath(folder, L"b").size(), 259u);
    EXPECT_EQ(LinkPath(folder, L"bc"), L"");
    EXPECT_EQ(LinkPath(L"", L"b"), L"");
    EXPECT_EQ(LinkPath(L"C:\\d", L""), L"");
}

TEST(InstallRules, OnlyAFolderListedWithTheExecutableAloneGoesToo) {
    EXPECT_EQ(ChooseBatchKind(1), BatchKind::ExeAndFolder);
    EXPECT_EQ(ChooseBatchKind(kFolderNotListed), BatchKind::ExeOnly);
    EXPECT_EQ(ChooseBatchKind(0), BatchKind::ExeOnly);
    EXPECT_EQ(ChooseBatchKind(2), BatchKind::ExeOnly);
    EXPECT_TRUE(FolderHoldsNoFile(0));
    EXPECT_FALSE(FolderHoldsNoFile(kFolderNotListed));
    EXPECT_FALSE(FolderHoldsNoFile(1));
}

TEST(InstallRules, BatchQuotesPathsDoublesPercentAndDeletesOnlyTheProgramsFiles) {
    const std::string exe = "C:\\Down loads 100%\\Velkor.exe";
    const std::string folder = "C:\\Down loads 100%";
    const std::string batch = "C:\\Temp\\DelSelf1A.tmp.bat";
    EXPECT_EQ(SelfDeleteBatchText(BatchKind::ExeOnly, exe, folder, batch),
              "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\n"
              "del \"C:\\Down loads 100%%\\Velkor.exe\"\r\n"
              "if exist \"C:\\Down loads 100%%\\Velkor.exe\" goto :delexe\r\n"
              "del \"C:\\Temp\\DelSelf1A.tmp.bat\"\r\n");
    EXPECT_EQ(SelfDeleteBatchText(BatchKind::ExeAndFolder, exe, folder, batch),
              "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\n"
              "del \"C:\\Down loads 100%%\\Velkor.exe\"\r\n"
              "if exist \"C:\\Down loads 100%%\\Velkor.exe\" goto :delexe\r\n"
              "del \"C:\\Down loads 100%%\\Statistic.ini\" /Q /F\r\n"
              "rd \"C:\\Down loads 100%%\"\r\n"
              "del \"C:\\Temp\\DelSelf1A.tmp.bat\"\r\n");
}

} // namespace
