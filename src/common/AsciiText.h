// Case folding of ASCII letters only, as the program compares switches, paths, host names,
// version keys and element tags: other characters (Chinese text included) compare as they are.
#pragma once
#include <cstddef>
#include <string_view>

namespace text {

constexpr wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// 0 when equal ignoring ASCII case, otherwise the sign of the first difference of the folded
// characters (a shorter text that is a prefix of the other sorts first).
inline int CompareNoCase(std::wstring_view a, std::wstring_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int(FoldAscii(a[i])) - int(FoldAscii(b[i]));
        if (d != 0) return d < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

inline bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

inline bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

inline bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

inline bool ContainsNoCase(std::wstring_view haystack, std::wstring_view needle) {
    if (needle.empty()) return true;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i)
        if (EqualsNoCase(haystack.substr(i, needle.size()), needle)) return true;
    return false;
}

} // namespace text
