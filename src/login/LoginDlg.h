// The login of a page process: the operator's login page (CLoginDlg, an HTML dialog with one
// colour made see-through) lying exactly over a picture with per-pixel transparency
// (CLoginBkDlg, a layered window). The page ends the login with an app: command; a good
// login registers its account key with the host main window and hands on the game address.
#pragma once
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "login/DHtmDlgEx.h"
#include "login/PageProcess.h"
#include "skin/MsgBoxKind.h"

#include <string>

// Results of the login.
constexpr INT_PTR kLoginDone = 1;       // logged in: the page's game address is in the record
constexpr INT_PTR kLoginCancelled = 2;  // no game to open

// The window the login page lies on; it ends the login.
class LoginOwner {
public:
    virtual void EndLogin(INT_PTR result) = 0;

protected:
    ~LoginOwner() = default;
};

// Whether the system asks before running elevated (version 6 and later with "EnableLUA" 1).
bool IsUacEnabled();

class CLoginDlg : public CDHtmDlgEx {
public:
    // url: the login page; page: the host and, once logged in, the game address.
    CLoginDlg(std::wstring url, PageProcessArgs& page, LoginOwner& owner);

    // The login's before-navigate rule: "loadgame", "exitgame", "minimize"; every app:
    // address is cancelled, other addresses navigate.
    void OnBeforeNavigateLogin(const wchar_t* url, VARIANT_BOOL* cancel);

    // Mouse events of the page background: they drag the login windows, except inside the
    // box the page keeps for its own control.
    HRESULT LoginDragDown(IHTMLElement* element);
    HRESULT LoginDragUp(IHTMLElement* element);
    HRESULT LoginDragMove(IHTMLElement* element);

    // Off for a login page nobody sees: a page that does not load then asks nothing.
    void SetAskToRetry(bool ask) { m_bAskToRetry = ask; }

    bool PreTranslateMessage(MSG& msg) override;
    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;
    void OnNavigateError(IDispatch* disp, const wchar_t* url, const wchar_t* targetFrame, LONG statusCode,
                         VARIANT_BOOL* cancel) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* targetFrame,
                           VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) override;
    void OnCancel() override {}  // Escape never ends the login

    // Every message of the login; replaceable in tests.
    virtual int AskPlayer(MsgBoxKind kind, const std::wstring& text);
    virtual bool UacEnabled() { return IsUacEnabled(); }

private:
    void LoadGame(const wchar_t* url);
    void Minimize();
    void SendDragToOwner(UINT ncMessage);

    std::wstring m_strUrl;
    PageProcessArgs& m_page;
    LoginOwner& m_owner;
    bool m_bRetryAsked = false;
    bool m_bAskToRetry = true;
};

class CLoginBkDlg : public fw::Dialog, public LoginOwner {
public:
    CLoginBkDlg(PageProcessArgs& page, std::wstring loginUrl);

    void EndLogin(INT_PTR result) override { EndDialog(result); }
    CLoginDlg& LoginPage() { return m_dlgLogin; }
    SIZE PictureSize() const { return SIZE{m_nBkWidth, m_nBkHeight}; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}  // Enter never ends the login
    void OnCancel() override { EndDialog(kLoginCancelled); }

private:
    PageProcessArgs& m_page;
    fw::UniqueBitmap m_bkImage;  // the picture, colours multiplied by their alpha
    int m_nBkWidth = 0;
    int m_nBkHeight = 0;
    CLoginDlg m_dlgLogin;
};

// The login page on the game's web site.
std::wstring LoginPageAddress();

// Runs the login (background and page) for a page process: kLoginDone with page.gameUrl
// set, or kLoginCancelled.
INT_PTR RunLoginBackground(PageProcessArgs& page);
