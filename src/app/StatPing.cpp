#include "app/StatPing.h"
#include "framework/Handles.h"
#include "settings/SettingsStore.h"
#include "net/HttpFetch.h"
#include "velkor_config.h"

#include <cwchar>

namespace {
// Lives on the caller's stack: the caller waits for argCopied before it returns.
struct StatPingBlock {
    const wchar_t* address;
    HANDLE argCopied;   // the caller's event, used only before the hand-over
    HANDLE pingDone;    // the thread's own duplicate of the done event, closed by the thread
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
    // The done event is the thread's own handle: the process may close the application's
    // handles (and reuse their values) while the request is still under way.
    fw::UniqueHandle pingDone(block->pingDone);
    wchar_t address[512] = {};
    // At most 511 characters; a longer address is dropped, not cut into another request.
    const bool fits = wcsncpy_s(address, block->address, _TRUNCATE) == 0;
    SetEvent(block->argCopied);  // the caller's block may go from here on
    if (fits) HttpPing(address);
    SetEvent(pingDone.Get());
    return 0;
}

bool SendStatPing(const wchar_t* address, const PingEvents& events) {
    // Without the hand-over event the caller's block could go before the thread read it.
    if (!address || !events.argCopied || !events.pingDone) return false;
    HANDLE ownDone = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), events.pingDone, GetCurrentProcess(), &ownDone, 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
        SetEvent(events.pingDone);  // nothing is under way: a waiting caller must not hang
        return false;
    }
    StatPingBlock block{address, events.argCopied, ownDone};
    fw::UniqueHandle thread(CreateThread(nullptr, 0, StatPingThread, &block, 0, nullptr));
    if (!thread) {
        CloseHandle(ownDone);
        SetEvent(events.pingDone);
        return false;
    }
    WaitForSingleObject(events.argCopied, INFINITE);
    ResetEvent(events.argCopied);
    return true;
}

bool SendCountedPing(const StatPingEvent& event, const PingEvents& events) {
    const std::uint32_t count = BumpCounter(event.counterKey);
    const std::wstring address = StatPingAddress(event, count);
    return SendStatPing(address.c_str(), events);
}
