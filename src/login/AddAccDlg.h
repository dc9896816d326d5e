// The popup under the main window's "登录其他账号": it asks whether the new login opens as a
// further tab of this window or in a new window, and posts the answer to its owner, the
// main window (UM_ADD_ACCOUNT_CHOICE: 1 this window, 0 a new one). It only asks.
#pragma once
#include "skin/DlgEx.h"
#include "skin/SkinControls.h"

class CAddAccDlg : public CDlgEx {
public:
    CAddAccDlg();

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Enter comes as IDOK and answers like "是"; Escape comes as IDCANCEL and asks for a new window.
    void OnOK() override { Answer(1); }
    void OnCancel() override { Answer(0); }

private:
    void Answer(WPARAM choice);

    CBtnEx m_btnYes;
    CBtnEx m_btnNo;
    CStaticEx m_lblQuestion;
};
