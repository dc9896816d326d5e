// Choosing the run mode from the command line and the start folder. No Windows header:
// the caller hands in the split arguments and the two paths.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum RunMode {
    RUN_INSTALL = 0,    // no known switch, started outside the data folder
    RUN_OLVESK = 1,     // "/OlveskD": partner-portal start
    RUN_DESKTOP = 2,    // "/VelkorD": desktop or start-menu shortcut
    RUN_INSTALLED = 3,  // no known switch, started from the data folder
    RUN_UNINSTALL = 4,  // "/uninst"
    RUN_UPDATE = 5,     // "/update": forced update from the menu
    RUN_NEWGAME = 6,    // "/newgm /<host window> /<tab count>": page process of a main window
    RUN_GAMEHALL = 7,   // "/gmhall /<host window>": page process of the game hall
};

struct RunModeChoice {
    RunMode mode = RUN_INSTALL;
    // False when "/newgm" or "/gmhall" lacks an argument or one is longer than the
    // program takes (15 characters for the handle, 7 for the count).
    bool valid = true;
    std::int32_t hostWnd = 0;   // window handles keep their value in 32 bits
    std::int32_t hostTabCount = 0;
};

// args[0] is the program name, as from CommandLineToArgvW.
RunModeChoice ChooseRunMode(const std::vector<std::wstring>& args, const std::wstring& exePath,
                            const std::wstring& dataFolder);

// Optional leading blanks, optional sign, then decimal digits; 0 when there are none.
// Wraps like 32-bit arithmetic instead of failing on overflow.
std::int32_t ParseDecimal(const std::wstring& text);
