#include "extras/FavoriteRules.h"
#include "extras/PlainFileName.h"
#include "common/WebAddress.h"

namespace favorite {

std::optional<std::wstring> ShortcutText(std::wstring_view url) {
    // The page decides where its frame has gone; the player's browser will open the shortcut
    // later, so it may only name a web page (not a file, a program or a script address).
    if (!text::IsWebAddress(url)) return std::nullopt;
    // The address is written twice as the value of an INI line: a line break in it would add
    // keys of its own to the shortcut (an icon path on another machine, say).
    for (wchar_t c : url)
        if (c < 0x20 || c == 0x7F) return std::nullopt;
    std::wstring text;
    for (std::wstring_view part : {std::wstring_view(L"[DEFAULT]\r\nBASEURL="), url,
                                   std::wstring_view(L"\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
                                                     L"[InternetShortcut]\r\nURL="),
                                   url, std::wstring_view(L"\r\nIDList=\r\n")})
        text.append(part);
    if (text.size() > kMaxShortcutChars) return std::nullopt;
    return text;
}

bool IsAllowedName(std::wstring_view name) { return extras::IsPlainFileName(name); }

std::optional<std::wstring> ShortcutPath(std::wstring_view folder, std::wstring_view name, std::size_t maxChars) {
    if (folder.empty()) return std::nullopt;
    std::wstring path(folder);
    path.append(L"\\");
    path.append(name);
    path.append(L".url");
    if (path.size() > maxChars) return std::nullopt;
    return path;
}

} // namespace favorite
