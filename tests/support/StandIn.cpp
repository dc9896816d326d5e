#include "support/StandIn.h"
#include "velkor_config.h"

#include <windows.h>
#include <wininet.h>

#include <sstream>

namespace testing_support {

namespace {

struct Handle {
    HINTERNET h;
    ~Handle() {
        if (h) InternetCloseHandle(h);
    }
};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

} // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& line : headerLines) {
        const auto colon = line.find(':');
        if (colon != std::string::npos && Lower(line.substr(0, colon)) == Lower(name))
            return Trim(line.substr(colon + 1));
    }
    return {};
}

bool RecordedRequest::HasHeaderLine(const std::string& line) const {
    for (const auto& l : headerLines)
        if (l == line) return true;
    return false;
}

std::wstring StandIn::Url(const std::wstring& path) { return std::wstring(L"http://") + VELKOR_STAT_HOST + path; }

bool StandIn::Control(const std::wstring& command, std::string* body) {
    Handle net{InternetOpenW(L"velkor-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    if (!net.h) return false;
    const std::wstring url = Url(L"/__control/" + command);
    Handle req{InternetOpenUrlW(net.h, url.c_str(), nullptr, 0,
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!req.h) return false;
    DWORD status = 0, size = sizeof(status);
    if (!HttpQueryInfoW(req.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != 200)
        return false;
    std::string text;
    char buf[65536];
    DWORD got = 0;
    while (InternetReadFile(req.h, buf, sizeof(buf), &got) && got) text.append(buf, got);
    if (body) *body = std::move(text);
    return true;
}

bool StandIn::Running() { return Control(L"requests", nullptr); }
bool StandIn::Reset() { return Control(L"reset", nullptr); }

bool StandIn::Rule(const std::wstring& path, const std::wstring& options) {
    std::string utf8(path.begin(), path.end());
    return Control(L"rule?path=" + Encode(utf8) + (options.empty() ? L"" : L"&" + options), nullptr);
}

std::wstring StandIn::Encode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '/') {
            out += wchar_t(c);
        } else {
            out += L'%';
            out += wchar_t(hex[c >> 4]);
            out += wchar_t(hex[c & 15]);
        }
    }
    return out;
}

std::vector<RecordedRequest> StandIn::Requests() {
    std::vector<RecordedRequest> out;
    std::string text;
    if (!Control(L"requests", &text)) return out;
    std::istringstream in(text);
    std::string line;
    RecordedRequest* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') {
            RecordedRequest r;
            std::istringstream head(line.substr(1));
            int answered = 0;
            head >> r.seq >> answered >> r.method >> r.target;
            r.answered = answered != 0;
            out.push_back(std::move(r));
            current = &out.back();
        } else if (!line.empty() && current) {
            current->headerLines.push_back(line);
        }
    }
    return out;
}

std::vector<RecordedRequest> StandIn::RequestsFor(const std::string& path) {
    std::vector<RecordedRequest> out;
    for (auto& r : Requests())
        if (r.target.substr(0, r.target.find('?')) == path) out.push_back(std::move(r));
    return out;
}

void StandInTest::SetUp() {
    ASSERT_TRUE(StandIn::Running()) << "the stand-in operator server is not listening at "
                                    << std::string(StandIn::Url(L"/").begin(), StandIn::Url(L"/").end())
                                    << " (scripts/test starts it: python3 tools/standin/server.py --port PORT)";
    ASSERT_TRUE(StandIn::Reset());
}

std::string PatternBytes(std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) out[i] = char((i * 7 + i / 251) % 256);
    return out;
}

} // namespace testing_support
