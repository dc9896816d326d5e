// The install's path builders and the self-deleting batch. The batch is run by cmd, so a path
// must reach it exactly: each one quoted, its percent signs doubled, and no line break or
// quote of its own to end a command early (Windows paths hold neither).
#include "FuzzText.h"
#include "app/InstallRules.h"

#include <string>
#include <vector>

namespace {

// What cmd makes of a line's quoted parts: "%%" stands for "%"; a single "%" would start a
// variable. Returns false when a single "%" is found.
bool Unescape(const std::string& quoted, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '%') {
            out += quoted[i];
            continue;
        }
        if (i + 1 >= quoted.size() || quoted[i + 1] != '%') return false;
        out += '%';
        ++i;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    FUZZ_CHECK(start == text.size());  // the last line is ended too
    return lines;
}

// The text between the first pair of quotes of a line, unescaped.
std::string QuotedPath(const std::string& line) {
    const std::size_t open = line.find('"');
    FUZZ_CHECK(open != std::string::npos);
    const std::size_t close = line.find('"', open + 1);
    FUZZ_CHECK(close != std::string::npos);
    std::string path;
    FUZZ_CHECK(Unescape(line.substr(open + 1, close - open - 1), path));
    return path;
}

bool CouldBeAnsiPath(const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (c < 0x20 || c == '"') return false;
    return true;
}

void CheckPaths(const std::wstring& text) {
    const std::size_t bar = text.find(L'|');
    const std::wstring parent = text.substr(0, bar);
    const std::wstring child = bar == std::wstring::npos ? L"" : text.substr(bar + 1);

    const std::wstring path = install::ChildPath(parent, child);
    if (parent.empty() || child.empty()) {
        FUZZ_CHECK(path.empty());
    } else {
        const std::size_t joined = parent.size() + child.size() + (parent.back() == L'\\' ? 0 : 1);
        // Refused exactly when it would not fit, never cut.
        FUZZ_CHECK(path.empty() == (joined >= install::kMaxPath));
        FUZZ_CHECK(path.empty() || path.size() == joined);
    }
    if (!path.empty()) {
        FUZZ_CHECK(path.compare(0, parent.size(), parent) == 0);
        FUZZ_CHECK(path.compare(path.size() - child.size(), child.size(), child) == 0);
        if (child.find(L'\\') == std::wstring::npos) {
            FUZZ_CHECK(install::FileNameOf(path) == child);
            if (parent.back() != L'\\') FUZZ_CHECK(install::FolderOf(path) == parent);
        }
    }

    const std::wstring link = install::LinkPath(parent, child);
    if (!link.empty()) {
        FUZZ_CHECK(link.size() < install::kMaxPath && link.size() >= 4);
        FUZZ_CHECK(link.compare(link.size() - 4, 4, L".lnk") == 0);
    }

    // A path splits into its folder and its name around the last backslash, and nothing is lost.
    const std::wstring folder = install::FolderOf(text), name = install::FileNameOf(text);
    if (text.find(L'\\') == std::wstring::npos)
        FUZZ_CHECK(folder == text && name == text);
    else
        FUZZ_CHECK(folder + L"\\" + name == text && name.find(L'\\') == std::wstring::npos);
}

void CheckBatch(const std::uint8_t* data, std::size_t size) {
    // Three ANSI paths separated by '|', which no Windows path holds.
    std::string parts[3];
    int part = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '|' && part < 2) ++part;
        else parts[part] += char(data[i]);
    }
    const std::string& exe = parts[0];
    const std::string& folder = parts[1];
    const std::string& batch = parts[2];

    std::string escaped;
    FUZZ_CHECK(Unescape(install::EscapeForBatch(exe), escaped) && escaped == exe);

    if (!CouldBeAnsiPath(exe) || !CouldBeAnsiPath(folder) || !CouldBeAnsiPath(batch)) return;
    const bool whole = data[0] & 1;
    const install::BatchKind kind = whole ? install::BatchKind::ExeAndFolder : install::BatchKind::ExeOnly;
    const std::vector<std::string> lines = Lines(install::SelfDeleteBatchText(kind, exe, folder, batch));
    FUZZ_CHECK(lines.size() == (whole ? 8u : 6u));
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
        std::size_t quotes = 0;
        for (char c : line) quotes += c == '"';
        FUZZ_CHECK(quotes == 0 || quotes == 2);
    }
    FUZZ_CHECK(lines[1] == ":delexe");
    FUZZ_CHECK(lines[3].rfind("del \"", 0) == 0 && QuotedPath(lines[3]) == exe);
    FUZZ_CHECK(lines[4].rfind("if exist \"", 0) == 0 && QuotedPath(lines[4]) == exe);
    FUZZ_CHECK(lines[4].size() >= 13 && lines[4].compare(lines[4].size() - 13, 13, " goto :delexe") == 0);
    if (whole) {
        FUZZ_CHECK(QuotedPath(lines[5]) == folder + "\\Statistic.ini");
        FUZZ_CHECK(lines[6] == "rd \"" + install::EscapeForBatch(folder) + "\"" && QuotedPath(lines[6]) == folder);
    }
    FUZZ_CHECK(lines.back().rfind("del \"", 0) == 0 && QuotedPath(lines.back()) == batch);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckPaths(fuzz::Text(data, size));
    if (size > 0) CheckBatch(data, size);
    for (int count : {-1, 0, 1, 2, 3}) FUZZ_CHECK(install::FolderHoldsNoFile(count) == (count == 0));
    return 0;
}
