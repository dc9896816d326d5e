// The operator's notice text arrives over plain HTTP and is stored as one INI value: whatever
// it holds, an accepted notice carries no line break in any field, and the date comparison
// is a consistent order.
#include "FuzzText.h"
#include "extras/NoticeRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    notice::Notice n;
    if (notice::SplitNotice(text, n)) {
        for (const std::wstring* field : {&n.noticeKey, &n.expiryDate, &n.title, &n.linkUrl, &n.content, &n.pictureUrl})
            FUZZ_CHECK(field->find_first_of(L"\r\n") == std::wstring::npos);
    }
    const size_t half = text.size() / 2;
    const std::wstring_view a(text.data(), half), b(text.data() + half, text.size() - half);
    const int ab = notice::CompareDateText(a, b), ba = notice::CompareDateText(b, a);
    FUZZ_CHECK((ab < 0) == (ba > 0) && (ab == 0) == (ba == 0));
    notice::Notice decided;
    notice::DecideNoticeText(text, a, b, L"2026-12-08", decided);
    return 0;
}
