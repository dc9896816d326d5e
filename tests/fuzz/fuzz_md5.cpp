// The digest: fed in arbitrary pieces it must equal the digest of the whole, and never read
// or write outside its buffer whatever the split.
#include "FuzzText.h"
#include "update/Md5.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    update::Md5 whole;
    whole.Update(data, size);
    const auto expected = whole.Final();

    // The first byte chooses the piece sizes, so every offset within a block is reached.
    const std::size_t step = size ? 1 + data[0] % 97 : 1;
    update::Md5 pieces;
    std::size_t at = 0, n = step;
    while (at < size) {
        const std::size_t take = std::min(n, size - at);
        pieces.Update(data + at, take);
        at += take;
        n = n * 3 % 131 + 1;
    }
    pieces.Update(data, 0);
    FUZZ_CHECK(pieces.Final() == expected);

    const std::wstring hex = update::Md5Hex(data, size);
    FUZZ_CHECK(hex == update::HexLower(expected.data(), expected.size()) && hex.size() == 32);
    for (wchar_t c : hex) FUZZ_CHECK((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'));
    return 0;
}
