// The main window with its game tabs, run modally until the player quits.
#pragma once
#include "gamewnd/QuillonDlg.h"

// Runs the main window until it ends the program.
void RunMainWindow(const MainWindowArgs& args = {});
