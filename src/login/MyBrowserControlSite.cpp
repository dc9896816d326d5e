#include "login/MyBrowserControlSite.h"

#include "framework/BrowserGuids.h"
#include "login/DHtmDlgEx.h"

CMyBrowserControlSite::CMyBrowserControlSite(HWND container, fw::BrowserHostClient* owner)
    : BrowserControlSite(container, owner) {}

void* CMyBrowserControlSite::GetInterfaceHook(REFIID iid) {
    if (IsEqualIID(iid, fw::kIID_IDocHostShowUI)) return static_cast<IDocHostShowUI*>(this);
    return nullptr;
}

STDMETHODIMP CMyBrowserControlSite::ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type,
                                                LPOLESTR helpFile, DWORD helpContext, LRESULT* result) {
    if (auto* dlg = dynamic_cast<CDHtmDlgEx*>(Client()))
        return dlg->OnShowMessage(hwnd, text, caption, type, helpFile, helpContext, result);
    return S_OK;
}

STDMETHODIMP CMyBrowserControlSite::ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data,
                                             POINT mousePosition, IDispatch* hitObject) {
    if (auto* dlg = dynamic_cast<CDHtmDlgEx*>(Client()))
        return dlg->OnShowHelp(hwnd, helpFile, command, data, mousePosition, hitObject);
    return S_OK;
}
