// The game page process: single-document frame, document and HTML view.
#pragma once
#include <windows.h>
#include <string>

// What a page process knows of its host and its page, from its command line and its login.
struct PageProcessArgs {
    HWND hostWnd = nullptr;   // the main window this page becomes a tab of
    int hostTabCount = 0;     // the host's tab count when it started this process
    bool homePage = false;    // the web-game page ("/gmhall") rather than a game tab
    std::wstring gameUrl;     // the address the view opens
};

// Creates the game frame hidden with its caption; false when it could not be created.
// Placeholder until the game page process is built: creates nothing and answers false.
bool CreateGamePageFrame(const PageProcessArgs& args);
