#include "app/QuillonApp.h"

namespace {
CQuillonApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return theApp.Main();
}
