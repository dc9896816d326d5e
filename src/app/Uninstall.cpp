#include "app/Uninstall.h"

// Placeholder: see the header.
bool UninstallSelf(const PingEvents& pings) {
    SetEvent(pings.pingDone);
    return false;
}
