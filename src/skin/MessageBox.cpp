#include "skin/MessageBox.h"

int AppMessageBox(int style, const wchar_t* caption, const wchar_t* text, HWND parent) {
    UINT type = style == 4 ? MB_YESNO : style == 1 ? MB_OKCANCEL : MB_OK;
    return MessageBoxW(parent, text, caption, type | MB_SETFOREGROUND);
}
