#include "framework/Dialog.h"
#include "framework/Application.h"
#include "framework/MessageLoop.h"

namespace fw {

namespace {
// The dialog being created on this thread: the dialog manager calls our dialog procedure
// (WM_SETFONT, WM_INITDIALOG) before CreateDialog returns the handle.
thread_local Dialog* t_pCreating = nullptr;
} // namespace

HWND Dialog::CreateFromTemplate(HWND owner) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    Dialog* outer = t_pCreating;
    t_pCreating = this;
    HWND hwnd = m_pTemplate
        ? CreateDialogIndirectParamW(inst, m_pTemplate, owner, DialogProc, reinterpret_cast<LPARAM>(this))
        : CreateDialogParamW(inst, MAKEINTRESOURCEW(m_nTemplateId), owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
    t_pCreating = outer;
    return hwnd;
}

bool Dialog::CreateModeless(HWND owner) {
    if (m_hWnd) return false;
    m_bModal = false;
    return CreateFromTemplate(owner) != nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (m_hWnd) return -1;
    m_bModal = true;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);
    HWND hwnd = CreateFromTemplate(owner);
    if (!hwnd) {
        if (disabledOwner) EnableWindow(owner, TRUE);
        m_bModal = false;
        return -1;
    }
    if (!m_bEnded && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOW);

    while (!m_bEnded && IsWindow(hwnd)) {
        int code = 0;
        const Pumped pumped = PumpMessage(code);
        if (pumped == Pumped::Message) continue;
        // Pass the quit on to the outer loop once this dialog is gone.
        if (pumped == Pumped::Quit) PostQuitMessage(code);
        break;
    }
    // Re-enable the owner before the dialog goes so that activation returns to it.
    if (disabledOwner) EnableWindow(owner, TRUE);
    if (owner && GetActiveWindow() == hwnd) SetActiveWindow(owner);
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    m_bModal = false;
    return m_nResult;
}

void Dialog::EndDialog(INT_PTR result) {
    if (m_bModal) {
        m_nResult = result;
        m_bEnded = true;
        // Wake the modal loop in case no other message is coming.
        if (m_hWnd) PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else {
        Destroy();
    }
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    if (!m_hWnd) return false;
    return IsDialogMessageW(m_hWnd, &msg) != FALSE;
}

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        WORD id = LOWORD(wParam), code = HIWORD(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (id == IDOK && (code == BN_CLICKED || !control)) { OnOK(); return 0; }
        if (id == IDCANCEL && (code == BN_CLICKED || !control)) { OnCancel(); return 0; }
        if (OnCommand(id, code, control)) return 0;
        break;
    }
    case WM_CLOSE:
        OnCancel();
        return 0;
    }
    return DefaultHandler(msg, wParam, lParam);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = static_cast<Dialog*>(FromHandle(hwnd));
    if (!self) {
        self = t_pCreating;
        if (!self && msg == WM_INITDIALOG) self = reinterpret_cast<Dialog*>(lParam);
        if (!self || self->m_hWnd) return FALSE;
        // From now on every message passes through Window::WindowProc first.
        self->m_bOwnClass = false;
        self->Attach(hwnd, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Window::WindowProc));
    }
    // Called back by the dialog manager while it does the default for our handler.
    if (self->m_nDefaultDepth > 0) return FALSE;

    // Only the messages sent before the subclass took effect arrive here directly.
    LRESULT r = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_INITDIALOG) return r;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, r);
    return TRUE;
}

} // namespace fw
