// Statistics pings: each counted event raises its counter in Statistic.ini and sends one
// GET to the statistics server on a short-lived worker thread; nothing is read back.
#pragma once
#include "settings/SettingsRules.h"
#include "velkor_version.h"

#include <windows.h>
#include <cstdint>
#include <string>

// The application object's event (manual reset) for the end of a ping.
struct PingEvents {
    HANDLE pingDone = nullptr;  // set when the request has finished; only ever waited for
};

struct StatPingEvent {
    const wchar_t* counterKey;     // key in section Velkor of Statistic.ini
    const wchar_t* pageAndQuery;   // page on the statistics host, before "&count="
};

inline constexpr StatPingEvent kPingInstall{settings::kKeyInstallCount, L"install.htm?tag=velkor&ver=" VELKOR_VERSION_W};
inline constexpr StatPingEvent kPingLauncherStart{settings::kKeyStartCount, L"active.htm?tag=velkor&ver=" VELKOR_VERSION_W};
inline constexpr StatPingEvent kPingPartnerStart{settings::kKeyPartnerCount, L"active.htm?tag=webolvesk&ver=" VELKOR_VERSION_W};
inline constexpr StatPingEvent kPingUninstall{settings::kKeyUninstallCount, L"uninstall.htm?tag=velkor&ver=" VELKOR_VERSION_W};

// "http://<statistics host>/<page and query>&count=<count>".
std::wstring StatPingAddress(const StatPingEvent& event, std::uint32_t count);

// Starts the ping on a worker thread with its own copy of the address and returns; does not
// wait for the request (wait for events.pingDone for that). An address over 511 characters
// is not sent. False (with pingDone set) when nothing was started.
bool SendStatPing(const wchar_t* address, const PingEvents& events);

// Raises the event's counter and sends its ping with the new value.
bool SendCountedPing(const StatPingEvent& event, const PingEvents& events);
