#include "extras/NoticeRules.h"

#include <climits>
#include <cstdio>

namespace notice {

std::wstring_view TrimLineEnds(std::wstring_view text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.remove_suffix(1);
    return text;
}

bool SplitNotice(std::wstring_view text, Notice& out) {
    if (text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos) return false;
    struct Slot {
        std::wstring* field;
        std::size_t capacity;
    };
    const Slot slots[] = {{&out.noticeKey, kKeyChars},  {&out.expiryDate, kExpiryChars},
                          {&out.title, kTitleChars},    {&out.linkUrl, kLinkChars},
                          {&out.content, kContentChars}, {&out.pictureUrl, kPictureChars}};
    for (const Slot& slot : slots) {
        const std::size_t bar = text.find(L'|');
        if (bar == std::wstring_view::npos || bar > slot.capacity) return false;
        slot.field->assign(text.substr(0, bar));
        text.remove_prefix(bar + 1);
    }
    out.repeatCount = ParseDecimal(text);
    return true;
}

int ParseDecimal(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX) value = INT_MAX;  // further digits cannot bring it back
    }
    return static_cast<int>(negative ? -value : value);
}

namespace {

// Differences of numbers that may each be anywhere in the int range.
int Difference(int a, int b) {
    const long long d = static_cast<long long>(a) - b;
    return d > INT_MAX ? INT_MAX : d < INT_MIN ? INT_MIN : static_cast<int>(d);
}

std::wstring_view DatePart(std::wstring_view text) {
    text = text.substr(0, 15);
    const std::size_t blank = text.find(L' ');
    return blank == std::wstring_view::npos ? text : text.substr(0, blank);
}

} // namespace

int CompareDateText(std::wstring_view a, std::wstring_view b) {
    a = DatePart(a);
    b = DatePart(b);
    const std::size_t a1 = a.find(L'-'), b1 = b.find(L'-');
    if (a1 == std::wstring_view::npos) return b1 != std::wstring_view::npos ? -1 : 0;
    if (b1 == std::wstring_view::npos) return 1;
    if (int d = Difference(ParseDecimal(a.substr(0, a1)), ParseDecimal(b.substr(0, b1)))) return d;

    a.remove_prefix(a1 + 1);
    b.remove_prefix(b1 + 1);
    const std::size_t a2 = a.find(L'-'), b2 = b.find(L'-');
    if (a2 == std::wstring_view::npos) return b2 != std::wstring_view::npos ? -1 : 0;
    if (b2 == std::wstring_view::npos) return 1;
    if (int d = Difference(ParseDecimal(a.substr(0, a2)), ParseDecimal(b.substr(0, b2)))) return d;
    return Difference(ParseDecimal(a.substr(a2 + 1)), ParseDecimal(b.substr(b2 + 1)));
}

std::wstring DateText(int year, int month, int day) {
    wchar_t buffer[40] = {};
    std::swprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), L"%04d-%02d-%02d", year, month, day);
    return buffer;
}

bool IsNoticeWanted(std::wstring_view text, std::wstring_view popInfo, std::wstring_view popEnable) {
    if (text.empty()) return false;
    if (popInfo.empty() || text.find(popInfo) == std::wstring_view::npos) return true;
    return popEnable != L"0";
}

Decision DecideNoticeText(std::wstring_view text, std::wstring_view popInfo, std::wstring_view popEnable,
                          std::wstring_view today, Notice& out) {
    if (!IsNoticeWanted(text, popInfo, popEnable)) return Decision::NotWanted;
    if (!SplitNotice(text, out)) return Decision::Malformed;
    if (CompareDateText(today, out.expiryDate) > 0) return Decision::Expired;
    return Decision::Show;
}

Layout ChooseLayout(const Notice& n) {
    if (n.pictureUrl.empty()) return Layout::TextOnly;
    return n.content.empty() ? Layout::PictureOnly : Layout::PictureAndText;
}

std::wstring ShortContent(std::wstring_view content, std::size_t keep) {
    std::wstring out(content.substr(0, keep));
    out += L"...";
    return out;
}

} // namespace notice
