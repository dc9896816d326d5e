// Throughput of the update check's file digest and of the HTTP download, for
// run-net-bench.sh, which compares them with md5sum and curl.
//   net_bench md5 <file>            prints "md5 <hex> <seconds>"
//   net_bench get <url> <file> <chunk>   prints "get <bytes> <seconds>"
//   net_bench bare <url> <file> <chunk>  the same through a bare WinINet loop: the floor
#include "net/HttpFetch.h"
#include "update/UpdateCheck.h"
#include "BenchChild.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include <cstdio>
#include <cwchar>

namespace {

using bench::Now;

// The least a WinINet download can do: the same calls, reads and writes as HttpGetToFile,
// no status checks, no progress, no cancelling.
bool BareGet(const wchar_t* url, const wchar_t* file, DWORD chunk) {
    wchar_t host[260] = {}, path[1024] = {};
    URL_COMPONENTSW parts = {sizeof(parts)};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 260;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 1024;
    if (!InternetCrackUrlW(url, 0, 0, &parts)) return false;
    HINTERNET inet = InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET conn = InternetConnectW(inet, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET req = HttpOpenRequestW(conn, L"GET", path, L"HTTP/1.1", nullptr, nullptr, INTERNET_FLAG_RELOAD, 0);
    bool ok = req && HttpSendRequestW(req, kHttpHeaders, DWORD(wcslen(kHttpHeaders)), nullptr, 0);
    // The same buffered C runtime writes as HttpGetToFile: a WriteFile per 512 bytes would
    // measure Wine's server round trips, not the loop.
    FILE* out = _wfopen(file, L"wb");
    ok = ok && out;
    std::vector<char> buffer(chunk);
    DWORD got = 0;
    while (ok && InternetReadFile(req, buffer.data(), chunk, &got) && got) ok = std::fwrite(buffer.data(), 1, got, out) == got;
    if (out) std::fclose(out);
    InternetCloseHandle(req);
    InternetCloseHandle(conn);
    InternetCloseHandle(inet);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && !wcscmp(argv[1], L"md5")) {
        wchar_t hex[64];
        const double t0 = Now();
        if (!FileMd5Hex(argv[2], hex)) return 2;
        const double t1 = Now();
        std::printf("md5 %ls %.6f\n", hex, t1 - t0);
        return 0;
    }
    if (argc >= 5 && (!wcscmp(argv[1], L"get") || !wcscmp(argv[1], L"bare"))) {
        const DWORD chunk = DWORD(_wtoi(argv[4]));
        const double t0 = Now();
        const bool ok = !wcscmp(argv[1], L"get") ? HttpGetToFile(argv[2], argv[3], {}, chunk) : BareGet(argv[2], argv[3], chunk);
        const double t1 = Now();
        WIN32_FILE_ATTRIBUTE_DATA info = {};
        GetFileAttributesExW(argv[3], GetFileExInfoStandard, &info);
        const unsigned long long size = (unsigned long long)info.nFileSizeHigh << 32 | info.nFileSizeLow;
        std::printf("get %llu %.6f\n", size, t1 - t0);
        return ok ? 0 : 3;
    }
    std::fprintf(stderr, "usage: net_bench md5 <file> | get|bare <url> <file> <chunk>\n");
    return 1;
}
