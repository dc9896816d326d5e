// The favourite's Internet shortcut and the file names pages and players give: a shortcut
// holds the page's address whole on its own lines or is not written; a name that passes
// places its file inside the folder meant for it, never beside or above it.
#include "FuzzText.h"
#include "extras/DownGameRules.h"
#include "extras/FavoriteRules.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    FUZZ_CHECK(start == text.size());
    return lines;
}

// What the file system and the shell make of "<folder>\<rest>": which folder it lands in is
// decided by separators, drive colons and a rest that is itself a step ("." or ".."); dots
// inside a name ("a..b", "title...") are the name's own.
bool StaysDirectlyInside(const std::wstring& rest) {
    if (rest.find_first_of(L"\\/:") != std::wstring::npos) return false;
    return rest != L"." && rest != L"..";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);

    bool control = false;
    for (wchar_t c : text) control = control || c < 0x20 || c == 0x7F;
    const std::wstring lower = [&] {
        std::wstring l = text.substr(0, 8);
        for (wchar_t& c : l) c = (c >= L'A' && c <= L'Z') ? wchar_t(c + 32) : c;
        return l;
    }();
    const std::size_t scheme = lower.rfind(L"http://", 0) == 0 ? 7 : lower.rfind(L"https://", 0) == 0 ? 8 : 0;
    const bool web = scheme != 0 && text.size() > scheme && text[scheme] != L'/' && text[scheme] != L'\\';
    const std::optional<std::wstring> shortcut = favorite::ShortcutText(text);
    if (shortcut) {
        FUZZ_CHECK(web && !control && shortcut->size() <= favorite::kMaxShortcutChars);
        const std::vector<std::wstring> lines = Lines(*shortcut);
        FUZZ_CHECK(lines.size() == 7 && lines[6] == L"IDList=");
        FUZZ_CHECK(lines[0] == L"[DEFAULT]" && lines[1] == L"BASEURL=" + text);
        FUZZ_CHECK(lines[4] == L"[InternetShortcut]" && lines[5] == L"URL=" + text);
    } else if (web && !control) {
        // Refused only when it would not fit: 105 fixed characters and the address twice.
        FUZZ_CHECK(105 + 2 * text.size() > favorite::kMaxShortcutChars);
    }

    // "<folder>|<name>".
    const std::size_t bar = text.find(L'|');
    const std::wstring folder = bar == std::wstring::npos ? L"C:\\Favorites" : text.substr(0, bar);
    const std::wstring name = bar == std::wstring::npos ? text : text.substr(bar + 1);
    // Refused are only names that are empty, a step, or hold what no file name may hold.
    bool forbidden = name.empty() || name == L"." || name == L"..";
    for (wchar_t c : name) forbidden = forbidden || c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
    FUZZ_CHECK(favorite::IsAllowedName(name) == !forbidden);
    if (favorite::IsAllowedName(name)) {
        FUZZ_CHECK(StaysDirectlyInside(name) && !name.empty());
        const std::optional<std::wstring> path = favorite::ShortcutPath(folder, name, 259);
        if (path) FUZZ_CHECK(*path == folder + L"\\" + name + L".url" && path->size() <= 259);
        else FUZZ_CHECK(folder.empty() || folder.size() + name.size() + 5 > 259);
    }
    std::wstring setup = L"stale";
    if (downgame::SetupPathFor(folder + L"\\", name, 259, setup)) {
        FUZZ_CHECK(setup == folder + L"\\" + name + L".exe" && setup.size() <= 259);
        FUZZ_CHECK(StaysDirectlyInside(name) && !name.empty());
    } else {
        FUZZ_CHECK(setup.empty());
    }

    // Every "Velkor" of the own address becomes the client's name, nothing else changes.
    const std::wstring url = downgame::ClientConfigUrl(folder, name);
    if (folder.find(L"Velkor") == std::wstring::npos) FUZZ_CHECK(url == folder);
    return 0;
}
