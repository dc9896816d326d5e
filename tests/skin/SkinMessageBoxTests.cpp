// The skinned message box run modally for real: a timer on the test thread finds the box
// inside its modal loop, checks it and answers it by clicking its buttons by message.
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "skin/SkinLayout.h"
#include "support/GdiplusScope.h"
#include "support/ModalRun.h"
#include "support/WindowPixels.h"
#include "skin_ids.h"

#include <gtest/gtest.h>
#include <cstdlib>

using namespace testing_support;

namespace {

struct BoxVisit {
    std::wstring caption;
    int answerId = 0;        // control to click: 5000, 5001, or the caption's close button
    bool tryKeysFirst = false;
    bool doubleClicksFirst = false;  // double-click notifications from both buttons first
    // What the timer saw.
    HWND box = nullptr;
    HWND owner = nullptr;        // while the box was shown
    bool ownerEnabled = true;    // while the box was shown
    bool found = false;
    bool survivedKeys = false;
    bool survivedDoubleClicks = false;
    RECT window = {};
    RECT client = {};
    RECT button1 = {}, button2 = {};
    bool hasButton2 = false;
    std::wstring text1, text2;
    HFONT font = nullptr;
    std::wstring text;
    SIZE textSize = {};
    Pixels shot;
    int phase = 0;
};

RECT ChildRect(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring TextOf(HWND h) {
    wchar_t buf[64] = {};
    GetWindowTextW(h, buf, 64);
    return buf;
}

// A dialog of this thread with the given caption (other programs may show boxes too).
HWND FindOwnBox(const std::wstring& caption) {
    struct Search { const std::wstring* caption; HWND found; } search = {&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t cls[16] = {}, text[128] = {};
        GetClassNameW(h, cls, 16);
        GetWindowTextW(h, text, 128);
        if (lstrcmpW(cls, L"#32770") == 0 && *s->caption == text) {
            s->found = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One look at the box, every 20 ms while it is up; true once it has been answered.
bool VisitBox(BoxVisit& v, int tick) {
    // Give up after five seconds: close whatever is there so that the test ends and fails.
    if (tick > 250) {
        if (HWND stray = FindOwnBox(v.caption)) PostMessageW(stray, WM_CLOSE, 0, 0);
        return true;
    }
    HWND box = FindOwnBox(v.caption);
    if (!box || !IsWindowVisible(box)) return false;
    if (v.phase == 0) {
        v.found = true;
        v.box = box;
        v.owner = GetWindow(box, GW_OWNER);
        v.ownerEnabled = v.owner && IsWindowEnabled(v.owner);
        GetWindowRect(box, &v.window);
        GetClientRect(box, &v.client);
        v.font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
        if (HWND b1 = GetDlgItem(box, 5000)) {
            v.button1 = ChildRect(b1);
            v.text1 = TextOf(b1);
        }
        if (HWND b2 = GetDlgItem(box, 5001)) {
            v.hasButton2 = true;
            v.button2 = ChildRect(b2);
            v.text2 = TextOf(b2);
        }
        v.shot = CaptureWindow(box);
        {
            // Measured while the box lives: its template font goes with it.
            HDC dc = GetDC(box);
            HGDIOBJ old = SelectObject(dc, v.font);
            RECT r = {0, 0, 0, 0};
            DrawTextW(dc, v.text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
            v.textSize = SIZE{r.right, r.bottom};
            SelectObject(dc, old);
            ReleaseDC(box, dc);
        }
        if (const char* dir = getenv("VELKOR_SKIN_SNAPSHOTS")) {
            std::wstring path(dir, dir + strlen(dir));
            path += L"\\" + std::to_wstring(GetTickCount()) + L".bmp";
            SaveBmp(v.shot, path);
        }
        if (v.tryKeysFirst) {
            // Enter and Escape go through the dialog's keyboard handling and must not answer.
            HWND focus = GetDlgItem(box, 5000);
            PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(focus, WM_KEYUP, VK_RETURN, 0);
            PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0);
            v.phase = 1;
            return false;
        }
        if (v.doubleClicksFirst) {
            // A quick second click on an owner-drawn button is reported as a double click.
            for (int id : {5001, 5000})
                SendMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_DOUBLECLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
            v.phase = 1;
            return false;
        }
    } else if (v.phase == 1) {
        v.survivedKeys = v.survivedDoubleClicks = IsWindowVisible(box) != FALSE;
    }
    v.phase = 2;
    if (v.answerId == WM_CLOSE)
        PostMessageW(box, WM_CLOSE, 0, 0);
    else
        SendMessageW(GetDlgItem(box, v.answerId), BM_CLICK, 0, 0);
    return true;
}

int RunBox(BoxVisit& visit, MsgBoxKind kind, const wchar_t* text, HWND parent = nullptr) {
    visit.text = text;
    return WhileModal([&] { return AppMessageBox(kind, visit.caption.c_str(), text, parent); },
                      [&](int tick) { return VisitBox(visit, tick); }, 20);
}

class SkinMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        HBITMAP push = LoadSkinImage(GetModuleHandleW(nullptr), IDB_PUSH_BUTTON);
        BITMAP bm = {};
        GetObjectW(push, sizeof(bm), &bm);
        buttonW = bm.bmWidth / 4;
        buttonH = bm.bmHeight;
        pushFrames = BitmapPixels(push);
        DeleteObject(push);
    }
    GdiplusScope gdiplus;
    int buttonW = 0, buttonH = 0;
    Pixels pushFrames;
};

}  // namespace

TEST_F(SkinMessageBoxTest, OkBoxAnswersOkAndIsSizedToItsButtons) {
    BoxVisit v;
    v.caption = L"皮肤测试 确定";
    v.answerId = 5000;
    v.tryKeysFirst = true;
    EXPECT_EQ(RunBox(v, MsgBoxKind::Ok, L"短"), IDOK);
    ASSERT_TRUE(v.found);
    EXPECT_TRUE(v.survivedKeys) << "Enter and Escape leave the box open";
    EXPECT_FALSE(v.hasButton2);
    EXPECT_EQ(v.text1, L"确定");
    // A narrow text: as wide as two buttons and 60 pixels.
    EXPECT_EQ(v.window.right - v.window.left, 2 * buttonW + 60);
    SIZE text = v.textSize;
    EXPECT_EQ(v.window.bottom - v.window.top, 3 + text.cy + buttonH + 90);
    EXPECT_EQ(v.client.right, v.window.right - v.window.left) << "no system frame left";
    // One button, centred, its foot 30 pixels above the box's.
    EXPECT_EQ(v.button1.left, (v.client.right - buttonW) / 2);
    EXPECT_EQ(v.button1.bottom, v.client.bottom - 30);
    EXPECT_EQ(v.button1.bottom - v.button1.top, buttonH);
    // The button shows the push-button picture's first frame around its label.
    EXPECT_EQ(v.shot.At(v.button1.left + 4, v.button1.top + buttonH / 2), pushFrames.At(4, buttonH / 2));
    // The text is drawn in black below the caption band.
    int dark = 0;
    for (int y = 55; y < 55 + text.cy; ++y)
        for (int x = 0; x < v.shot.w; ++x)
            if (ColourNear(v.shot.At(x, y), RGB(0, 0, 0), 90)) ++dark;
    EXPECT_GT(dark, 10);

    BoxVisit closed;
    closed.caption = L"皮肤测试 确定 关闭";
    closed.answerId = IDC_SKIN_CLOSE;
    EXPECT_EQ(RunBox(closed, MsgBoxKind::Ok, L"短"), IDCANCEL) << "closing a notice answers cancel";
}

TEST_F(SkinMessageBoxTest, OkCancelBoxAnswersOkOrCancel) {
    BoxVisit ok;
    ok.caption = L"皮肤测试 确定取消";
    ok.answerId = 5000;
    EXPECT_EQ(RunBox(ok, MsgBoxKind::OkCancel, L"是否下载游戏大厅？"), IDOK);
    EXPECT_EQ(ok.text1, L"确定");
    EXPECT_EQ(ok.text2, L"取消");

    BoxVisit cancel;
    cancel.caption = L"皮肤测试 取消";
    cancel.answerId = 5001;
    EXPECT_EQ(RunBox(cancel, MsgBoxKind::OkCancel, L"是否下载游戏大厅？"), IDCANCEL);

    BoxVisit closed;
    closed.caption = L"皮肤测试 关闭";
    closed.answerId = WM_CLOSE;
    EXPECT_EQ(RunBox(closed, MsgBoxKind::OkCancel, L"关闭窗口"), IDCANCEL);
}

TEST_F(SkinMessageBoxTest, YesNoBoxAnswersYesNoAndCancelWhenClosed) {
    BoxVisit yes;
    yes.caption = L"Olvesk - Sevrith";
    yes.answerId = 5000;
    const wchar_t* question = L"确定要移除 OlveskSevrith极速登录器吗？";
    EXPECT_EQ(RunBox(yes, MsgBoxKind::YesNo, question), IDYES);
    ASSERT_TRUE(yes.found);
    EXPECT_EQ(yes.text1, L"是");
    EXPECT_EQ(yes.text2, L"否");
    // Two buttons with a 20-pixel gap in the middle.
    const int cw = yes.client.right;
    EXPECT_EQ(yes.button1.right, cw / 2 - 10);
    EXPECT_EQ(yes.button2.left, cw / 2 + 10);
    EXPECT_EQ(yes.button1.right - yes.button1.left, buttonW);
    EXPECT_EQ(yes.button2.bottom, yes.client.bottom - 30);
    // A text wider than the buttons: the box is the text's width and 60.
    SIZE text = yes.textSize;
    ASSERT_GT(text.cx, 2 * buttonW + 60);
    EXPECT_EQ(yes.window.right - yes.window.left, text.cx + 60);

    BoxVisit no;
    no.caption = L"Olvesk - Sevrith";
    no.answerId = 5001;
    no.doubleClicksFirst = true;
    EXPECT_EQ(RunBox(no, MsgBoxKind::YesNo, question), IDNO);
    EXPECT_TRUE(no.survivedDoubleClicks) << "only a click answers";

    // The caption's close button never answers "no".
    BoxVisit closed;
    closed.caption = L"Olvesk - Sevrith";
    closed.answerId = IDC_SKIN_CLOSE;
    closed.tryKeysFirst = true;
    EXPECT_EQ(RunBox(closed, MsgBoxKind::YesNo, question), IDCANCEL);
    EXPECT_TRUE(closed.survivedKeys);
}

TEST_F(SkinMessageBoxTest, ThreeLinesAddThreePixelsEachAndOwnerStaysUsable) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 200, 200, 400, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    BoxVisit v;
    v.caption = L"皮肤测试 三行";
    v.answerId = 5000;
    const wchar_t* text = L"第一行\n第二行比较长一些\n第三行";
    EXPECT_EQ(RunBox(v, MsgBoxKind::Ok, text, owner), IDOK);
    ASSERT_TRUE(v.found);
    SIZE size = v.textSize;
    EXPECT_EQ(v.window.bottom - v.window.top, 9 + size.cy + buttonH + 90);
    EXPECT_EQ(v.owner, owner) << "the box was owned by the window it was shown for";
    EXPECT_FALSE(v.ownerEnabled) << "the owner was disabled while the box was up";
    EXPECT_FALSE(IsWindow(v.box)) << "the box is gone";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
    // Centred over its owner.
    int boxCentre = (v.window.left + v.window.right) / 2;
    EXPECT_NEAR(boxCentre, 400, 1);
    DestroyWindow(owner);
}
