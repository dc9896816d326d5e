#include "net/HttpRules.h"
#include "velkor_config.h"

#include <gtest/gtest.h>

using namespace net;

namespace {

HttpTarget Split(const std::wstring& rest) {
    HttpTarget t;
    EXPECT_TRUE(SplitHttpUrl(rest, t)) << std::string(rest.begin(), rest.end());
    return t;
}

bool Splits(const std::wstring& rest) {
    HttpTarget t;
    return SplitHttpUrl(rest, t);
}

TEST(SplitHttpUrl, HostPortAndObject) {
    HttpTarget t = Split(L"host:8080/a/b.htm");
    EXPECT_EQ(t.host, L"host");
    EXPECT_EQ(t.port, 8080);
    EXPECT_EQ(t.object, L"a/b.htm");

    t = Split(L"update.example/update/ConfigVelkor.htm?x=1&y=/z");
    EXPECT_EQ(t.host, L"update.example");
    EXPECT_EQ(t.port, 80);
    EXPECT_EQ(t.object, L"update/ConfigVelkor.htm?x=1&y=/z");

    // No slash: the whole text is the host and the object is empty.
    t = Split(L"host.example");
    EXPECT_EQ(t.host, L"host.example");
    EXPECT_EQ(t.object, L"");
    t = Split(L"host.example:81");
    EXPECT_EQ(t.host, L"host.example");
    EXPECT_EQ(t.port, 81);
    EXPECT_EQ(Split(L"h/").object, L"");
    EXPECT_EQ(Split(L"h:65535/").port, 65535);
}

TEST(SplitHttpUrl, RefusesWhatWouldConnectElsewhere) {
    EXPECT_FALSE(Splits(L""));
    EXPECT_FALSE(Splits(L"/a/b"));
    EXPECT_FALSE(Splits(L":80/a"));
    EXPECT_FALSE(Splits(L"host:/a"));
    EXPECT_FALSE(Splits(L"host:8o/a"));
    EXPECT_FALSE(Splits(L"host:0/a"));
    EXPECT_FALSE(Splits(L"host:65536/a"));   // would wrap to port 0 in 16 bits
    EXPECT_FALSE(Splits(L"host:131152/a"));  // would wrap to port 80
    EXPECT_FALSE(Splits(L"host:-1/a"));
    EXPECT_FALSE(Splits(L"host:80:81/a"));
}

TEST(SplitHttpUrl, LongPartsAreRefusedNotCut) {
    const std::wstring host259(259, L'h'), object511(511, L'o');
    HttpTarget t = Split(host259 + L"/" + object511);
    EXPECT_EQ(t.host, host259);
    EXPECT_EQ(t.object, object511);
    EXPECT_FALSE(Splits(host259 + L"h/x"));
    EXPECT_FALSE(Splits(L"h/" + object511 + L"o"));
    EXPECT_FALSE(Splits(host259 + L"h:80/x"));  // the port does not count, the host does
    EXPECT_TRUE(Splits(host259 + L":80/x"));
}

TEST(HttpPrefix, AnyLetterCase) {
    EXPECT_TRUE(HasHttpPrefix(L"http://a/"));
    EXPECT_TRUE(HasHttpPrefix(L"HTTP://a/"));
    EXPECT_TRUE(HasHttpPrefix(L"hTtP://"));
    EXPECT_FALSE(HasHttpPrefix(L"https://a/"));
    EXPECT_FALSE(HasHttpPrefix(L"http:/a/"));
    EXPECT_FALSE(HasHttpPrefix(L"http:"));
    EXPECT_FALSE(HasHttpPrefix(L" http://a/"));
    EXPECT_FALSE(HasHttpPrefix(L""));
}

TEST(SiteDomains, HostMustBeTheDomainOrBelowIt) {
    const std::wstring domains[] = {L"olvesk.example", L"sevrith.example", L""};
    auto on = [&](const std::wstring& a) { return HostIsOnDomains(a, domains, 3); };
    EXPECT_TRUE(on(L"http://olvesk.example/Velkor.exe"));
    EXPECT_TRUE(on(L"http://dl.olvesk.example/Velkor.exe"));
    EXPECT_TRUE(on(L"http://a.b.sevrith.example:8080/x"));
    EXPECT_TRUE(on(L"HTTP://DL.Olvesk.Example/x"));
    EXPECT_TRUE(on(L"http://olvesk.example"));

    // Everywhere else in the address the name proves nothing.
    EXPECT_FALSE(on(L"http://evil.test/olvesk.example/Velkor.exe"));
    EXPECT_FALSE(on(L"http://evil.test/x?olvesk.example"));
    EXPECT_FALSE(on(L"http://olvesk.example.evil.test/x"));
    EXPECT_FALSE(on(L"http://notolvesk.example/x"));
    EXPECT_FALSE(on(L"http://olvesk.example@evil.test/x"));
    EXPECT_FALSE(on(L"http://evil.test@dl.olvesk.example/x"));
    EXPECT_FALSE(on(L"http://.olvesk.example/x"));
    EXPECT_FALSE(on(L"http://example/x"));
    EXPECT_FALSE(on(L"ftp://olvesk.example/x"));
    EXPECT_FALSE(on(L"https://olvesk.example/x"));
    EXPECT_FALSE(on(L"olvesk.example/x"));
    EXPECT_FALSE(on(L"http:///olvesk.example"));
    EXPECT_FALSE(on(L"http://olvesk.example:99999/x"));
    EXPECT_FALSE(on(L""));  // an empty domain in the list matches nothing
}

TEST(SiteDomains, AddressLiteralsMatchOnlyThemselves) {
    const std::wstring domains[] = {L"127.0.0.1"};
    EXPECT_TRUE(HostIsOnDomains(L"http://127.0.0.1:18765/x", domains, 1));
    EXPECT_FALSE(HostIsOnDomains(L"http://10.127.0.0.1/x", domains, 1));
    EXPECT_FALSE(HostIsOnDomains(L"http://127.0.0.10/x", domains, 1));
}

TEST(SiteDomains, TheBuildsThreeDomains) {
    for (const std::wstring domain : {VELKOR_SITE_DOMAIN1, VELKOR_SITE_DOMAIN2, VELKOR_SITE_DOMAIN3}) {
        EXPECT_TRUE(IsOperatorSiteAddress(L"http://" + domain + L"/NewVelkor.exe"));
        EXPECT_TRUE(IsOperatorSiteAddress(L"http://" + domain + L":8080/NewVelkor.exe"));
        EXPECT_FALSE(IsOperatorSiteAddress(L"http://evil.example/" + domain + L"/NewVelkor.exe"));
        EXPECT_FALSE(IsOperatorSiteAddress(L"http://" + domain + L".evil.example/NewVelkor.exe"));
        EXPECT_FALSE(IsOperatorSiteAddress(L"http://evil.example/?" + domain));
    }
    EXPECT_FALSE(IsOperatorSiteAddress(L"http://evil.example/NewVelkor.exe"));
}

TEST(HttpStatus, OnlyTwoHundredsCarryTheObject) {
    for (const wchar_t* ok : {L"200", L"201", L"204", L"206", L"299"}) EXPECT_TRUE(HttpStatusIsSuccess(ok)) << ok;
    for (const wchar_t* bad : {L"404", L"500", L"503", L"301", L"302", L"304", L"199", L"100", L"", L"20", L"2000",
                               L"2x0", L" 200"})
        EXPECT_FALSE(HttpStatusIsSuccess(bad));
}

TEST(Progress, PercentStaysWithinRangeForAnySize) {
    EXPECT_EQ(PercentDone(0, 1000), 0);
    EXPECT_EQ(PercentDone(512, 1000), 51);
    EXPECT_EQ(PercentDone(999, 1000), 99);
    EXPECT_EQ(PercentDone(1000, 1000), 100);
    EXPECT_EQ(PercentDone(1500, 1000), 100);  // more arrived than announced
    EXPECT_EQ(PercentDone(0, 0), 100);
    // 32-bit arithmetic would overflow at total * 100 beyond 42 MB.
    EXPECT_EQ(PercentDone(3000000000ull, 4000000000ull), 75);
    EXPECT_EQ(PercentDone(4294967295ull / 2, 4294967295ull), 49);
    EXPECT_EQ(PercentDone(0xFFFFFFFFFFFFFF00ull, 0xFFFFFFFFFFFFFFFFull), 99);
    EXPECT_EQ(PercentDone(0x7FFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull), 49);
}

} // namespace
