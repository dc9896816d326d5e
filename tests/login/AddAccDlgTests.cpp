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

// Stands in for the main window: keeps every answer.
class AnswerTaker : public fw::Window {
public:
    std::vector<WPARAM> answers;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == UM_ADD_ACCOUNT_CHOICE && lParam == 0) answers.push_back(wParam);
        return fw::Window::HandleMessage(msg, wParam, lParam);
    }
};

TEST(AddAccountPopup, AnswersByButtonEnterAndEscapeAndNotWhenLeft) {
    GdiplusScope gdiplus;
    AnswerTaker owner;
    ASSERT_TRUE(owner.Create(L"VelkorTestAddAcc", L"owner", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 300, 200}, nullptr));
    CAddAccDlg popup;
    ASSERT_TRUE(popup.CreateModeless(owner.Handle()));
    HWND wnd = popup.Handle();
    RECT r = {};
    GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 284) << "sized to its picture";
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + 40, r.top + 10)), HTCLIENT) << "dragged";
    wchar_t text[256] = {};
    GetDlgItemTextW(wnd, 1023, text, 256);
    EXPECT_STREQ(text, L"在当前窗口新增标签页？\r\n点击\"是\"，在当前窗口登录(支持3个标签页)；\r\n点击\"否\"，在新窗口中登录。");

    auto show = [&] {
        ShowWindow(wnd, SW_SHOW);
        SetActiveWindow(wnd);
        PumpFor(50);
    };
    auto click = [&](int id) { PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(wnd, id))); };
    auto key = [&](UINT vk) { PostMessageW(GetFocus() ? GetFocus() : wnd, WM_KEYDOWN, vk, 1); };
    const std::vector<std::function<void()>> acts = {[&] { click(IDOK); }, [&] { click(IDCANCEL); },
                                                     [&] { key(VK_RETURN); }, [&] { key(VK_ESCAPE); }};
    for (size_t i = 0; i < acts.size(); ++i) {
        show();
        acts[i]();
        EXPECT_TRUE(PumpUntil([&] { return owner.answers.size() == i + 1 && !IsWindowVisible(wnd); })) << i;
    }
    EXPECT_EQ(owner.answers, (std::vector<WPARAM>{1, 0, 1, 0}));

    show();
    SetActiveWindow(owner.Handle());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(wnd); })) << "stays when another window is activated";
    PumpFor(300);
    EXPECT_EQ(owner.answers.size(), 4u);
    owner.Destroy();
}

TEST(AddAccountPopup, MainWindowShowsItUnderTheLinkAndOpensATabOnYes) {
    GdiplusScope gdiplus;
    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", L"S1服-一区-First");
    CQuillonDlg dlg(MainWindowArgs{BuiltPageStubPath(), RUN_INSTALLED, 0});
    ASSERT_TRUE(dlg.CreateModeless());
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    ASSERT_TRUE(PumpUntil([&] { return dlg.TabWnds().size() == 1; }, 30000));
    HWND label = GetDlgItem(dlg.Handle(), IDC_LBL_ADD_ACCOUNT), popup = nullptr;
    PostMessageW(dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LBL_ADD_ACCOUNT, STN_CLICKED), LPARAM(label));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(popup = FindWindowW(nullptr, L"登录其他账号")); }));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), dlg.Handle());
    RECT link = {}, shown = {};
    GetWindowRect(label, &link);
    GetWindowRect(popup, &shown);
    EXPECT_EQ(shown.right, link.right);
    EXPECT_EQ(shown.top, link.bottom);

    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", L"S1服-一区-Second");
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(popup, IDOK)));
    EXPECT_TRUE(PumpUntil([&] { return dlg.TabWnds().size() == 2; }, 30000)) << "no second tab";
    std::vector<fw::UniqueHandle> pages;
    for (HWND frame : dlg.TabWnds()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(frame, &pid);
        pages.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, pid));
        PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    DestroyWindow(dlg.Handle());
    for (const auto& page : pages) WaitForSingleObject(page.Get(), 10000);
    SetEnvironmentVariableW(L"VELKOR_STUB_KEY", nullptr);
}

} // namespace
