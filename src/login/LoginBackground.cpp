#include "login/LoginBackground.h"

INT_PTR RunLoginBackground(HWND host) {
    return IDCANCEL;
}
