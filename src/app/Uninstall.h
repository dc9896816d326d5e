// Uninstall: settings key, shortcuts, the uninstall ping and the self-deleting batch.
#pragma once
#include "app/StatPing.h"

// Placeholder until the uninstall is built: removes nothing, sends no ping (it sets the
// ping-done event so that the caller's wait ends) and answers false.
bool UninstallSelf(const PingEvents& pings);
