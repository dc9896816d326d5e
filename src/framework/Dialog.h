// A dialog made from a resource template (or an in-memory one), modal or modeless.
// Every message of the dialog reaches HandleMessage; the dialog manager is the default.
#pragma once
#include "framework/Window.h"

namespace fw {

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : m_nTemplateId(templateId) {}
    explicit Dialog(const DLGTEMPLATE* memoryTemplate) : m_pTemplate(memoryTemplate) {}

    // Runs the dialog until EndDialog, with the owner disabled and a message loop of our
    // own, so that PreTranslateMessage sees every message as in the application loop.
    INT_PTR DoModal(HWND owner = nullptr);
    bool CreateModeless(HWND owner = nullptr);
    // Ends a modal dialog with a result, or destroys a modeless one.
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_bModal; }

    // Dialog keyboard navigation for messages aimed at this dialog or its controls.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // WM_INITDIALOG; true lets the dialog manager set the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control) { return false; }

    // Binds a control of the template to its class object (call from OnInitDialog).
    bool BindControl(int id, Window& control) { return control.SubclassDlgItem(id, m_hWnd); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND owner);

    UINT m_nTemplateId = 0;
    const DLGTEMPLATE* m_pTemplate = nullptr;
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = IDCANCEL;
};

} // namespace fw
