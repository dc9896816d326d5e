// The QQ sign-in with the real browser control under Wine. No page ever completes here, so
// the completed callback is handed to the handler by the test; the cookie is set through
// WinINet, the store the browser uses.
#include "login/QQLogin.h"
#include "login/QQRules.h"
#include "skin/DlgEx.h"
#include "support/GdiplusScope.h"
#include "support/MessagePump.h"
#include "support/ModalRun.h"

#include <wininet.h>

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const std::wstring kCallback = std::wstring(qq::kClientCallbackAddress) + L"&code=42";

void SetCookie(const wchar_t* name, const std::wstring& value) {
    ASSERT_TRUE(InternetSetCookieW(qq::kClientCallbackAddress, name, value.c_str()));
}
void ExpireCookies() {
    for (const wchar_t* name : {L"Filler", L"Pauth"})
        InternetSetCookieW(qq::kClientCallbackAddress, name, L"x; expires=Sat, 01-Jan-2000 00:00:00 GMT");
}

class RecordingQQHtml : public CQQHtml {
public:
    RecordingQQHtml() : CQQHtml(nullptr) {}
    std::vector<std::pair<std::wstring, bool>> navs;

protected:
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* target, VARIANT* post,
                           const wchar_t* headers, VARIANT_BOOL* cancel) override {
        CQQHtml::OnBeforeNavigate2(disp, url, flags, target, post, headers, cancel);
        navs.emplace_back(url, *cancel != VARIANT_FALSE);
    }
};

TEST(QQRules, CallbacksAreKnownByTheirStartAndTheCookieByItsExactName) {
    EXPECT_TRUE(qq::IsCallbackAddress(kCallback));
    EXPECT_FALSE(qq::IsCallbackAddress(L"http://elsewhere.example/?next=" + kCallback));

    EXPECT_TRUE(qq::HasCookieValue(L"a=1; Pauth=xyz; b=2", L"Pauth"));
    EXPECT_FALSE(qq::HasCookieValue(L"a=1; Pauth=; b=2", L"Pauth")) << "an empty value is no sign-in";
    EXPECT_FALSE(qq::HasCookieValue(L"NoPauth=1; Pauth2=3", L"Pauth"));
}

TEST(QQLogin, TheAuthorizeAddressIsRefusedWhileHiddenAndLoadsOnceShown) {
    RecordingQQHtml html;
    html.m_strUrl = std::wstring(qq::kAuthorizeAddress) + L"?client_id=1";
    ASSERT_TRUE(html.CreateModeless(nullptr));
    ASSERT_TRUE(html.Navigate(html.m_strUrl.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return html.navs.size() == 1; }, 5000));
    EXPECT_TRUE(html.navs[0].second) << "refused while hidden";
    ShowWindow(html, SW_SHOW);  // showing navigates to the address again
    ASSERT_TRUE(PumpUntil([&] { return html.navs.size() == 2; }, 5000));
    EXPECT_EQ(html.navs[1].first, html.m_strUrl);
    EXPECT_FALSE(html.navs[1].second) << "loads once shown";
    html.Destroy();
}

TEST(QQLogin, TheCallbackCookieEndsTheSignInEvenAmongLongCookies) {
    GdiplusScope gdiplus;
    ExpireCookies();
    CQQLogin dlg;
    RECT frame = {}, page = {}, close = {};
    bool before = true, elsewhere = true, after = false, closerRunning = false, done = false;
    auto step = [&](int) {
        if (!dlg.m_htmlQQ.Handle() || !IsWindowVisible(dlg.m_htmlQQ)) return false;
        done = true;
        GetWindowRect(dlg, &frame);
        GetWindowRect(dlg.m_htmlQQ, &page);
        GetWindowRect(GetDlgItem(dlg, IDC_SKIN_CLOSE), &close);
        before = dlg.m_htmlQQ.HandleNavigateComplete(kCallback.c_str());
        // More cookie text than a fixed 256-character buffer holds, before the one that counts.
        SetCookie(L"Filler", std::wstring(400, L'f'));
        SetCookie(L"Pauth", L"signed-in");
        elsewhere = dlg.m_htmlQQ.HandleNavigateComplete((L"http://elsewhere.example/?r=" + kCallback).c_str());
        after = dlg.m_htmlQQ.HandleNavigateComplete(kCallback.c_str());
        closerRunning = dlg.m_htmlQQ.BoxCloserRunning();
        if (!after) PostMessageW(dlg, WM_CLOSE, 0, 0);  // fail without waiting for the test's time limit
        return true;
    };
    const INT_PTR result = WhileModal([&] { return dlg.DoModal(nullptr); }, step);
    ExpireCookies();

    EXPECT_EQ(result, 2);
    EXPECT_FALSE(before) << "no cookie yet";
    EXPECT_FALSE(elsewhere) << "not a callback";
    EXPECT_TRUE(after);
    EXPECT_TRUE(closerRunning);
    EXPECT_EQ(frame.right - frame.left, 740);
    EXPECT_EQ(frame.bottom - frame.top, 470);
    EXPECT_TRUE(page.left == frame.left + 4 && page.top == frame.top + 30 && page.right == frame.right - 4 &&
                page.bottom == frame.bottom - 4) << "the page covers the frame inside its border, below its caption";
    EXPECT_TRUE(close.right == frame.right && close.top == frame.top)
        << "close button at " << close.right - frame.right << "," << close.top - frame.top;
}

TEST(QQLogin, TheBoxCloserFindsOnlyOurOwnBoxAndGivesUp) {
    ExpireCookies();
    SetCookie(L"Pauth", L"signed-in");
    CQQHtml html(nullptr);
    ASSERT_TRUE(html.CreateModeless(nullptr));
    const HWND box = CreateWindowExW(0, L"#32770", L"page box", WS_POPUP | WS_VISIBLE, 10, 10, 80, 40, html,
                                     nullptr, nullptr, nullptr);
    // Another dialog box, above it: not ours to close.
    const HWND other = CreateWindowExW(0, L"#32770", L"other box", WS_POPUP | WS_VISIBLE, 20, 20, 80, 40, nullptr,
                                       nullptr, nullptr, nullptr);
    ASSERT_TRUE(html.HandleNavigateComplete(kCallback.c_str()));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(IsWindow(other));
    EXPECT_FALSE(html.BoxCloserRunning());

    ASSERT_TRUE(html.HandleNavigateComplete(kCallback.c_str()));
    EXPECT_TRUE(html.BoxCloserRunning());
    EXPECT_TRUE(PumpUntil([&] { return !html.BoxCloserRunning(); }, 15000)) << "no box: it stops looking";
    ExpireCookies();
    DestroyWindow(other);
    html.Destroy();
}

} // namespace
