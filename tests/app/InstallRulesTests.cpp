// The installer's and the uninstaller's rules that need no system.
#include "app/InstallRules.h"

#include <gtest/gtest.h>

using namespace install;

namespace {

TEST(InstallRules, LinkPathsThatDoNotFitAreSkippedNotCut) {
    EXPECT_EQ(LinkPath(L"C:\\d", L"OlveskSevrith极速登录器"), L"C:\\d\\OlveskSevrith极速登录器.lnk");
    const std::wstring folder(253, L'a');  // with "\b.lnk" 259 characters, the most that fit in 260
    EXPECT_EQ(LinkPath(folder, L"b").size(), 259u);
    EXPECT_EQ(LinkPath(folder, L"bc"), L"");
}

TEST(InstallRules, OnlyAFolderListedWithTheProgramAloneGoesAndPercentIsDoubled) {
    EXPECT_EQ(ChooseBatchKind(kFolderNotListed), BatchKind::ExeOnly);
    EXPECT_EQ(ChooseBatchKind(1), BatchKind::ExeAndFolder);
    EXPECT_EQ(ChooseBatchKind(2), BatchKind::ExeOnly);
    EXPECT_EQ(SelfDeleteBatchText(BatchKind::ExeAndFolder, "C:\\A 1%\\V.exe", "C:\\A 1%", "C:\\T\\D.bat"),
              "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\ndel \"C:\\A 1%%\\V.exe\"\r\n"
              "if exist \"C:\\A 1%%\\V.exe\" goto :delexe\r\ndel \"C:\\A 1%%\\Statistic.ini\" /Q /F\r\n"
              "rd \"C:\\A 1%%\"\r\ndel \"C:\\T\\D.bat\"\r\n");
}

} // namespace
