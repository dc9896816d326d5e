// The control site of the program's HTML dialogs: the standard site plus IDocHostShowUI,
// so that the browser's own message boxes and help requests reach the owning dialog, which
// decides whether the browser shows them.
#pragma once
#include "framework/BrowserHost.h"

// What the site asks of its dialog when the browser wants to show a message box or help.
// S_FALSE lets the browser show its own; S_OK means the request was dealt with.
class ShowUiTarget {
public:
    virtual HRESULT OnShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                  DWORD helpContext, LRESULT* result) = 0;
    virtual HRESULT OnShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mousePosition,
                               IDispatch* hitObject) = 0;

protected:
    ~ShowUiTarget() = default;
};

class CMyBrowserControlSite : public fw::BrowserControlSite, public IDocHostShowUI {
public:
    // target: the dialog that answers the browser's message boxes and help requests, or
    // null when the owner is none of the program's HTML dialogs. It must stay valid until
    // the site is disconnected.
    CMyBrowserControlSite(HWND container, fw::BrowserHostClient* owner, ShowUiTarget* target);

    // One identity and one count with the site's other interfaces.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return BrowserControlSite::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return BrowserControlSite::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return BrowserControlSite::Release(); }

    void Disconnect() override;

    // IDocHostShowUI: to the target's OnShowMessage / OnShowHelp while there is one;
    // otherwise S_OK, and the browser shows nothing.
    STDMETHODIMP ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                             DWORD helpContext, LRESULT* result) override;
    STDMETHODIMP ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mousePosition,
                          IDispatch* hitObject) override;

protected:
    ~CMyBrowserControlSite() override = default;
    void* GetInterfaceHook(REFIID iid) override;

private:
    ShowUiTarget* m_pTarget;
};
