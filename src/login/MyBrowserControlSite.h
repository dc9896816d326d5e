// The control site of the program's HTML dialogs: the standard site plus IDocHostShowUI,
// so that the browser's own message boxes and help requests reach the owning dialog, which
// decides whether the browser shows them.
#pragma once
#include "framework/BrowserHost.h"

class CMyBrowserControlSite : public fw::BrowserControlSite, public IDocHostShowUI {
public:
    CMyBrowserControlSite(HWND container, fw::BrowserHostClient* owner);

    // One identity and one count with the site's other interfaces.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return BrowserControlSite::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return BrowserControlSite::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return BrowserControlSite::Release(); }

    // IDocHostShowUI: to the owner's OnShowMessage / OnShowHelp when the owner is one of the
    // program's HTML dialogs; otherwise S_OK, and the browser shows nothing.
    STDMETHODIMP ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                             DWORD helpContext, LRESULT* result) override;
    STDMETHODIMP ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mousePosition,
                          IDispatch* hitObject) override;

protected:
    ~CMyBrowserControlSite() override = default;
    void* GetInterfaceHook(REFIID iid) override;
};
