// Update check: compares the version key of the update configuration with our own.
#pragma once

// 0 when nothing different is offered; non-zero when a different version is offered.
int CheckForUpdate(bool force);
