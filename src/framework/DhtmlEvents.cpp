#include "framework/DhtmlEvents.h"

namespace fw {

namespace {
wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}
} // namespace

bool DhtmlRowMatches(DhtmlMatch match, std::wstring_view text, std::wstring_view classAttr,
                     std::wstring_view tagName) {
    if (match == DhtmlMatch::Class) return !classAttr.empty() && classAttr == text;
    return !tagName.empty() && EqualIgnoringAsciiCase(tagName, text);
}

} // namespace fw
