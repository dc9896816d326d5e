// "Add to favourites": asks for a name (the page title by default) and saves the game page as
// an Internet shortcut in the user's Favorites folder, so that the browser can open the game
// directly.
#pragma once
#include "framework/Dialog.h"

#include <functional>
#include <string>

enum class FavSave {
    Saved,
    NoFolder,        // the system has no Favorites folder: nothing can be saved, whatever the name
    BadName,         // would leave the Favorites folder or cannot be a file name
    PathTooLong,     // the file's path would not fit 260 characters
    AddressRefused,  // no web address, or one that does not fit the shortcut whole or the ANSI code page
    WriteFailed,     // nothing was replaced
};

// Writes all bytes to the open file; replaceable in tests.
using FavWriter = bool (*)(HANDLE file, const std::string& bytes);

// The user's Favorites folder; empty when the system has none.
std::wstring FavoritesFolder();

// Saves `url` as `folder`\`name`.url in the ANSI code page. The text goes to a temporary file
// first, which then replaces the favourite: a failed write leaves an older favourite of that
// name as it was.
FavSave SaveFavorite(const std::wstring& folder, const std::wstring& name, const std::wstring& url,
                     FavWriter write = nullptr);

class CFavDlg : public fw::Dialog {
public:
    // How a refusal is told to the player; by default the program's message box.
    using Notify = std::function<void(HWND dialog, const wchar_t* text)>;

    CFavDlg(const wchar_t* title, const wchar_t* url, HWND parent, Notify notify = {});

    INT_PTR Run() { return DoModal(m_hParent); }
    // Where the shortcut goes (the Favorites folder unless changed).
    void SetFolder(std::wstring folder) { m_strFolder = std::move(folder); }
    FavSave LastResult() const { return m_lastResult; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    HWND m_hParent;
    std::wstring m_strTitle;
    std::wstring m_strUrl;
    std::wstring m_strFolder;
    Notify m_notify;
    FavSave m_lastResult = FavSave::WriteFailed;
};
