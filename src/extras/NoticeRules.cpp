#include "extras/NoticeRules.h"

#include <climits>
#include <cstdio>

namespace notice {

std::wstring_view TrimLineEnds(std::wstring_view text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.remove_suffix(1);
    return text;
}

namespace {

// One field: up to the next "|" (the last field: the rest), kept up to its first line end.
// Moves `text` past the field and its separator; false when no separator follows a field
// that needs one.
bool TakeField(std::wstring_view& text, bool last, std::wstring_view& field) {
    const std::size_t bar = last ? std::wstring_view::npos : text.find(L'|');
    field = text.substr(0, bar);
    const std::size_t end = field.find_first_of(std::wstring_view(L"\r\n\0", 3));
    if (end != std::wstring_view::npos) field = field.substr(0, end);
    if (last) {
        text = {};
        return true;
    }
    if (bar == std::wstring_view::npos) {
        text = {};
        return false;
    }
    text.remove_prefix(bar + 1);
    return true;
}

constexpr int kFields = 7;

} // namespace

std::wstring KeepFirstLines(std::wstring_view text) {
    std::wstring out;
    for (int i = 0; i < kFields; ++i) {
        std::wstring_view field;
        const bool more = TakeField(text, i == kFields - 1, field);
        out.append(field);
        if (!more || i == kFields - 1) break;
        out += L'|';
    }
    return out;
}

namespace {

// Takes fields [first, end) (0-based; 6 is the repeat count) from `text`, which starts at
// field `first`. False when a separator is missing or a field is over its capacity.
bool TakeFields(std::wstring_view& text, Notice& out, int first, int end) {
    std::wstring* const fields[] = {&out.noticeKey, &out.expiryDate, &out.title,
                                    &out.linkUrl,   &out.content,    &out.pictureUrl};
    const std::size_t capacities[] = {kKeyChars, kExpiryChars, kTitleChars, kLinkChars, kContentChars, kPictureChars};
    for (int i = first; i < end; ++i) {
        std::wstring_view field;
        if (i == kFields - 1) {
            TakeField(text, true, field);
            out.repeatCount = ParseDecimal(field);
        } else {
            if (!TakeField(text, false, field) || field.size() > capacities[i]) return false;
            fields[i]->assign(field);
        }
    }
    return true;
}

} // namespace

bool SplitNotice(std::wstring_view text, Notice& out) { return TakeFields(text, out, 0, kFields); }

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
    // The date is compared right after it is taken: an expired notice's other fields (its
    // picture's address among them) are never looked at.
    if (!TakeFields(text, out, 0, 2)) return Decision::Malformed;
    if (CompareDateText(today, out.expiryDate) > 0) return Decision::Expired;
    if (!TakeFields(text, out, 2, kFields)) return Decision::Malformed;
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

bool IsDecodablePicture(std::string_view head) {
    using namespace std::string_view_literals;
    for (std::string_view magic : {"\xFF\xD8\xFF"sv, "\x89PNG\r\n\x1A\n"sv, "GIF87a"sv, "GIF89a"sv, "BM"sv})
        if (head.substr(0, magic.size()) == magic) return true;
    return false;
}

NoticePlaces PlacesFor(Layout layout, int W, int H) {
    NoticePlaces p;
    switch (layout) {
    case Layout::PictureAndText:
        p.borderWidth = 3;
        p.closeTop = 3;
        p.hasPicture = p.hasMore = true;
        p.picture = {15, 67, 75, 80};
        p.title = {100, 48, W - 120, 15};
        p.content = {100, 68, W - 116, 13};
        p.more = {195, 168, 42, 13};
        break;
    case Layout::PictureOnly:
        p.closeTop = 1;
        p.pictureIsContent = true;
        p.content = {-3, 22, W + 3, H - 22};
        break;
    case Layout::TextOnly:
        p.borderWidth = 3;
        p.closeTop = 3;
        p.hasMore = true;
        p.titleCentred = true;
        p.title = {0, 45, W, 15};
        p.content = {18, 65, W - 34, 13};
        p.more = {195, 145, 42, 13};
        break;
    }
    return p;
}

} // namespace notice
