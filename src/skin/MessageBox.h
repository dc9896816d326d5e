// Every message the player sees. Styles: 0 OK, 1 OK/Cancel, 4 Yes/No. Answers: 1 OK,
// 2 Cancel (and whenever the box is closed), 6 Yes, 7 No.
#pragma once
#include <windows.h>

int AppMessageBox(int style, const wchar_t* caption, const wchar_t* text, HWND parent);
