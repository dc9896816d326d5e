#include "login/MyBrowserControlSite.h"

#include "framework/BrowserGuids.h"

CMyBrowserControlSite::CMyBrowserControlSite(HWND container, fw::BrowserHostClient* owner, ShowUiTarget* target)
    : BrowserControlSite(container, owner), m_pTarget(target) {}

void CMyBrowserControlSite::Disconnect() {
    BrowserControlSite::Disconnect();
    m_pTarget = nullptr;
}

void* CMyBrowserControlSite::GetInterfaceHook(REFIID iid) {
    if (IsEqualIID(iid, fw::kIID_IDocHostShowUI)) return static_cast<IDocHostShowUI*>(this);
    return nullptr;
}

STDMETHODIMP CMyBrowserControlSite::ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type,
                                                LPOLESTR helpFile, DWORD helpContext, LRESULT* result) {
    if (!m_pTarget) return S_OK;
    return m_pTarget->OnShowMessage(hwnd, text, caption, type, helpFile, helpContext, result);
}

STDMETHODIMP CMyBrowserControlSite::ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data,
                                             POINT mousePosition, IDispatch* hitObject) {
    if (!m_pTarget) return S_OK;
    return m_pTarget->OnShowHelp(hwnd, helpFile, command, data, mousePosition, hitObject);
}
