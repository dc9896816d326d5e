// The operator's pop-up notice without a window: the seven-field text, the dates it is
// compared by, whether it is wanted, and which layout shows it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace notice {

// The notice body is accepted only below this many bytes.
inline constexpr std::size_t kMaxNoticeBytes = 1024;

// Field capacities in characters. A longer field rejects the whole notice: cutting a link or
// a date would make it mean something else. A field's capacity counts what is kept of it
// (up to its first line end).
inline constexpr std::size_t kKeyChars = 31;
inline constexpr std::size_t kExpiryChars = 31;
inline constexpr std::size_t kTitleChars = 63;
inline constexpr std::size_t kLinkChars = 511;
inline constexpr std::size_t kContentChars = 511;
inline constexpr std::size_t kPictureChars = 511;

// How much of the content line each layout keeps before "..." is appended.
inline constexpr std::size_t kContentKeptWithPicture = 54;
inline constexpr std::size_t kContentKeptTextOnly = 71;

struct Notice {
    std::wstring noticeKey;
    std::wstring expiryDate;
    std::wstring title;
    std::wstring linkUrl;
    std::wstring content;
    std::wstring pictureUrl;
    int repeatCount = 0;
};

enum class Layout { PictureAndText, PictureOnly, TextOnly };

enum class Decision {
    Show,
    NotWanted,   // empty, or already seen and dismissed
    Malformed,   // fewer than six separators, a field over its capacity
    Expired,
};

// The text as it came, without the line breaks a file may end with.
std::wstring_view TrimLineEnds(std::wstring_view text);

// The text with each field kept up to its first line end (CR, LF or NUL): the notice is
// stored as one INI value, where a line break would add keys of its own, and what is shown
// is then what is stored. Fields are those SplitNotice takes; text after the sixth separator
// is the last field.
std::wstring KeepFirstLines(std::wstring_view text);

// Splits the seven fields at "|", each kept up to its first line end. False when a separator
// is missing or a field does not fit its capacity.
bool SplitNotice(std::wstring_view text, Notice& out);

// Today (a) against the expiry date (b), both written year-month-day: the signed difference
// of the first part that differs, 0 when equal. A date without "-" counts as long past.
int CompareDateText(std::wstring_view a, std::wstring_view b);

// "%04d-%02d-%02d".
std::wstring DateText(int year, int month, int day);

// popInfo and popEnable are the stored "PopInfo" and "PopEnable". New when nothing is stored
// or the stored text no longer occurs in the server's; otherwise wanted unless dismissed ("0").
bool IsNoticeWanted(std::wstring_view text, std::wstring_view popInfo, std::wstring_view popEnable);

// The whole decision for a fetched text (each field already kept up to its first line end);
// `out` receives the fields taken so far: none for a notice not wanted, only the first two for
// an expired one (nothing after the date is looked at, so no picture is fetched for it).
Decision DecideNoticeText(std::wstring_view text, std::wstring_view popInfo, std::wstring_view popEnable,
                          std::wstring_view today, Notice& out);

Layout ChooseLayout(const Notice& n);

// Where a notice's parts go, in client coordinates of its window, for each layout. The
// picture-only notice's picture starts 3 px left of the window and below its 22 px close
// band: its own art carries the border.
struct Place {
    int x = 0, y = 0, w = 0, h = 0;
};
struct NoticePlaces {
    int borderWidth = 0;  // the frame around the background, and the close button's inset
    int closeTop = 0;     // the close button's top
    Place picture, title, content, more;
    bool hasPicture = false, hasMore = false;
    bool titleCentred = false;
    bool pictureIsContent = false;  // the picture-only notice shows its picture in the content label
};
NoticePlaces PlacesFor(Layout layout, int clientWidth, int clientHeight);

// Whether a picture's first bytes say JPEG, PNG, GIF or BMP, the formats a notice picture
// may have. The picture comes over plain HTTP into an elevated program, and the system's
// decoder would also open metafiles, TIFF and icons: anything else is not decoded.
bool IsDecodablePicture(std::string_view head);
// How many first bytes IsDecodablePicture needs at most.
inline constexpr std::size_t kPictureHeadBytes = 8;

// The content cut to `keep` characters and "..." appended, whatever its length.
std::wstring ShortContent(std::wstring_view content, std::size_t keep);

// A decimal number as the operator writes it: optional leading blanks and sign, then digits;
// 0 when there are none. Clamped to the int range.
int ParseDecimal(std::wstring_view text);

} // namespace notice
