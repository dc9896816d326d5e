// What a page process knows of its host and its page: from its command line, and from its
// login the address of the game it opens. One record, handed from the login to the game page.
#pragma once
#include <windows.h>
#include <string>

struct PageProcessArgs {
    HWND hostWnd = nullptr;  // the main window this page becomes a tab (or the home page) of
    int hostTabCount = 0;    // the host's tab count when it started this process
    std::wstring gameUrl;    // the address the view opens; the web-game page until a login sets it
};
