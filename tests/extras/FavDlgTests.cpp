// Add to favourites under Wine (ANSI code page 936), into a folder of the test's own in place
// of the Favorites folder.
#include "extras/FavDlg.h"
#include "support/ModalRun.h"
#include "support/WineTest.h"

#include "extras_ids.h"

#include <gtest/gtest.h>
#include <vector>

using namespace testing_support;
using testing_support::Click;

namespace {

int FilesIn(const std::wstring& folder) {
    int n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

INT_PTR RunFav(CFavDlg& dlg, const std::function<bool(HWND, int)>& step) {
    return testing_support::RunModal(dlg, [&] { return dlg.Run(); }, step);
}

TEST(Favorites, WritesTheShortcutInTheAnsiCodePage) {
    TempFolder folder(L"fav");
    CFavDlg dlg(L"Sevrith 游戏", L"http://127.0.0.1/游戏?a=1", nullptr);
    dlg.SetFolder(folder.Path());
    wchar_t proposed[200] = {};
    EXPECT_EQ(RunFav(dlg, [&](HWND d, int) {
        GetDlgItemTextW(d, IDC_FAV_NAME, proposed, 200);
        SetDlgItemTextW(d, IDC_FAV_NAME, L"新区 S1");
        Click(d, IDOK);
        return true;
    }), IDOK);
    EXPECT_STREQ(proposed, L"Sevrith 游戏") << "prefilled with the page title";
    // "游戏" is D3CE CFB7 in code page 936; no byte-order mark, no terminator.
    const std::string url = "http://127.0.0.1/\xD3\xCE\xCF\xB7?a=1";
    EXPECT_EQ(ReadWholeFile(folder.File(L"新区 S1.url")),
              "[DEFAULT]\r\nBASEURL=" + url + "\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
              "[InternetShortcut]\r\nURL=" + url + "\r\nIDList=\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1) << "no temporary file left";
}

TEST(Favorites, ANameLeavingTheFolderIsRefusedWithAMessageAndTheDialogStays) {
    TempFolder folder(L"fav");
    const std::wstring inner = folder.Path() + L"\\inner";
    CreateDirectoryW(inner.c_str(), nullptr);
    std::vector<std::wstring> told;
    CFavDlg dlg(L"t", L"http://127.0.0.1/g", nullptr, [&](HWND, const wchar_t* text) { told.push_back(text); });
    dlg.SetFolder(inner);
    EXPECT_EQ(RunFav(dlg, [&](HWND d, int n) {
        if (n == 0) {
            SetDlgItemTextW(d, IDC_FAV_NAME, L"..\\escaped");
            Click(d, IDOK);
            return false;
        }
        Click(d, IDCANCEL);  // still open: the player may choose another name
        return true;
    }), IDCANCEL);
    EXPECT_EQ(told.size(), 1u);
    EXPECT_EQ(FilesIn(folder.Path()) + FilesIn(inner), 0) << "nothing written, outside or by the cancel";
    for (const wchar_t* bad : {L"a/b", L"c:d", L"..", L"."})
        EXPECT_EQ(SaveFavorite(folder.Path(), bad, L"http://127.0.0.1/g"), FavSave::BadName) << bad;
    // A page title its site has cut ends in "...": a name like any other.
    for (const wchar_t* cut : {L"新区开放...", L"a..b", L"...", L".hidden"}) {
        EXPECT_EQ(SaveFavorite(folder.Path(), cut, L"http://127.0.0.1/g"), FavSave::Saved) << cut;
        EXPECT_TRUE(FileExists(folder.File((std::wstring(cut) + L".url").c_str()))) << cut;
    }
    EXPECT_EQ(SaveFavorite(folder.Path(), std::wstring(255 - folder.Path().size(), L'n'), L"http://127.0.0.1/g"),
              FavSave::PathTooLong) << "260 characters with the terminator";
}

TEST(Favorites, WithoutAFavoritesFolderNothingIsWrittenAndNothingIsSaid) {
    TempFolder folder(L"fav");
    for (const std::wstring& none : {std::wstring(), folder.File(L"missing")}) {
        std::vector<std::wstring> told;
        CFavDlg dlg(L"t", L"http://127.0.0.1/g", nullptr, [&](HWND, const wchar_t* text) { told.push_back(text); });
        dlg.SetFolder(none);
        EXPECT_EQ(RunFav(dlg, [&](HWND d, int n) {
            if (n == 0) {
                Click(d, IDOK);
                return false;
            }
            Click(d, IDCANCEL);  // only reached when the first click left the dialog open
            return true;
        }), IDOK) << none;
        EXPECT_TRUE(told.empty()) << none;
    }
    EXPECT_EQ(FilesIn(folder.Path()), 0);
}

TEST(Favorites, AFailedOrRefusedSaveKeepsTheOlderFavouriteWhole) {
    TempFolder folder(L"fav");
    const std::wstring old = folder.File(L"game.url");
    ASSERT_TRUE(WriteWholeFile(old, "the older favourite"));
    const FavWriter breaksOffHalfway = [](HANDLE file, const std::string& bytes) {
        DWORD put = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size() / 2), &put, nullptr);
        return false;
    };
    EXPECT_EQ(SaveFavorite(folder.Path(), L"game", L"http://127.0.0.1/g", breaksOffHalfway), FavSave::WriteFailed);
    EXPECT_EQ(ReadWholeFile(old), "the older favourite");
    EXPECT_EQ(FilesIn(folder.Path()), 1) << "the temporary file is gone";

    const std::wstring longest = L"http://127.0.0.1/" + std::wstring(203 - 17, L'a');
    EXPECT_EQ(SaveFavorite(folder.Path(), L"game", longest + L"b"), FavSave::AddressRefused) << "never cut";
    EXPECT_EQ(SaveFavorite(folder.Path(), L"game", L"http://127.0.0.1/g\r\nIconFile=\\\\elsewhere\\i.ico"),
              FavSave::AddressRefused) << "no lines of its own";
    EXPECT_EQ(SaveFavorite(folder.Path(), L"game", L"file:///C:/Windows/notepad.exe"), FavSave::AddressRefused)
        << "only a web page";
    EXPECT_EQ(ReadWholeFile(old), "the older favourite");
    EXPECT_EQ(SaveFavorite(folder.Path(), L"game", longest), FavSave::Saved) << "203 characters fit";
    EXPECT_NE(ReadWholeFile(old).find("URL=" + std::string(longest.begin(), longest.end()) + "\r\n"), std::string::npos);
}

} // namespace
