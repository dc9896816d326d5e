// The operator's notice text arrives over plain HTTP and is stored as one INI value: whatever
// it holds, what is kept of it carries no line break, is what is shown, and the date
// comparison is a consistent order.
#include "FuzzText.h"
#include "extras/NoticeRules.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    // What is stored is what is shown: the kept text holds no line end, keeping is done once
    // and for all, a text without line ends is kept whole, and both split alike.
    const std::wstring_view lineEnds(L"\r\n\0", 3);
    const std::wstring kept = notice::KeepFirstLines(text);
    FUZZ_CHECK(kept.find_first_of(lineEnds) == std::wstring::npos);
    FUZZ_CHECK(notice::KeepFirstLines(kept) == kept);
    if (text.find_first_of(lineEnds) == std::wstring::npos) FUZZ_CHECK(kept == text);
    notice::Notice n, fromKept;
    const bool split = notice::SplitNotice(text, n);
    FUZZ_CHECK(split == notice::SplitNotice(kept, fromKept));
    if (split) {
        for (const std::wstring* field : {&n.noticeKey, &n.expiryDate, &n.title, &n.linkUrl, &n.content, &n.pictureUrl})
            FUZZ_CHECK(field->find_first_of(lineEnds) == std::wstring::npos);
        FUZZ_CHECK(n.title == fromKept.title && n.content == fromKept.content && n.pictureUrl == fromKept.pictureUrl &&
                   n.repeatCount == fromKept.repeatCount);
    }
    const size_t half = text.size() / 2;
    const std::wstring_view a(text.data(), half), b(text.data() + half, text.size() - half);
    const int ab = notice::CompareDateText(a, b), ba = notice::CompareDateText(b, a);
    FUZZ_CHECK((ab < 0) == (ba > 0) && (ab == 0) == (ba == 0));
    notice::Notice decided;
    // Nothing after the date is taken from a notice that has expired: no picture is fetched.
    if (notice::DecideNoticeText(kept, L"", L"", L"2026-12-08", decided) == notice::Decision::Expired)
        FUZZ_CHECK(decided.title.empty() && decided.content.empty() && decided.pictureUrl.empty());
    notice::DecideNoticeText(text, a, b, L"2026-12-08", decided);
    // A picture is decoded only after a JPEG, PNG, GIF or BMP signature.
    const std::string head(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    if (notice::IsDecodablePicture(head))
        FUZZ_CHECK(head.rfind("\xFF\xD8\xFF", 0) == 0 || head.rfind("\x89PNG\r\n\x1A\n", 0) == 0 ||
                   head.rfind("GIF87a", 0) == 0 || head.rfind("GIF89a", 0) == 0 || head.rfind("BM", 0) == 0);
    return 0;
}
