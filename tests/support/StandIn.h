// Talks to the stand-in operator server (tools/standin/server.py) that scripts/test starts
// on the port every host of the local build points at: tells it what to answer and reads
// back what it received. Uses WinINet directly, not the program's own client.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

struct RecordedRequest {
    int seq = 0;
    bool answered = false;  // the server had finished its answer when the list was read
    std::string method;
    std::string target;     // path and query as sent
    std::vector<std::string> headerLines;  // exactly as received
    // The value of the first header of that name (case-insensitive), trimmed; empty if none.
    std::string Header(const std::string& name) const;
    bool HasHeaderLine(const std::string& line) const;
};

class StandIn {
public:
    // "http://<host:port>" of the stand-in server plus path.
    static std::wstring Url(const std::wstring& path);
    static bool Running();
    static bool Reset();
    // Options as in server.py, e.g. L"status=404&body=x" (values already percent-encoded).
    static bool Rule(const std::wstring& path, const std::wstring& options);
    static std::vector<RecordedRequest> Requests();
    // Recorded requests whose path (before any query) equals path.
    static std::vector<RecordedRequest> RequestsFor(const std::string& path);
    static std::wstring Encode(const std::string& text);

private:
    static bool Control(const std::wstring& command, std::string* body);
};

// A test that needs the stand-in server: fails at once with a clear message when it is not
// listening, and starts from no recorded requests and no rules.
class StandInTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// The pattern the server produces for size=N: byte i = (i * 7 + i / 251) % 256.
std::string PatternBytes(std::size_t size);

} // namespace testing_support
