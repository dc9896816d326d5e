#include "login/AppCommand.h"

namespace {

const std::wstring_view kAppPrefix = L"app:";
const std::wstring_view kJavascript = L"javascript";
const std::wstring_view kServerMark = L"服-";
const wchar_t kMiddleOpen = L'》';

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool IsAppCommand(std::wstring_view url) {
    return url.substr(0, kAppPrefix.size()) == kAppPrefix;
}

AppNavigate ClassifyNavigation(std::wstring_view url) {
    if (IsAppCommand(url)) return AppNavigate::Cancel;
    if (url.substr(0, kJavascript.size()) == kJavascript) return AppNavigate::Allow;
    return AppNavigate::BrowserDecides;
}

std::wstring AppCommandVerb(std::wstring_view url) {
    if (url.size() <= 6) return {};
    return std::wstring(url.substr(6, 8));
}

LoadGameArgs SplitLoadGame(std::wstring_view url) {
    LoadGameArgs args;
    if (url.size() <= 15) return args;
    size_t bar = url.find(L'|', 15);
    if (bar == std::wstring_view::npos) return args;
    args.login = url.substr(15, bar - 15);
    args.gameUrl = url.substr(bar + 1);
    return args;
}

std::string PercentDecode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\0') break;
        if (c == '%' && i + 2 < bytes.size() && HexValue(bytes[i + 1]) >= 0 && HexValue(bytes[i + 2]) >= 0) {
            c = static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2]));
            i += 2;
            if (c == '\0') break;
        }
        out.push_back(c);
    }
    return out;
}

std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == 0) break;
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++i;
            continue;
        }
        int extra = 0;
        unsigned long cp = 0, minimum = 0;
        if (b >= 0xC2 && b <= 0xDF) { extra = 1; cp = b & 0x1F; minimum = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { extra = 2; cp = b & 0x0F; minimum = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { extra = 3; cp = b & 0x07; minimum = 0x10000; }
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= bytes.size()) { ok = false; break; }
            unsigned char cb = static_cast<unsigned char>(bytes[i + k]);
            if ((cb & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (cb & 0x3F);
        }
        if (ok && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
        if (!ok) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
        i += 1 + extra;
    }
    return out;
}

bool ParseLoadGame(std::wstring_view loginIn, const ToAnsiCodePage& toAnsi, AccountKey& out) {
    std::wstring login(loginIn);
    if (!login.empty() && login.find(L'%') != std::wstring::npos) {
        // Percent-encoded UTF-8, carried through the ANSI code page as the page sent it.
        std::string ansi = toAnsi ? toAnsi(login) : std::string();
        if (ansi.size() > kMaxLoginBytes) return false;
        login = DecodeUtf8(PercentDecode(ansi));
    } else if (toAnsi && toAnsi(login).size() > kMaxLoginBytes) {
        return false;
    }

    AccountKey r;
    size_t g = login.find(kServerMark);
    if (g != std::wstring::npos) r.server = login.substr(0, g);
    // Without the mark the search for the middle starts at the second character.
    size_t s = (g == std::wstring::npos) ? 1 : g + kServerMark.size();
    size_t m = std::wstring::npos;
    if (s < login.size()) m = login.find(L'-', s);
    if (m != std::wstring::npos) {
        r.middle = login.substr(s, m - s);
        r.account = login.substr(m + 1);
    } else {
        r.account = login;
    }

    std::wstring server;
    for (wchar_t c : r.server)
        if (c != L'S') server.push_back(c);
    r.server = server;

    size_t open = r.middle.find(kMiddleOpen);
    if (open != std::wstring::npos) r.middle = r.middle.substr(open + 1, 4);

    r.key = r.server + std::wstring(kServerMark) + r.middle + L"-" + r.account;
    out = std::move(r);
    return true;
}
