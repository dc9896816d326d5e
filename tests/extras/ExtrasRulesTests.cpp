// The side features' rules that need no window: the notice text and its dates, the client
// download's paths.
#include "extras/DownGameRules.h"
#include "extras/NoticeRules.h"

#include <gtest/gtest.h>
#include <string_view>

using namespace notice;

TEST(NoticeText, SplitsTheSevenFieldsAndRejectsWhatWouldBeCut) {
    Notice n;
    ASSERT_TRUE(SplitNotice(L"n1|2030-12-31|新区开放|http://a/l|今晚八点|http://a/p.jpg|2|x", n));
    EXPECT_EQ(n.expiryDate, L"2030-12-31");
    EXPECT_EQ(n.title, L"新区开放");
    EXPECT_EQ(n.linkUrl, L"http://a/l");
    EXPECT_EQ(n.content, L"今晚八点");
    EXPECT_EQ(n.pictureUrl, L"http://a/p.jpg");
    EXPECT_EQ(n.repeatCount, 2) << "text after the sixth separator is the last field";

    EXPECT_FALSE(SplitNotice(L"n1|2030-12-31|t|l|c|p", n)) << "five separators";
    EXPECT_TRUE(SplitNotice(L"k|d|" + std::wstring(63, L'T') + L"|l|c|p|0", n));
    EXPECT_FALSE(SplitNotice(L"k|d|" + std::wstring(64, L'T') + L"|l|c|p|0", n)) << "a title is never cut";
    EXPECT_FALSE(SplitNotice(L"k|d|t|" + std::wstring(512, L'h') + L"|c|p|0", n)) << "nor a link";
    EXPECT_EQ(TrimLineEnds(L"k|d|t|l|c|p|1\r\n"), L"k|d|t|l|c|p|1") << "a file's last line end is no field's";
}

TEST(NoticeText, EachFieldIsKeptUpToItsFirstLineEnd) {
    // Stored as one INI value, a line break would add keys of its own; the notice is still shown.
    const std::wstring raw(L"k|d|t\rx|l|line\r\n[Velkor]|p\0q|0\nPopEnable=1\r\n", 44);
    const std::wstring cut = L"k|d|t|l|line|p|0";
    EXPECT_EQ(KeepFirstLines(raw), cut);
    Notice fromRaw, fromCut;
    ASSERT_TRUE(SplitNotice(raw, fromRaw));
    ASSERT_TRUE(SplitNotice(cut, fromCut));
    EXPECT_EQ(fromRaw.title, L"t");
    EXPECT_EQ(fromRaw.content, L"line");
    EXPECT_EQ(fromRaw.pictureUrl, L"p");
    EXPECT_EQ(fromRaw.content, fromCut.content) << "what is shown is what is stored";
    EXPECT_EQ(fromRaw.repeatCount, 0);
    EXPECT_EQ(KeepFirstLines(L"k|d\n|t"), L"k|d|t") << "a short text is cut alike";
    EXPECT_TRUE(SplitNotice(L"k|d|" + std::wstring(63, L'T') + L"\r\n" + std::wstring(9, L'x') + L"|l|c|p|0", fromCut))
        << "the capacity counts what is kept";
}

TEST(NoticeText, OnlyJpegPngGifAndBmpPicturesAreDecoded) {
    using namespace std::string_view_literals;
    EXPECT_TRUE(IsDecodablePicture("\xFF\xD8\xFF\xE0rest"sv));
    EXPECT_TRUE(IsDecodablePicture("\x89PNG\r\n\x1A\n"sv));
    EXPECT_TRUE(IsDecodablePicture("GIF87a"sv));
    EXPECT_TRUE(IsDecodablePicture("GIF89a..."sv));
    EXPECT_TRUE(IsDecodablePicture("BM6\0\0\0"sv));
    EXPECT_FALSE(IsDecodablePicture("II*\0"sv)) << "TIFF";
    EXPECT_FALSE(IsDecodablePicture("MM\0*"sv)) << "TIFF";
    EXPECT_FALSE(IsDecodablePicture("\xD7\xCD\xC6\x9A"sv)) << "placeable metafile";
    EXPECT_FALSE(IsDecodablePicture("\x01\0\0\0"sv)) << "enhanced metafile";
    EXPECT_FALSE(IsDecodablePicture("\0\0\x01\0"sv)) << "icon";
    EXPECT_FALSE(IsDecodablePicture("\x89PNG\r\n\x1A"sv)) << "cut signature";
    EXPECT_FALSE(IsDecodablePicture("GIF88a"sv));
    EXPECT_FALSE(IsDecodablePicture(""sv));
}

TEST(NoticeText, DatesCompareLikeASubtraction) {
    EXPECT_EQ(CompareDateText(L"2030-01-05", L"2030-01-05"), 0);
    EXPECT_EQ(CompareDateText(L"2029-12-31", L"2030-01-05"), -1);
    EXPECT_EQ(CompareDateText(L"2030-03-01", L"2030-01-31"), 2);
    EXPECT_EQ(CompareDateText(L"2030-01-05", L"2030-1-5 23:59"), 0) << "anything after a blank is ignored";
    EXPECT_EQ(CompareDateText(L"2030-01-05", L"20300105"), 1) << "no \"-\": long past";
    EXPECT_EQ(CompareDateText(L"2030-01", L"2030-01-05"), -1);
    EXPECT_EQ(CompareDateText(L"2030-01-05", L"2030-01"), 1);

    const std::wstring text = L"k|2030-01-05|t|l|c|p|0";
    Notice n;
    EXPECT_EQ(DecideNoticeText(text, L"", L"", L"2030-01-05", n), Decision::Show) << "the expiry day itself";
    Notice expired;
    EXPECT_EQ(DecideNoticeText(L"k|2030-01-05|t|l|c|http://p|0", L"", L"", L"2030-01-06", expired), Decision::Expired);
    EXPECT_EQ(expired.expiryDate, L"2030-01-05");
    EXPECT_TRUE(expired.title.empty() && expired.content.empty() && expired.pictureUrl.empty())
        << "nothing after the date is taken, so no picture is fetched";
}

TEST(NoticeText, WantedUnlessTheStoredTextIsStillThereAndDismissed) {
    const std::wstring text = L"k|2030-01-05|t|l|c|p|0";
    EXPECT_FALSE(IsNoticeWanted(L"", L"", L""));
    EXPECT_TRUE(IsNoticeWanted(text, L"", L"0")) << "nothing stored: new";
    EXPECT_FALSE(IsNoticeWanted(text, text, L"0"));
    EXPECT_TRUE(IsNoticeWanted(text, text, L"1"));
    EXPECT_TRUE(IsNoticeWanted(text, text, L""));
    EXPECT_TRUE(IsNoticeWanted(L"k2|2030-01-05|t|l|c|p|0", text, L"0")) << "another notice";
}

TEST(DownGameRules, ConfigPageAndABoundedPlainSetupPath) {
    EXPECT_EQ(downgame::ClientConfigUrl(L"http://u:81/update/ConfigVelkor.htm", L"Brasca"),
              L"http://u:81/update/ConfigBrasca.htm");
    std::wstring path;
    ASSERT_TRUE(downgame::SetupPathFor(L"C:\\T\\", std::wstring(250, L'n'), 259, path));
    EXPECT_EQ(path, L"C:\\T\\" + std::wstring(250, L'n') + L".exe");
    EXPECT_FALSE(downgame::SetupPathFor(L"C:\\T\\", std::wstring(251, L'n'), 259, path)) << "260 with the terminator";
    for (const wchar_t* bad : {L"..\\..\\Windows\\x", L"a/b", L"C:x", L"", L"a*b"})
        EXPECT_FALSE(downgame::SetupPathFor(L"C:\\T\\", bad, 259, path)) << bad;
}
