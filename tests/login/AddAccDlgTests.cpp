// The add-account popup driven for real: its answers reach the owner by posted message, and
// the main window shows it under its link and opens a tab on "是".
#include "common/AppMessages.h"
#include "gamewnd/QuillonDlg.h"
#include "login/AddAccDlg.h"
#include "support/GdiplusScope.h"
#include "support/MessagePump.h"
#include "support/WineTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace testing_support;

namespace {

// Stands in for the main window: keeps every answer it gets.
class AnswerTaker : public fw::Window {
public:
    std::vector<WPARAM> answers;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == UM_ADD_ACCOUNT_CHOICE) {
            EXPECT_EQ(lParam, 0);
            answers.push_back(wParam);
            return 0;
        }
        return fw::Window::HandleMessage(msg, wParam, lParam);
    }
};

SIZE WindowSize(HWND wnd) {
    RECT r = {};
    GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(AddAccountPopup, AnswersYesAndNoByButtonEnterAndEscapeAndNothingWhenLeft) {
    GdiplusScope gdiplus;
    AnswerTaker owner;
    ASSERT_TRUE(owner.Create(L"VelkorTestAddAccOwner", L"owner", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 300, 200},
                             nullptr));
    CAddAccDlg popup;
    ASSERT_TRUE(popup.CreateModeless(owner.Handle()));
    EXPECT_FALSE(IsWindowVisible(popup.Handle())) << "made hidden, shown by the main window";
    EXPECT_EQ(WindowSize(popup.Handle()).cx, 284) << "sized to its picture";
    EXPECT_EQ(WindowSize(popup.Handle()).cy, 150);
    wchar_t text[256] = {};
    GetDlgItemTextW(popup.Handle(), 1023, text, 256);
    EXPECT_STREQ(text, L"在当前窗口新增标签页？\r\n点击\"是\"，在当前窗口登录(支持3个标签页)；\r\n点击\"否\"，在新窗口中登录。");
    GetDlgItemTextW(popup.Handle(), IDOK, text, 256);
    EXPECT_STREQ(text, L"是");
    GetDlgItemTextW(popup.Handle(), IDCANCEL, text, 256);
    EXPECT_STREQ(text, L"否");
    // The skinned caption does not drag it.
    RECT r = {};
    GetWindowRect(popup.Handle(), &r);
    EXPECT_EQ(SendMessageW(popup.Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 40, r.top + 10)), HTCLIENT);

    auto answer = [&](const std::function<void()>& act) -> WPARAM {
        ShowWindow(popup.Handle(), SW_SHOW);
        SetActiveWindow(popup.Handle());
        PumpFor(50);
        const size_t before = owner.answers.size();
        act();
        const bool answered = PumpUntil([&] { return owner.answers.size() > before; }, 5000);
        EXPECT_FALSE(IsWindowVisible(popup.Handle())) << "still shown after the answer";
        return answered ? owner.answers.back() : WPARAM(99);
    };
    auto click = [&](int id) {
        PostMessageW(popup.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(popup.Handle(), id)));
    };
    auto key = [&](UINT vk) {
        HWND focus = GetFocus();
        PostMessageW(focus ? focus : popup.Handle(), WM_KEYDOWN, vk, 1);
    };
    EXPECT_EQ(answer([&] { click(IDOK); }), 1u);
    EXPECT_EQ(answer([&] { click(IDCANCEL); }), 0u);
    EXPECT_EQ(answer([&] { key(VK_RETURN); }), 1u);
    EXPECT_EQ(answer([&] { key(VK_ESCAPE); }), 0u);

    // Another window taking the activation dismisses the popup without an answer.
    ShowWindow(popup.Handle(), SW_SHOW);
    SetActiveWindow(popup.Handle());
    PumpFor(50);
    ASSERT_TRUE(IsWindowVisible(popup.Handle()));
    SetActiveWindow(owner.Handle());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(popup.Handle()); }));
    PumpFor(300);
    EXPECT_EQ(owner.answers.size(), 4u);
    owner.Destroy();
}

TEST(AddAccountPopup, MainWindowShowsItUnderTheLinkAndOpensATabOnYes) {
    GdiplusScope gdiplus;
    TempFolder dir(L"addacc");
    SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", dir.File(L"pages.log").c_str());
    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", L"S1服-一区-First");
    CQuillonDlg dlg(MainWindowArgs{BuiltPageStubPath()});
    ASSERT_TRUE(dlg.CreateModeless());
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    std::vector<fw::UniqueHandle> pages;
    auto keepPages = [&] {
        for (HWND frame : dlg.TabWnds()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(frame, &pid);
            pages.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, pid));
        }
    };
    ASSERT_TRUE(PumpUntil([&] { return dlg.TabWnds().size() == 1; }, 30000));

    HWND label = GetDlgItem(dlg.Handle(), IDC_LBL_ADD_ACCOUNT);
    PostMessageW(dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LBL_ADD_ACCOUNT, STN_CLICKED), reinterpret_cast<LPARAM>(label));
    HWND popup = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        popup = FindWindowW(nullptr, L"登录其他账号");
        return popup && IsWindowVisible(popup);
    }));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), dlg.Handle());
    RECT link = {}, shown = {};
    GetWindowRect(label, &link);
    GetWindowRect(popup, &shown);
    EXPECT_EQ(shown.right, link.right) << "right-aligned with the link";
    EXPECT_EQ(shown.top, link.bottom) << "just below the link";

    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", L"S1服-一区-Second");
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(popup, IDOK)));
    EXPECT_TRUE(PumpUntil([&] { return dlg.TabWnds().size() == 2; }, 30000)) << "no second tab";
    EXPECT_FALSE(IsWindowVisible(popup));

    keepPages();
    for (HWND frame : dlg.TabWnds()) PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    DestroyWindow(dlg.Handle());
    for (const auto& page : pages) WaitForSingleObject(page.Get(), 10000);
    SetEnvironmentVariableW(L"VELKOR_PROBE_LOG", nullptr);
    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", nullptr);
}

} // namespace
