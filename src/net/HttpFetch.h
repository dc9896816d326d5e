// The program's own HTTP client over WinINet.
#pragma once
#include <windows.h>

// Sends one GET to url and reads nothing back; returns 0 or the failure's error code.
DWORD HttpPing(const wchar_t* url, const wchar_t* body);
