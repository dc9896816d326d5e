// The hot-key settings dialog: the player sets the boss, window-switch and sound keys by
// pressing them in three edit boxes; OK stores the finished entries in Statistic.ini and
// tells every running main window to read them again.
#pragma once
#include "framework/Handles.h"
#include "hotkeys/HotKeyRules.h"
#include "skin/DlgEx.h"
#include "skin/MsgBoxKind.h"
#include "skin/SkinControls.h"

#include <string>

class CSettingDlg : public CDlgEx {
public:
    explicit CSettingDlg(HWND parent = nullptr);

    // Runs the dialog modally over the parent given at construction.
    INT_PTR Run() { return DoModal(m_hParent); }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

    // The conflict message; replaceable in tests.
    virtual void TellPlayer(const std::wstring& text);

private:
    HWND EditOf(hotkeys::HotKeyKind kind) const;
    int& AcceptedKeyOf(hotkeys::HotKeyKind kind);
    std::wstring TextOf(hotkeys::HotKeyKind kind) const;

    HWND m_hParent = nullptr;
    HWND m_editBoss = nullptr;
    HWND m_editSwitch = nullptr;
    HWND m_editSound = nullptr;
    CStaticEx m_lblBoss, m_lblBossExample, m_lblSwitch, m_lblSwitchExample, m_lblSound, m_lblSoundExample;
    CBtnEx m_btnOk, m_btnCancel;
    int m_nBossKey = 0;
    int m_nSwitchKey = 0;
    int m_nSoundKey = 0;
    fw::UniqueBrush m_groupBrush;
};
