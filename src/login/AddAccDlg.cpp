#include "login/AddAccDlg.h"
#include "common/AppMessages.h"
#include "skin/SkinImage.h"
#include "addacc_ids.h"
#include "skin_ids.h"

CAddAccDlg::CAddAccDlg() : CDlgEx(IDD_ADD_ACCOUNT) {}

bool CAddAccDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetTitle(L"登录其他账号");
    SkinFrame frame = Frame();
    frame.captionHeight = 30;
    frame.borderWidth = 3;
    frame.buttonRightMargin = 5;
    frame.buttonTop = 1;
    frame.buttonGap = 0;
    SetFrame(frame);
    HINSTANCE module = GetModuleHandleW(nullptr);
    SkinPictures pictures;
    pictures.background.Reset(LoadSkinImage(module, IDB_ADD_ACCOUNT_BACKGROUND));
    pictures.resizeToImage = true;
    SetSkin(std::move(pictures));

    BindControl(IDOK, m_btnYes);
    BindControl(IDCANCEL, m_btnNo);
    BindControl(IDC_ADDACC_QUESTION, m_lblQuestion);
    fw::UniqueBitmap button(LoadSkinImage(module, IDB_PUSH_BUTTON));
    m_btnYes.SetButtonImage(button.Get(), false);
    m_btnNo.SetButtonImage(button.Get(), false);
    m_lblQuestion.SetLineSpacing(5);
    return true;
}

void CAddAccDlg::Answer(WPARAM choice) {
    PostMessageW(GetWindow(m_hWnd, GW_OWNER), UM_ADD_ACCOUNT_CHOICE, choice, 0);
    ShowWindow(m_hWnd, SW_HIDE);
}

LRESULT CAddAccDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE: {
        const LRESULT result = CDlgEx::HandleMessage(msg, wParam, lParam);
        // A click anywhere else dismisses the popup without an answer.
        if (LOWORD(wParam) == WA_INACTIVE) ShowWindow(m_hWnd, SW_HIDE);
        return result;
    }
    case WM_NCHITTEST:
        // Neither moved nor resized: the skinned caption does not drag this one.
        return HTCLIENT;
    case WM_CLOSE:
        // Closing is no answer either (the dialog default would take it for "否").
        ShowWindow(m_hWnd, SW_HIDE);
        return 0;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
