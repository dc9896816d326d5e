#include "app/StatPing.h"
#include "framework/Handles.h"
#include "framework/Worker.h"
#include "settings/SettingsStore.h"
#include "net/HttpFetch.h"
#include "velkor_config.h"

#include <cwchar>
#include <memory>

std::wstring StatPingAddress(const StatPingEvent& event, std::uint32_t count) {
    wchar_t buf[512];
    // An address that does not fit is not sent at all rather than cut short.
    if (std::swprintf(buf, 512, L"http://%ls/%ls&count=%u", VELKOR_STAT_HOST, event.pageAndQuery, count) < 0)
        return {};
    return buf;
}

bool SendStatPing(const wchar_t* address, const PingEvents& events) {
    if (!address || !events.pingDone) return false;
    // At most 511 characters; a longer address is dropped, not cut into another request.
    if (std::wcslen(address) > 511) {
        SetEvent(events.pingDone);  // nothing is under way: a waiting caller must not hang
        return false;
    }
    // The job has its own copy of the address and its own handle of the done event: the
    // process may close the application's handles (and reuse their values) while the request
    // is still under way.
    HANDLE ownDone = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), events.pingDone, GetCurrentProcess(), &ownDone, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        SetEvent(events.pingDone);
        return false;
    }
    const auto done = std::make_shared<fw::UniqueHandle>(ownDone);
    const std::wstring copy = address;
    if (!fw::Worker::Detach([copy, done] {
            HttpPing(copy.c_str());
            SetEvent(done->Get());
        })) {
        SetEvent(events.pingDone);
        return false;
    }
    return true;
}

bool SendCountedPing(const StatPingEvent& event, const PingEvents& events) {
    const std::uint32_t count = BumpCounter(event.counterKey);
    const std::wstring address = StatPingAddress(event, count);
    return SendStatPing(address.c_str(), events);
}
