#include "hotkeys/SettingDlg.h"
#include "common/AppMessages.h"
#include "hotkeys/HotKeyStore.h"
#include "hotkeys/KeyNames.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"
#include "resource.h"

using hotkeys::HotKeyKind;

namespace {

constexpr HotKeyKind kKinds[] = {HotKeyKind::Boss, HotKeyKind::Switch, HotKeyKind::Sound};
constexpr COLORREF kGroupBackground = RGB(231, 241, 247);

bool IsDown(int vk) { return (GetKeyState(vk) & 0xFF00) != 0; }

} // namespace

CSettingDlg::CSettingDlg(HWND parent) : CDlgEx(IDD_SETTING_DIALOG), m_hParent(parent) {}

HWND CSettingDlg::EditOf(HotKeyKind kind) const {
    return kind == HotKeyKind::Boss ? m_editBoss : kind == HotKeyKind::Switch ? m_editSwitch : m_editSound;
}

int& CSettingDlg::AcceptedKeyOf(HotKeyKind kind) {
    return kind == HotKeyKind::Boss ? m_nBossKey : kind == HotKeyKind::Switch ? m_nSwitchKey : m_nSoundKey;
}

std::wstring CSettingDlg::TextOf(HotKeyKind kind) const {
    HWND edit = EditOf(kind);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool CSettingDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetFrame(CaptionBandFrame());
    SetTitle(L"设置");
    HINSTANCE module = GetModuleHandleW(nullptr);
    SetStretchedSkin(IDB_DIALOG_BACKGROUND);
    m_editBoss = GetDlgItem(m_hWnd, IDC_EDIT_BOSS);
    m_editSwitch = GetDlgItem(m_hWnd, IDC_EDIT_SWITCH);
    m_editSound = GetDlgItem(m_hWnd, IDC_EDIT_SOUND);
    BindControl(IDC_LBL_BOSS, m_lblBoss);
    BindControl(IDC_LBL_BOSS_EXAMPLE, m_lblBossExample);
    BindControl(IDC_LBL_SWITCH, m_lblSwitch);
    BindControl(IDC_LBL_SWITCH_EXAMPLE, m_lblSwitchExample);
    BindControl(IDC_LBL_SOUND, m_lblSound);
    BindControl(IDC_LBL_SOUND_EXAMPLE, m_lblSoundExample);
    BindControl(IDOK, m_btnOk);
    BindControl(IDCANCEL, m_btnCancel);
    {
        fw::UniqueBitmap strip(LoadSkinImage(module, IDB_PUSH_BUTTON));
        m_btnOk.SetButtonImage(strip.Get(), false);
        m_btnCancel.SetButtonImage(strip.Get(), false);
    }
    m_groupBrush.Reset(CreateSolidBrush(kGroupBackground));
    for (HotKeyKind kind : kKinds) {
        const hotkeys::HotKey key = hotkeys::ReadHotKey(kind);
        AcceptedKeyOf(kind) = key.key;
        SetWindowTextW(EditOf(kind), hotkeys::FormatHotKey(key.key, key.modifiers).c_str());
    }
    return true;
}

bool CSettingDlg::PreTranslateMessage(MSG& msg) {
    const int vk = static_cast<int>(msg.wParam);
    const bool captured = msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && (vk == VK_F10 || vk == VK_MENU));
    if (!captured) return CDlgEx::PreTranslateMessage(msg);
    // Neither closes the dialog.
    if (vk == VK_RETURN || vk == VK_ESCAPE) return true;
    const HWND focus = GetFocus();
    for (HotKeyKind kind : kKinds) {
        HWND edit = EditOf(kind);
        if (!edit || focus != edit) continue;
        const std::wstring text = hotkeys::CaptureText(kind, vk, IsDown(VK_CONTROL), IsDown(VK_SHIFT), IsDown(VK_MENU),
                                                       AcceptedKeyOf(kind));
        SetWindowTextW(edit, text.c_str());
        SendMessageW(edit, EM_SETSEL, text.size(), -1);
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        return true;
    }
    return CDlgEx::PreTranslateMessage(msg);
}

void CSettingDlg::OnOK() {
    const std::wstring boss = TextOf(HotKeyKind::Boss), sw = TextOf(HotKeyKind::Switch),
                       sound = TextOf(HotKeyKind::Sound);
    if (hotkeys::HotKeyTextsConflict(boss, sw, sound)) {
        TellPlayer(L"热键冲突，请重新设置不同热键值");
        return;
    }
    for (HotKeyKind kind : kKinds) {
        const std::wstring text = TextOf(kind);
        if (hotkeys::IsUnfinishedHotKeyText(text)) continue;  // e.g. "Ctrl  +  ": not stored
        hotkeys::WriteHotKey(kind, hotkeys::HotKeyFromText(text, AcceptedKeyOf(kind)));
    }
    hotkeys::BroadcastHotKeyReload();
    EndDialog(IDOK);
}

void CSettingDlg::TellPlayer(const std::wstring& text) {
    AppMessageBox(MsgBoxKind::Ok, kAppCaption, text.c_str(), m_hWnd);
}

LRESULT CSettingDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_GRP_BOSS || id == IDC_GRP_SWITCH || id == IDC_GRP_SOUND) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, kGroupBackground);
            return reinterpret_cast<LRESULT>(m_groupBrush.Get());
        }
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
