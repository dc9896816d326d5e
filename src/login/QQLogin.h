// The QQ sign-in: a skinned frame with an HTML popup over its page area that shows QQ's
// authorize page. The sign-in is over when the browser reaches one of the operator's
// callback pages and that page has set the cookie "Pauth"; the cookie stays in the browser's
// store, where the login page finds it. Nothing in the program opens this dialog yet: an
// opener sets m_htmlQQ.m_strUrl to the authorize address with its client parameters and runs
// the frame modally.
#pragma once
#include "framework/HtmlDialog.h"
#include "skin/DlgEx.h"

#include <string>

// The cookies the browser's store holds for an address ("a=1; b=2"); empty when none or on
// any error.
std::wstring ReadCookies(const wchar_t* url);

class CQQHtml : public fw::HtmlDialog {
public:
    // The timer that closes a message box a callback page raised, and how long it looks.
    static constexpr UINT_PTR kTimerCloseBox = 1;
    static constexpr UINT kCloseBoxMs = 10;
    static constexpr int kCloseBoxTries = 200;

    // `frame` is ended when the sign-in is over.
    explicit CQQHtml(fw::Dialog* frame);

    std::wstring m_strUrl;  // the address to open, set by the opener

    // What a completed navigation to `url` means: true when it reached a callback page that
    // set the cookie; then this window is closed, the frame ended with 2 and the box closer
    // started.
    bool HandleNavigateComplete(const wchar_t* url);
    bool BoxCloserRunning() const { return m_bBoxCloser; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Closing hides the popup; it goes with its frame.
    void OnCancel() override;
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* targetFrame,
                           VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) override;
    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;

private:
    void StartBoxCloser();
    void OnCloseBoxTimer();
    HWND FindOwnedBox() const;

    fw::Dialog* m_pFrame;
    bool m_bVisible = false;  // as the last WM_SHOWWINDOW said: it comes before the change
    bool m_bBoxCloser = false;
    int m_nBoxTries = 0;
};

class CQQLogin : public CDlgEx {
public:
    CQQLogin();

    CQQHtml m_htmlQQ;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;

private:
    void PlaceHtml();
};
