// Update download with its progress dialog, and the swap of the running executable.
#pragma once

// True when the new executable is in place.
bool SwapInUpdate();
