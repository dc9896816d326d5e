#include "net/HttpRules.h"
#include "velkor_config.h"

namespace net {

namespace {

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

bool EqualNoCase(const std::wstring& a, std::size_t from, const std::wstring& b) {
    if (a.size() - from != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i)
        if (LowerAscii(a[from + i]) != LowerAscii(b[i])) return false;
    return true;
}

// Letters, digits, dots and hyphens: a name or an IPv4 address, nothing that the
// connection could read as user information or another host.
bool IsPlainHostName(const std::wstring& host) {
    if (host.empty()) return false;
    for (wchar_t c : host) {
        const bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                        c == L'.' || c == L'-';
        if (!ok) return false;
    }
    return true;
}

} // namespace

bool SplitHttpUrl(const std::wstring& rest, HttpTarget& out) {
    out = HttpTarget{};
    const std::size_t slash = rest.find(L'/');
    std::wstring hostPart = rest.substr(0, slash);
    std::wstring object = slash == std::wstring::npos ? std::wstring() : rest.substr(slash + 1);

    std::uint32_t port = kDefaultHttpPort;
    const std::size_t colon = hostPart.find(L':');
    if (colon != std::wstring::npos) {
        const std::wstring digits = hostPart.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        port = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9') return false;
            port = port * 10 + std::uint32_t(c - L'0');
        }
        if (port == 0 || port > 65535) return false;
        hostPart.resize(colon);
    }
    if (hostPart.empty() || hostPart.size() > kMaxHostChars || object.size() > kMaxObjectChars) return false;
    out.host = std::move(hostPart);
    out.port = static_cast<std::uint16_t>(port);
    out.object = std::move(object);
    return true;
}

bool HasHttpPrefix(const std::wstring& address) {
    if (address.size() < kHttpPrefixChars) return false;
    return EqualNoCase(address.substr(0, kHttpPrefixChars), 0, kHttpPrefix);
}

bool HostIsOnDomains(const std::wstring& address, const std::wstring* domains, std::size_t count) {
    if (!HasHttpPrefix(address)) return false;
    HttpTarget target;
    if (!SplitHttpUrl(address.substr(kHttpPrefixChars), target) || !IsPlainHostName(target.host)) return false;
    const std::wstring& host = target.host;
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring& domain = domains[i];
        if (domain.empty()) continue;
        if (EqualNoCase(host, 0, domain)) return true;
        // An address literal has no sub-domains: 10.127.0.0.1 is not "below" 127.0.0.1.
        if (domain.find_first_not_of(L"0123456789.") == std::wstring::npos) continue;
        if (host.size() > domain.size() + 1 && host[host.size() - domain.size() - 1] == L'.' &&
            EqualNoCase(host, host.size() - domain.size(), domain))
            return true;
    }
    return false;
}

bool IsOperatorSiteAddress(const std::wstring& address) {
    static const std::wstring domains[] = {VELKOR_SITE_DOMAIN1, VELKOR_SITE_DOMAIN2, VELKOR_SITE_DOMAIN3};
    return HostIsOnDomains(address, domains, 3);
}

bool HttpStatusIsSuccess(const std::wstring& statusText) {
    if (statusText.size() != 3) return false;
    for (wchar_t c : statusText)
        if (c < L'0' || c > L'9') return false;
    return statusText[0] == L'2';
}

int PercentDone(std::uint64_t received, std::uint64_t expected) {
    if (expected == 0 || received >= expected) return 100;
    if (received <= UINT64_MAX / 100) return static_cast<int>(received * 100 / expected);
    // Beyond that received * 100 overflows: find the largest p with p * expected <= 100 *
    // received, writing expected as 100 * q + r so that nothing overflows.
    const std::uint64_t q = expected / 100, r = expected % 100;
    for (int p = 99; p > 0; --p) {
        const std::uint64_t pq = std::uint64_t(p) * q;
        if (received < pq) continue;
        const std::uint64_t left = received - pq;
        if (left >= 100 || left * 100 >= std::uint64_t(p) * r) return p;
    }
    return 0;
}

} // namespace net
