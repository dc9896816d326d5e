// Throughput of the update check's file digest and of the HTTP download, for
// run-net-bench.sh, which compares them with md5sum and curl.
//   net_bench md5 <file>            prints "md5 <hex> <seconds>"
//   net_bench get <url> <file> <chunk>   prints "get <bytes> <seconds>"
#include "net/HttpFetch.h"
#include "update/UpdateCheck.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
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
    if (argc >= 5 && !wcscmp(argv[1], L"get")) {
        const DWORD chunk = DWORD(_wtoi(argv[4]));
        const double t0 = Now();
        const bool ok = HttpGetToFile(argv[2], argv[3], {}, chunk);
        const double t1 = Now();
        WIN32_FILE_ATTRIBUTE_DATA info = {};
        GetFileAttributesExW(argv[3], GetFileExInfoStandard, &info);
        const unsigned long long size = (unsigned long long)info.nFileSizeHigh << 32 | info.nFileSizeLow;
        std::printf("get %llu %.6f\n", size, t1 - t0);
        return ok ? 0 : 3;
    }
    std::fprintf(stderr, "usage: net_bench md5 <file> | get <url> <file> <chunk>\n");
    return 1;
}
