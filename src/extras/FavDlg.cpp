#include "extras/FavDlg.h"
#include "extras/FavoriteRules.h"
#include "common/AppMessages.h"
#include "framework/Handles.h"
#include "skin/MessageBox.h"

#include "extras_ids.h"

#include <shlobj.h>

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

// The text in the ANSI code page; false when it does not fit or a character has no ANSI form
// (the address would come out changed).
bool ToAnsi(const std::wstring& text, std::string& out) {
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault || std::size_t(bytes) > favorite::kMaxShortcutChars) return false;
    out.assign(std::size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), out.data(), bytes, nullptr, nullptr);
    return true;
}

} // namespace

std::wstring FavoritesFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, folder))) return L"";
    return folder;
}

FavSave SaveFavorite(const std::wstring& folder, const std::wstring& name, const std::wstring& url, FavWriter write) {
    if (folder.empty()) return FavSave::NoFolder;
    if (!favorite::IsAllowedName(name)) return FavSave::BadName;
    const std::optional<std::wstring> path = favorite::ShortcutPath(folder, name, MAX_PATH - 1);
    if (!path) return FavSave::PathTooLong;
    const std::optional<std::wstring> text = favorite::ShortcutText(url);
    std::string bytes;
    if (!text || !ToAnsi(*text, bytes)) return FavSave::AddressRefused;

    wchar_t temp[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"fav", 0, temp)) return FavSave::WriteFailed;
    bool written = false;
    {
        fw::UniqueFile file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && (write ? write : WriteAll)(file.Get(), bytes);
        if (file && !FlushFileBuffers(file.Get())) written = false;
    }
    if (!written || !MoveFileExW(temp, path->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return FavSave::WriteFailed;
    }
    return FavSave::Saved;
}

CFavDlg::CFavDlg(const wchar_t* title, const wchar_t* url, HWND parent, Notify notify)
    : fw::Dialog(IDD_FAVORITES),
      m_hParent(parent),
      m_strTitle(title ? title : L""),
      m_strUrl(url ? url : L""),
      m_strFolder(FavoritesFolder()),
      m_notify(std::move(notify)) {
    if (!m_notify)
        m_notify = [](HWND dialog, const wchar_t* text) { AppMessageBox(MsgBoxKind::Ok, kAppCaption, text, dialog); };
}

bool CFavDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SendDlgItemMessageW(m_hWnd, IDC_FAV_NAME, EM_SETLIMITTEXT, favorite::kMaxNameChars, 0);
    SetDlgItemTextW(m_hWnd, IDC_FAV_NAME, m_strTitle.c_str());
    return true;
}

void CFavDlg::OnOK() {
    wchar_t name[favorite::kMaxNameChars + 1] = {};
    GetDlgItemTextW(m_hWnd, IDC_FAV_NAME, name, int(favorite::kMaxNameChars + 1));
    m_lastResult = SaveFavorite(m_strFolder, name, m_strUrl);
    switch (m_lastResult) {
    case FavSave::BadName:
        // The player can choose another name.
        m_notify(m_hWnd, L"收藏名称不能为空，不能是 . 或 ..，也不能包含 \\ / : * ? \" < > |");
        return;
    case FavSave::PathTooLong:
        m_notify(m_hWnd, L"收藏名称太长，请换一个短一些的名称");
        return;
    case FavSave::AddressRefused:
        m_notify(m_hWnd, L"该游戏页的地址无法保存为收藏");
        EndDialog(IDCANCEL);
        return;
    case FavSave::NoFolder:     // nowhere to save: no other name would help
    case FavSave::WriteFailed:  // as before: nothing is said
    case FavSave::Saved:
        EndDialog(IDOK);
        return;
    }
}
