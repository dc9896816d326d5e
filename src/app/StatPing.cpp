#include "app/StatPing.h"
#include "app/QuillonApp.h"
#include "app/SettingsStore.h"
#include "net/HttpFetch.h"
#include "velkor_config.h"

#include <cwchar>

namespace {
// Lives on the caller's stack: the caller waits for m_hArgCopied before it returns.
struct StatPingBlock {
    const wchar_t* address;
    CQuillonApp* app;
};
} // namespace

std::wstring StatPingAddress(const StatPingEvent& event, std::uint32_t count) {
    wchar_t buf[512];
    // An address that does not fit is not sent at all rather than cut short.
    if (std::swprintf(buf, 512, L"http://%ls/%ls&count=%u", VELKOR_STAT_HOST, event.pageAndQuery, count) < 0)
        return {};
    return buf;
}

DWORD WINAPI StatPingThread(LPVOID param) {
    auto* block = static_cast<StatPingBlock*>(param);
    CQuillonApp* app = block->app;
    wchar_t address[512] = {};
    // At most 511 characters; a longer address is dropped, not cut into another request.
    const bool fits = wcsncpy_s(address, block->address, _TRUNCATE) == 0;
    SetEvent(app->m_hArgCopied);  // the caller's block may go from here on
    if (fits) HttpPing(address);
    SetEvent(app->m_hPingDone);
    return 0;
}

bool SendStatPing(const wchar_t* address, CQuillonApp& app) {
    // Without the hand-over event the caller's block could go before the thread read it.
    if (!address || !app.m_hArgCopied || !app.m_hPingDone) return false;
    StatPingBlock block{address, &app};
    HANDLE thread = CreateThread(nullptr, 0, StatPingThread, &block, 0, nullptr);
    if (!thread) {
        SetEvent(app.m_hPingDone);  // nothing is under way: a waiting caller must not hang
        return false;
    }
    CloseHandle(thread);
    WaitForSingleObject(app.m_hArgCopied, INFINITE);
    ResetEvent(app.m_hArgCopied);
    return true;
}

bool SendCountedPing(const StatPingEvent& event, CQuillonApp& app) {
    const std::uint32_t count = BumpCounter(event.counterKey);
    const std::wstring address = StatPingAddress(event, count);
    return SendStatPing(address.c_str(), app);
}
