#include "login/LoginBackground.h"

// Placeholder: the login background and the login page come with the page process.
INT_PTR RunLoginBackground(HWND) {
    return IDCANCEL;
}
