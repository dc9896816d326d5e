// The main window with its game tabs, run modally until the player quits.
#pragma once

void RunMainWindow();
