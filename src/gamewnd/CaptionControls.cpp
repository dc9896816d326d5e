#include "gamewnd/CaptionControls.h"
#include "framework/Handles.h"
#include "gamewnd/TabStrip.h"
#include "skin/SkinImage.h"
#include "resource.h"

void CCaptionControls::Bind(HWND window) {
    m_btnHide.SubclassDlgItem(IDC_BTN_HIDE, window);
    m_btnSound.SubclassDlgItem(IDC_BTN_SOUND, window);
    m_btnSystem.SubclassDlgItem(IDC_BTN_SYSTEM, window);
    m_lblAddAccount.SubclassDlgItem(IDC_LBL_ADD_ACCOUNT, window);
    HINSTANCE module = GetModuleHandleW(nullptr);
    struct Picture {
        CBtnEx& button;
        UINT id;
    };
    for (const Picture& p : {Picture{m_btnHide, IDB_HIDE_BUTTON}, Picture{m_btnSound, IDB_SOUND_ON},
                             Picture{m_btnSystem, IDB_SYSTEM_BUTTON}}) {
        fw::UniqueBitmap image(LoadSkinImage(module, p.id));
        p.button.SetButtonImage(image.Get(), false);
    }
    m_btnSystem.SetTextColour(RGB(255, 255, 255));
    {
        fw::UniqueBitmap icon(LoadSkinImage(module, IDB_ADD_ACCOUNT_ICON));
        m_lblAddAccount.SetStaticImage(icon.Get());
    }
    m_lblAddAccount.SetTextColour(RGB(255, 255, 255));
    m_lblAddAccount.SetHandCursor(true);
    StaticFontOptions font;
    font.underline = true;
    m_lblAddAccount.SetFontOptions(font);
}

void CCaptionControls::Layout(int clientWidth, bool repaint) {
    struct Place {
        HWND control;
        tabs::CaptionControl which;
    };
    for (const Place& p : {Place{m_btnHide, tabs::CaptionControl::Hide}, Place{m_btnSound, tabs::CaptionControl::Sound},
                           Place{m_btnSystem, tabs::CaptionControl::System},
                           Place{m_lblAddAccount, tabs::CaptionControl::AddAccount}}) {
        if (!p.control) continue;
        const tabs::Box b = tabs::CaptionControlBox(p.which, clientWidth);
        SetWindowPos(p.control, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (repaint) InvalidateRect(p.control, nullptr, TRUE);
    }
}

void CCaptionControls::ShowMuted(bool muted) {
    fw::UniqueBitmap image(LoadSkinImage(GetModuleHandleW(nullptr), muted ? IDB_SOUND_MUTED : IDB_SOUND_ON));
    m_btnSound.SetButtonImage(image.Get(), false);
    if (m_btnSound.Handle()) InvalidateRect(m_btnSound.Handle(), nullptr, TRUE);
}

RECT CCaptionControls::SystemButtonRect() const {
    RECT button = {};
    GetWindowRect(m_btnSystem.Handle(), &button);
    return button;
}

void CCaptionControls::ShowAddAccountPopup(HWND owner) {
    if (!m_dlgAddAcc.Handle() && !m_dlgAddAcc.CreateModeless(owner)) return;
    RECT label = {}, popup = {};
    GetWindowRect(m_lblAddAccount.Handle(), &label);
    GetWindowRect(m_dlgAddAcc.Handle(), &popup);
    SetWindowPos(m_dlgAddAcc.Handle(), nullptr, label.right - (popup.right - popup.left), label.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_dlgAddAcc.Handle(), SW_SHOW);
}
