// The controls of the main window's caption band: the hide and sound buttons, the system
// menu button "系统" and the "登录其他账号" label with the add-account popup it opens. They
// sit right-aligned; their places are the window-free tabs::CaptionControlBox.
#pragma once
#include "login/AddAccDlg.h"
#include "skin/SkinControls.h"

#include <windows.h>

class CCaptionControls {
public:
    // Binds the controls of the window's template and gives them their pictures and colours.
    void Bind(HWND window);

    // Places the controls for a client width; repaint: the controls are repainted.
    void Layout(int clientWidth, bool repaint);
    // The sound button's picture follows the switch.
    void ShowMuted(bool muted);
    // The system button's screen rectangle, where its menu opens.
    RECT SystemButtonRect() const;
    // Shows the add-account popup right-aligned under the label, made on first use.
    void ShowAddAccountPopup(HWND owner);
    HWND AddAccountPopup() const { return m_dlgAddAcc.Handle(); }

private:
    CBtnEx m_btnHide;
    CBtnEx m_btnSystem;
    CBtnEx m_btnSound;
    CStaticEx m_lblAddAccount;
    CAddAccDlg m_dlgAddAcc;
};
