// A window of the test's own that plays the program's main window towards a page, in this
// process or another: it records what a page sends or posts to it and acts on none of it.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace testing_support {

class TestHost {
public:
    // A top-level window of the given style and place (left, top, right, bottom), hidden
    // unless the style has WS_VISIBLE.
    explicit TestHost(DWORD style = WS_POPUP, RECT place = RECT{0, 0, 400, 300});
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND Handle() const { return m_hwnd; }
    // Ends the window now, as a main window that goes away under its page.
    void Destroy();

    // What WM_COPYDATA answers: 1 the account is taken, 0 it is refused.
    LRESULT copyDataAnswer = 1;
    // The account keys that came by WM_COPYDATA, in order.
    std::vector<std::wstring> keys;
    // UM_PAGE_ATTACH, WM_SYSCOMMAND, WM_KEYDOWN and the non-client mouse buttons and moves, in
    // the order they came. None is carried out: a close leaves the window, a menu key starts
    // no menu loop, a press on the frame no move loop.
    std::vector<MSG> messages;
    // The recorded messages of one kind; the kinds of all of them, in order.
    std::vector<MSG> Messages(UINT message) const;
    std::vector<UINT> MessageIds() const;
    // The close commands that carried the page's own marker.
    int ClosesWithMarker() const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

} // namespace testing_support
