#include "app/QuillonApp.h"
#include "framework/StartTimes.h"

namespace {
CQuillonApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    fw::MarkStartStep("entry");
    return theApp.Main();
}
