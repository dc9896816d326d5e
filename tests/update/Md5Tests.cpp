#include "update/Md5.h"
#include "update/UpdateCheck.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(Md5, PublishedTestSuite) {
    // The test suite of RFC 1321, appendix A.5.
    const std::pair<const char*, const char*> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : vectors) EXPECT_EQ(Narrow(update::Md5Hex(text, strlen(text))), digest) << text;
}

TEST(Md5, PiecesInAnySizeGiveTheSameDigest) {
    const std::string data = PatternBytes(5000);
    const std::wstring whole = update::Md5Hex(data.data(), data.size());
    for (std::size_t step : {1u, 3u, 63u, 64u, 65u, 127u, 1024u, 4999u}) {
        update::Md5 md5;
        for (std::size_t at = 0; at < data.size(); at += step)
            md5.Update(data.data() + at, std::min(step, data.size() - at));
        const auto digest = md5.Final();
        EXPECT_EQ(update::HexLower(digest.data(), digest.size()), whole) << step;
    }
}

// md5sum's digests of the same pattern files (tests/update/make-md5-vectors.sh prints them):
// sizes around the 56-byte padding limit, the 64-byte block and the 1024-byte read piece.
const std::pair<std::size_t, const char*> kMd5sumOfPattern[] = {
    {0, "d41d8cd98f00b204e9800998ecf8427e"},
    {1, "93b885adfe0da089cdf634904fd59f71"},
    {55, "8d24280288a696559fd8d5aa1b6d8c6e"},
    {56, "ef2c72b7254c92459e498eddd4ace573"},
    {63, "c4c8c6d513f4e1604eb18508a1769364"},
    {64, "a2fcb39a253b9b785b1f97518fa37683"},
    {65, "e49fe82d0bb12967a196c85de313e446"},
    {1024, "6cd8e81aa97eb4792758fbcb7304bf4d"},
    {1025, "f85a696adad4e94fc175c4afe0186cb6"},
    {3145745, "3cacfeb0e5eae924bc5b00641499aca4"},
};

TEST(FileMd5Hex, MatchesMd5sumOnFiles) {
    TempFolder folder(L"md5");
    for (const auto& [size, digest] : kMd5sumOfPattern) {
        const std::wstring path = folder.File((L"p" + std::to_wstring(size)).c_str());
        ASSERT_TRUE(WriteWholeFile(path, PatternBytes(size)));
        wchar_t out[64];
        ASSERT_EQ(FileMd5Hex(path.c_str(), out), out) << size;
        EXPECT_EQ(Narrow(out), digest) << size;
    }
}

TEST(FileMd5Hex, MissingFileGivesNullAndEmptyText) {
    TempFolder folder(L"md5");
    wchar_t out[64];
    wcscpy_s(out, L"left over");
    EXPECT_EQ(FileMd5Hex(folder.File(L"absent.exe").c_str(), out), nullptr);
    EXPECT_EQ(out[0], L'\0');
}

} // namespace
