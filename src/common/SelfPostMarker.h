// The marker in lParam of what the program posts to itself or between its processes (the
// cancelled login's close, the menu's synthetic F5). Keys carrying it are never hot keys.
// Apart from the other messages so that window-free rules can use it.
#pragma once

constexpr long kSelfPostMarker = 7315;
