// The login background dialog of a page process, owned by the host main window.
#pragma once
#include <windows.h>

// Runs the login modally; IDCANCEL when no game is to be opened.
// Placeholder until the login is built: answers IDCANCEL at once.
INT_PTR RunLoginBackground(HWND host);
