// The main window with its game tabs, run modally until the player quits.
#pragma once

// Placeholder until the main window is built: returns at once.
void RunMainWindow();
