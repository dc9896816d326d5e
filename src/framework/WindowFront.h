// Bringing a window in front of every other, from any process: the window's thread joins the
// foreground thread's input for the moment, and the window is raised through the topmost band
// and back so that it ends above the others without staying topmost.
#pragma once
#include <windows.h>

namespace fw {

// activate: the window also becomes the foreground window; otherwise it is only raised.
void BringToFront(HWND window, bool activate);

} // namespace fw
