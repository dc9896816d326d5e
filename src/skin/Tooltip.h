// A tooltip for a whole window: one tool covering the window, whose text is asked for with
// TTN_GETDISPINFOW when it is about to show.
#pragma once
#include <windows.h>

// Creates the tooltip owned by `window` (so it goes with the window; the caller may still
// destroy it first). subclass: the tooltip watches the window's mouse messages itself;
// otherwise the window relays them. Null on failure.
HWND CreateWindowTip(HWND window, bool subclass, UINT delayMs);
