// Reading back what a window shows, for tests that check real drawing, and pumping the
// test thread's messages until something has happened.
#pragma once
#include "support/MessagePump.h"
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A picture of w x h pixels, top row first, each 0x00RRGGBB.
struct Pixels {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    // The pixel at (x, y) as a COLORREF; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    bool Empty() const { return px.empty(); }
};

// Everything inside the window's rectangle as the window draws it (window DC, children included),
// after its pending painting has been done.
Pixels CaptureWindow(HWND hwnd);
// The screen under a rectangle (what the player sees, other windows and regions included).
Pixels CaptureScreen(const RECT& screenRect);
// The pixels of a GDI bitmap.
Pixels BitmapPixels(HBITMAP bitmap);

// Saves a capture as a 24-bit BMP (for looking at it; tests do not read it back).
bool SaveBmp(const Pixels& p, const std::wstring& path);

// True when every channel differs by at most `tolerance`.
bool ColourNear(COLORREF a, COLORREF b, int tolerance);

// Dispatches every message already waiting.
void PumpPending();

} // namespace testing_support
