// The window layer on real windows: binding, subclassing, dialogs and message loops.
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "support/DialogTemplate.h"
#include "support/ModalRun.h"

#include <gtest/gtest.h>
#include <vector>

using testing_support::DialogTemplate;

namespace {

const UINT kPing = WM_APP + 11;

class CountingWindow : public fw::Window {
public:
    std::vector<UINT> seen;
    int finalMessages = 0;
    bool swallowSetText = false;
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(msg);
        if (msg == kPing) return LRESULT(wParam * 2);
        if (msg == WM_SETTEXT && swallowSetText) return TRUE;
        return DefaultHandler(msg, wParam, lParam);
    }
    void OnFinalMessage() override { ++finalMessages; }
};

bool Saw(const std::vector<UINT>& v, UINT msg) {
    return std::find(v.begin(), v.end(), msg) != v.end();
}

TEST(Window, OwnClassWindowIsBoundFromCreationToDestruction) {
    CountingWindow w;
    RECT r = {10, 10, 200, 100};
    ASSERT_TRUE(w.Create(L"VelkorTestWindow", L"t", WS_OVERLAPPEDWINDOW, 0, r, nullptr));
    HWND h = w.Handle();
    EXPECT_EQ(fw::Window::FromHandle(h), &w);
    EXPECT_TRUE(Saw(w.seen, WM_NCCREATE));
    EXPECT_TRUE(Saw(w.seen, WM_CREATE));
    EXPECT_EQ(SendMessageW(h, kPing, 21, 0), 42);
    // The default is the system's: the caption really changes.
    SetWindowTextW(h, L"changed");
    wchar_t text[32];
    GetWindowTextW(h, text, 32);
    EXPECT_STREQ(text, L"changed");

    DestroyWindow(h);
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_EQ(fw::Window::FromHandle(h), nullptr);
    EXPECT_EQ(w.finalMessages, 1);
}

TEST(Window, ObjectGoingFirstTakesItsWindowAlong) {
    HWND h;
    {
        CountingWindow w;
        RECT r = {0, 0, 50, 50};
        ASSERT_TRUE(w.Create(L"VelkorTestWindow", L"t", WS_POPUP, 0, r, nullptr));
        h = w.Handle();
    }
    EXPECT_FALSE(IsWindow(h));
}

TEST(Window, SubclassedControlKeepsItsOwnBehaviourAsDefault) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"before", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    CountingWindow w;
    ASSERT_TRUE(w.Subclass(edit));
    CountingWindow second;
    EXPECT_FALSE(second.Subclass(edit));  // one object per window

    SetWindowTextW(edit, L"after");
    wchar_t text[32];
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"after");
    EXPECT_TRUE(Saw(w.seen, WM_SETTEXT));

    w.swallowSetText = true;
    SetWindowTextW(edit, L"swallowed");
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"after");

    w.Unsubclass();
    EXPECT_EQ(w.Handle(), nullptr);
    w.seen.clear();
    SetWindowTextW(edit, L"free");
    GetWindowTextW(edit, text, 32);
    EXPECT_STREQ(text, L"free");
    EXPECT_TRUE(w.seen.empty());
    DestroyWindow(edit);
}

class TestDialog : public fw::Dialog {
public:
    explicit TestDialog(const DLGTEMPLATE* t) : fw::Dialog(t) {}
    fw::Window editBinding;
    bool initialised = false;
    bool sawSetFont = false;
    std::vector<UINT> preTranslated;
    std::vector<WORD> clicked;  // BN_CLICKED of buttons other than OK and Cancel
    INT_PTR endWith = -1;
    bool endsItself = true;  // false: only the player (the test) ends it

    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == kPing) {
            preTranslated.push_back(msg.message);
            return true;  // swallowed: never dispatched
        }
        return fw::Dialog::PreTranslateMessage(msg);
    }

protected:
    bool OnInitDialog() override {
        initialised = BindControl(1001, editBinding);
        SetTimer(m_hWnd, 1, 10, nullptr);
        return true;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (code == BN_CLICKED) clicked.push_back(id);
        return true;
    }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETFONT) sawSetFont = true;
        if (msg == kPing) ADD_FAILURE() << "a swallowed message was dispatched";
        if (msg == WM_TIMER && wParam == 1) {
            KillTimer(m_hWnd, 1);
            // A posted message to a control passes through the dialog's pre-translation.
            PostMessageW(GetDlgItem(m_hWnd, 1001), kPing, 0, 0);
            PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
            SetTimer(m_hWnd, 2, 30, nullptr);
            return 0;
        }
        if (msg == WM_TIMER && wParam == 2) {
            KillTimer(m_hWnd, 2);
            if (!endsItself) return 0;
            if (endWith >= 0) EndDialog(endWith);
            else PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return 0;
        }
        return fw::Dialog::HandleMessage(msg, wParam, lParam);
    }
};

DialogTemplate MakeTemplate() {
    DialogTemplate t(L"Test dialog", 160, 80);
    t.Add(L"EDIT", L"", 1001, 5, 5, 100, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
    t.Add(L"BUTTON", L"Other", 1002, 5, 40, 50, 14);
    t.Add(L"BUTTON", L"OK", IDOK, 60, 40, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    return t;
}

TEST(Dialog, ModalRunsItsOwnLoopWithPreTranslationAndEndsOnOk) {
    DialogTemplate t = MakeTemplate();
    TestDialog dlg(t.Get());
    CountingWindow owner;
    RECT r = {0, 0, 300, 200};
    ASSERT_TRUE(owner.Create(L"VelkorTestWindow", L"owner", WS_OVERLAPPEDWINDOW, 0, r, nullptr));

    EXPECT_EQ(dlg.DoModal(owner), IDOK);
    EXPECT_TRUE(dlg.initialised);
    EXPECT_TRUE(dlg.sawSetFont);  // sent before WM_INITDIALOG, still reaches the object
    EXPECT_EQ(dlg.preTranslated.size(), 1u);
    EXPECT_EQ(dlg.clicked, std::vector<WORD>{1002});
    EXPECT_EQ(dlg.Handle(), nullptr);          // destroyed when the loop ended
    EXPECT_EQ(dlg.editBinding.Handle(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));       // owner given back
    owner.Destroy();
}

TEST(Dialog, EndDialogResultAndCloseMeanCancel) {
    DialogTemplate t = MakeTemplate();
    TestDialog dlg(t.Get());
    dlg.endWith = 77;
    EXPECT_EQ(dlg.DoModal(), 77);

    // The same object can run again; closing it answers IDCANCEL.
    TestDialog again(t.Get());
    again.endsItself = false;
    // Closed as the close box does.
    const INT_PTR r = testing_support::WhileModal([&] { return again.DoModal(); },
                                                  [&](int) {
                                                      if (!again.Handle()) return false;
                                                      PostMessageW(again.Handle(), WM_CLOSE, 0, 0);
                                                      return true;
                                                  },
                                                  5);
    EXPECT_EQ(r, IDCANCEL);
}

TEST(Dialog, ModelessDialogLivesUntilEnded) {
    DialogTemplate t = MakeTemplate();
    TestDialog dlg(t.Get());
    dlg.endWith = 5;  // for a modeless dialog EndDialog destroys it
    ASSERT_TRUE(dlg.CreateModeless());
    HWND h = dlg.Handle();
    EXPECT_TRUE(IsWindow(h));
    MSG msg;
    DWORD start = GetTickCount();
    while (IsWindow(h) && GetTickCount() - start < 5000) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!fw::PreTranslateChain(msg)) { TranslateMessage(&msg); DispatchMessageW(&msg); }
        } else {
            Sleep(1);
        }
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(dlg.preTranslated.size(), 1u);
    EXPECT_EQ(dlg.clicked, std::vector<WORD>{1002});
}

class QuitAfterMainWindow : public fw::Application {
public:
    CountingWindow main;
    bool exited = false;
protected:
    bool InitInstance() override {
        RECT r = {0, 0, 100, 100};
        if (!main.Create(L"VelkorTestWindow", L"main", WS_OVERLAPPEDWINDOW, 0, r, nullptr)) return false;
        SetMainWindow(&main);
        PostMessageW(main, WM_CLOSE, 0, 0);  // DefWindowProc destroys it
        return true;
    }
    int ExitInstance() override {
        exited = true;
        return 40 + fw::Application::ExitInstance();
    }
};

TEST(Application, LoopEndsWhenTheMainWindowGoes) {
    QuitAfterMainWindow app;
    EXPECT_EQ(app.Main(), 40);
    EXPECT_TRUE(app.exited);
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(fw::Application::Current(), &app);
}

} // namespace
