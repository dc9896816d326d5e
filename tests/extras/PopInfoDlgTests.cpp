// The pop-up notice under Wine against the stand-in operator: fetched, decided, laid out and
// drawn for real, with its timers shortened.
#include "extras/NoticeFetch.h"
#include "extras/PopInfoDlg.h"
#include "support/GdiplusScope.h"
#include "support/StandIn.h"
#include "support/WindowPixels.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::vector<std::pair<std::wstring, int>> g_opened;

bool RecordOpen(const wchar_t* address, int show) {
    g_opened.emplace_back(address, show);
    return true;
}

class PopInfo : public StandInTest {
protected:
    GdiplusScope m_gdiplus;
    TempFolder m_folder{L"notice"};
    NoticeSetup m_setup;

    void SetUp() override {
        StandInTest::SetUp();
        g_opened.clear();
        g_nNoticeShows = 0;
        m_setup.noticeUrl = StandIn::Url(L"/notice/velkor.txt");
        m_setup.iniPath = m_folder.File(L"Statistic.ini");
        m_setup.picturePath = m_folder.File(L"PopWnd.jpg");
        m_setup.today = L"2030-01-05";
        m_setup.openLink = RecordOpen;
    }
    // ASCII only: the stand-in sends rule bodies as UTF-8.
    static std::string Text(const std::string& link, const std::string& content, const std::string& picture,
                            int repeat = 0) {
        return "k|2030-12-31|Notice title|" + link + "|" + content + "|" + picture + "|" + std::to_string(repeat);
    }
    static void Serve(const std::string& text) { ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"body=" + StandIn::Encode(text))); }
    std::wstring Ini(const wchar_t* key) {
        wchar_t value[1100] = {};
        GetPrivateProfileStringW(L"Velkor", key, L"<absent>", value, 1100, m_setup.iniPath.c_str());
        return value;
    }
    static bool Gone(const CPopInfoDlg& dlg) { return !dlg.Handle(); }
    // The notice is fetched by a worker; its answer comes as a message to the dialog.
    static bool Arrived(const CPopInfoDlg& dlg) { return PumpUntil([&] { return dlg.Wanted(); }, 15000); }
};

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

TEST_F(PopInfo, FetchReadsUntilTheAnnouncedLengthAndOnlyBelow1024Bytes) {
    std::wstring text;
    // Served in small pieces with pauses: whatever each read returns, the whole body arrives.
    const std::string slow(600, 's');
    ASSERT_TRUE(StandIn::Rule(L"/slow.txt", L"trickle=150&piece=100&body=" + StandIn::Encode(slow)));
    EXPECT_TRUE(FetchNoticeText(StandIn::Url(L"/slow.txt").c_str(), text));
    EXPECT_EQ(text, Wide(slow));

    ASSERT_TRUE(StandIn::Rule(L"/1024.txt", L"size=1024"));
    ASSERT_TRUE(StandIn::Rule(L"/short.txt", L"framing=short&declared=500&size=300"));
    EXPECT_FALSE(FetchNoticeText(StandIn::Url(L"/1024.txt").c_str(), text));
    EXPECT_FALSE(FetchNoticeText(StandIn::Url(L"/short.txt").c_str(), text)) << "a cut notice is no notice";
    EXPECT_TRUE(text.empty());

    // The stand-in's own notice file, in code page 936.
    ASSERT_TRUE(FetchNoticeText(StandIn::Url(L"/notice/velkor.txt").c_str(), text));
    EXPECT_EQ(text.substr(0, 19), L"n1|2030-12-31|新区开放|");
}

TEST_F(PopInfo, ShowsPictureAndTextInTheCornerAndRecordsTheNotice) {
    const std::wstring picture = StandIn::Url(L"/notice/PopWnd.jpg");  // a file of the stand-in
    const std::string text = Text("http://127.0.0.1/l", "abc", std::string(picture.begin(), picture.end()));
    Serve(text);
    CPopInfoDlg dlg(m_setup);
    ASSERT_TRUE(dlg.Open(nullptr));
    ASSERT_TRUE(Arrived(dlg));
    EXPECT_EQ(dlg.LayoutShown(), notice::Layout::PictureAndText);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST);

    RECT wr = {}, wa = {};
    GetWindowRect(dlg, &wr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    EXPECT_TRUE(wr.right == wa.right && wr.bottom == wa.bottom) << "in the work area's bottom-right corner";
    EXPECT_EQ(wr.right - wr.left, 260) << "sized to its background picture";

    EXPECT_EQ(dlg.TitleLabel().Text(), L"Notice title");
    EXPECT_EQ(dlg.ContentLabel().Text(), L"abc...") << "the ellipsis comes whatever the length";
    EXPECT_EQ(Ini(L"PopInfo"), Wide(text));
    EXPECT_EQ(Ini(L"PopEnable"), L"1");

    PumpPending();
    const Pixels shot = CaptureWindow(dlg);
    ASSERT_FALSE(shot.Empty());
    // The picture (a plain RGB(40,160,90) JPEG) inside the picture label at (15, 67).
    EXPECT_TRUE(ColourNear(shot.At(50, 100), RGB(40, 160, 90), 12)) << std::hex << shot.At(50, 100);
    // The bold title in its colour at (100, 48).
    int titleInk = 0;
    for (int y = 48; y < 63; ++y)
        for (int x = 100; x < 240; ++x) titleInk += ColourNear(shot.At(x, y), RGB(19, 43, 67), 30);
    EXPECT_GT(titleInk, 10);

    PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000));
    EXPECT_EQ(Ini(L"PopEnable"), L"0") << "closed by the player: dismissed";
}

TEST_F(PopInfo, OpenReturnsWhileTheServerHoldsTheNoticeWhichShowsWhenItArrives) {
    // The notice is asked for on the main window's thread, which also runs the keyboard hook:
    // a server that takes its time must not stall that thread.
    const std::string held = Text("", "held back", "");
    ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"delay=20000&body=" + StandIn::Encode(held)));
    DWORD closing = 0;
    {
        CPopInfoDlg dlg(m_setup);
        const DWORD start = GetTickCount();
        ASSERT_TRUE(dlg.Open(nullptr));
        const DWORD took = GetTickCount() - start;
        for (const RecordedRequest& r : StandIn::RequestsFor("/notice/velkor.txt"))
            EXPECT_FALSE(r.answered) << "Open waited for the server's answer";
        EXPECT_LT(took, 5000u);
        EXPECT_FALSE(IsWindowVisible(dlg)) << "nothing to show before the notice arrives";
        closing = GetTickCount();
        // Gone before its answer: its worker is left to finish on its own.
    }
    EXPECT_LT(GetTickCount() - closing, 5000u) << "closing waited for the server";
    EXPECT_EQ(Ini(L"PopInfo"), L"<absent>");

    const std::wstring picture = StandIn::Url(L"/notice/PopWnd.jpg");
    const std::string text = Text("", "late", std::string(picture.begin(), picture.end()));
    ASSERT_TRUE(StandIn::Rule(L"/notice/velkor.txt", L"delay=1500&body=" + StandIn::Encode(text)));
    CPopInfoDlg dlg(m_setup);
    ASSERT_TRUE(dlg.Open(nullptr));
    EXPECT_FALSE(IsWindowVisible(dlg));
    ASSERT_TRUE(PumpUntil([&] { return dlg.Handle() && IsWindowVisible(dlg); }, 20000));
    EXPECT_EQ(dlg.LayoutShown(), notice::Layout::PictureAndText);
    EXPECT_EQ(dlg.TitleLabel().Text(), L"Notice title");
    EXPECT_EQ(dlg.ContentLabel().Text(), L"late...");
    EXPECT_EQ(Ini(L"PopInfo"), Wide(text));
    EXPECT_EQ(Ini(L"PopEnable"), L"1");
    PumpPending();
    const Pixels shot = CaptureWindow(dlg);
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(ColourNear(shot.At(50, 100), RGB(40, 160, 90), 12)) << "the picture came too";
}

TEST_F(PopInfo, DismissedOrExpiredNoticesCloseAtOnceAndLeaveTheStateAlone) {
    const std::string text = Text("", "abc", "");
    WritePopInfo(m_setup.iniPath, Wide(text));
    WritePopEnable(m_setup.iniPath, L"0");
    Serve("more before " + text);
    {
        CPopInfoDlg dlg(m_setup);
        dlg.Open(nullptr);
        EXPECT_TRUE(PumpUntil([&] { return Gone(dlg); }, 15000)) << "the stored text is still part of the notice";
        EXPECT_FALSE(dlg.Wanted());
    }
    // Expired the day before: nothing after the date is taken, so no picture is fetched.
    WritePrivateProfileStringW(L"Velkor", nullptr, nullptr, m_setup.iniPath.c_str());
    const std::wstring picture = StandIn::Url(L"/notice/PopWnd.jpg");
    Serve("k|2030-01-04|Notice title||abc|" + std::string(picture.begin(), picture.end()) + "|0");
    CPopInfoDlg dlg(m_setup);
    dlg.Open(nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Gone(dlg); }, 15000));
    EXPECT_FALSE(dlg.Wanted());
    EXPECT_EQ(Ini(L"PopInfo"), L"<absent>") << "nothing written for an expired notice";
    EXPECT_TRUE(StandIn::RequestsFor("/notice/PopWnd.jpg").empty()) << "an expired notice's picture was fetched";
    EXPECT_FALSE(FileExists(m_setup.picturePath));
}

TEST_F(PopInfo, AFieldWithALineBreakIsShownAndStoredUpToItsFirstLineEnd) {
    Serve("k|2030-12-31|Notice title\r\nsecond line||line\r\nbreak||0\r\nPopEnable=0");
    const std::wstring cut = L"k|2030-12-31|Notice title||line||0";
    {
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(Arrived(dlg));
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_EQ(dlg.TitleLabel().Text(), L"Notice title");
        EXPECT_EQ(dlg.ContentLabel().Text(), L"line...");
        EXPECT_EQ(Ini(L"PopInfo"), cut) << "the stored text is the one shown";
        EXPECT_EQ(Ini(L"PopEnable"), L"1");
        PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000));
    }
    // Dismissed: the same text with its line breaks is the notice already seen.
    CPopInfoDlg again(m_setup);
    again.Open(nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Gone(again); }, 15000));
    EXPECT_FALSE(again.Wanted());
    EXPECT_EQ(Ini(L"PopInfo"), cut);
}

// Where a label sits in the dialog's client area.
RECT InDialog(HWND label, HWND dialog) {
    RECT r = {};
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(PopInfo, EachLayoutPlacesItsLabelsAndCutsTheContentToItsOwnLength) {
    std::string content;
    for (int i = 0; i < 8; ++i) content += "0123456789";  // 80 characters
    const std::wstring picture = StandIn::Url(L"/notice/PopWnd.jpg");
    const std::string pictureUrl(picture.begin(), picture.end());
    {
        Serve(Text("", content, ""));
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(Arrived(dlg));
        ASSERT_EQ(dlg.LayoutShown(), notice::Layout::TextOnly);
        RECT client = {};
        GetClientRect(dlg, &client);
        EXPECT_EQ(dlg.ContentLabel().Text(), Wide(content.substr(0, 71)) + L"...");
        const RECT title = InDialog(dlg.TitleLabel(), dlg), text = InDialog(dlg.ContentLabel(), dlg),
                   more = InDialog(dlg.MoreLabel(), dlg);
        EXPECT_TRUE(title.left == 0 && title.top == 45 && title.right == client.right && title.bottom == 60);
        EXPECT_TRUE(text.left == 18 && text.top == 65 && text.right == client.right - 16);
        EXPECT_TRUE(more.left == 195 && more.top == 145 && more.right == 237);  // its height grows to its text
        EXPECT_FALSE(IsWindowVisible(dlg.PictureLabel())) << "the picture label keeps its template state";
    }
    {
        Serve(Text("", content, pictureUrl));
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(Arrived(dlg));
        ASSERT_EQ(dlg.LayoutShown(), notice::Layout::PictureAndText);
        EXPECT_EQ(dlg.ContentLabel().Text(), Wide(content.substr(0, 54)) + L"...");
        const RECT pic = InDialog(dlg.PictureLabel(), dlg);
        EXPECT_TRUE(pic.left == 15 && pic.top == 67 && pic.right == 90 && pic.bottom == 147);
        EXPECT_TRUE(IsWindowVisible(dlg.PictureLabel()));
    }
    {
        Serve(Text("http://127.0.0.1/l", "", pictureUrl));
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(Arrived(dlg));
        ASSERT_EQ(dlg.LayoutShown(), notice::Layout::PictureOnly);
        RECT client = {};
        GetClientRect(dlg, &client);
        const RECT pic = InDialog(dlg.ContentLabel(), dlg);
        EXPECT_TRUE(pic.left == -3 && pic.top == 22 && pic.right == client.right && pic.bottom == client.bottom)
            << "the content label becomes the picture";
        EXPECT_EQ(dlg.ContentLabel().Text(), L"");
        EXPECT_TRUE(GetWindowLongW(dlg.ContentLabel(), GWL_STYLE) & SS_NOTIFY) << "clickable";
        EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_FALSE(IsWindowVisible(dlg.TitleLabel())) << "nothing else is shown";
        EXPECT_FALSE(IsWindowVisible(dlg.MoreLabel()));
        EXPECT_EQ(dlg.TitleLabel().Text(), L"Title");
        SendMessageW(dlg.ContentLabel(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(dlg.ContentLabel(), WM_LBUTTONUP, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000)) << "a click on the picture opens the link";
        EXPECT_EQ(g_opened.size(), 1u);
    }
}

TEST_F(PopInfo, AHiddenOwnerKeepsTheNoticeHiddenAndMinimizingLeavesItsStateAlone) {
    m_setup.visibleMs = 300;
    m_setup.repeatMs = 300;
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    Serve(Text("", "owned", "", 1));
    {
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(owner));
        ASSERT_TRUE(Arrived(dlg));
        bool everShown = false;
        PumpUntil([&] {
            everShown = everShown || (dlg.Handle() && IsWindowVisible(dlg));
            return Gone(dlg);
        }, 5000);
        EXPECT_TRUE(Gone(dlg)) << "the repetition came and went";
        EXPECT_EQ(g_nNoticeShows, 1);
        EXPECT_FALSE(everShown) << "shown while its owner was hidden";
    }
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    Serve(Text("", "owned again", ""));
    {
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(owner));
        ASSERT_TRUE(Arrived(dlg));
        EXPECT_TRUE(IsWindowVisible(dlg)) << "a visible owner shows it";
        WritePopEnable(m_setup.iniPath, L"7");
        PostMessageW(dlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000));
        EXPECT_EQ(Ini(L"PopEnable"), L"7") << "minimizing closes without dismissing";
    }
    DestroyWindow(owner);
}

// The files named like a download's temporary file in a folder.
int TemporaryFiles(const std::wstring& folder) {
    int n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do ++n;
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

TEST_F(PopInfo, ANoticeGoneWhileItsPictureArrivesLeavesNoTemporaryFile) {
    // 100 KB in 1 KB pieces, 100 ms apart: ten seconds unless stopped.
    ASSERT_TRUE(StandIn::Rule(L"/slow.jpg", L"size=102400&trickle=100"));
    const std::wstring picture = StandIn::Url(L"/slow.jpg");
    Serve(Text("", "abc", std::string(picture.begin(), picture.end())));
    {
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(PumpUntil([&] { return TemporaryFiles(m_folder.Path()) > 0; }, 15000)) << "the picture is arriving";
        // Gone as at the program's end, which ends every thread right after its windows.
    }
    EXPECT_EQ(TemporaryFiles(m_folder.Path()), 0) << "the picture's temporary file outlived the notice";
    EXPECT_FALSE(FileExists(m_setup.picturePath));
}

TEST_F(PopInfo, APictureOfAnotherFormatIsNotDecodedAndTheRestIsShown) {
    // A 4 x 4 uncompressed RGB TIFF of RGB(100,30,30), which the system's decoder reads.
    std::string tiff = std::string("II*\0", 4) + std::string("\x3E\0\0\0", 4) + std::string("\x08\0\x08\0\x08\0", 6);
    for (int i = 0; i < 16; ++i) tiff += "\x64\x1E\x1E";
    auto put16 = [&](int v) { tiff += char(v & 0xFF); tiff += char(v >> 8); };
    auto put32 = [&](int v) { put16(v & 0xFFFF); put16(v >> 16); };
    auto entry = [&](int tag, int type, int count, int value) {
        put16(tag);
        put16(type);
        put32(count);
        if (type == 3 && count == 1) {
            put16(value);
            put16(0);
        } else {
            put32(value);
        }
    };
    put16(9);
    entry(256, 3, 1, 4);   // width
    entry(257, 3, 1, 4);   // height
    entry(258, 3, 3, 8);   // bits per sample, at offset 8
    entry(259, 3, 1, 1);   // no compression
    entry(262, 3, 1, 2);   // RGB
    entry(273, 4, 1, 14);  // the strip at offset 14
    entry(277, 3, 1, 3);   // samples per pixel
    entry(278, 3, 1, 4);   // rows per strip
    entry(279, 4, 1, 48);  // strip bytes
    put32(0);
    ASSERT_TRUE(StandIn::Rule(L"/notice/other.jpg", L"body=" + StandIn::Encode(tiff)));
    const std::wstring picture = StandIn::Url(L"/notice/other.jpg");
    Serve(Text("", "abc", std::string(picture.begin(), picture.end())));
    CPopInfoDlg dlg(m_setup);
    ASSERT_TRUE(dlg.Open(nullptr));
    ASSERT_TRUE(Arrived(dlg));
    EXPECT_EQ(StandIn::RequestsFor("/notice/other.jpg").size(), 1u);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(dlg.ContentLabel().Text(), L"abc...");
    PumpPending();
    const Pixels shot = CaptureWindow(dlg);
    ASSERT_FALSE(shot.Empty());
    int drawn = 0;
    for (int y = 67; y < 147; ++y)
        for (int x = 15; x < 90; ++x) drawn += ColourNear(shot.At(x, y), RGB(100, 30, 30), 8);
    EXPECT_EQ(drawn, 0) << "a picture that is not JPEG, PNG, GIF or BMP was decoded";
}

TEST_F(PopInfo, ComesBackAsOftenAsAskedThenMayShowAgainNextRun) {
    m_setup.visibleMs = 300;
    m_setup.repeatMs = 300;
    Serve(Text("", "text only", "", 1));
    CPopInfoDlg dlg(m_setup);
    ASSERT_TRUE(dlg.Open(nullptr));
    ASSERT_TRUE(Arrived(dlg));
    EXPECT_EQ(dlg.LayoutShown(), notice::Layout::TextOnly);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dlg); }, 5000));
    EXPECT_TRUE(dlg.Handle()) << "hidden until the repetition";
    ASSERT_TRUE(PumpUntil([&] { return dlg.Handle() && IsWindowVisible(dlg); }, 5000));
    EXPECT_EQ(g_nNoticeShows, 1);
    ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000));
    EXPECT_EQ(Ini(L"PopEnable"), L"1");
}

TEST_F(PopInfo, AClickOpensOnlyAWebLinkAndDismisses) {
    for (const std::string link : {"http://127.0.0.1/news", "file:///C:/windows/system32/calc.exe"}) {
        g_opened.clear();
        Serve(Text(link, "abc", ""));
        CPopInfoDlg dlg(m_setup);
        ASSERT_TRUE(dlg.Open(nullptr));
        ASSERT_TRUE(Arrived(dlg)) << link;
        SendMessageW(dlg.MoreLabel(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(dlg.MoreLabel(), WM_LBUTTONUP, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return Gone(dlg); }, 5000)) << link;
        EXPECT_EQ(Ini(L"PopEnable"), L"0");
        if (link[0] == 'h')
            EXPECT_EQ(g_opened, (std::vector<std::pair<std::wstring, int>>{{Wide(link), SW_SHOWMAXIMIZED}}));
        else
            EXPECT_TRUE(g_opened.empty()) << "a notice over plain HTTP must not start programs";
    }
}

} // namespace
