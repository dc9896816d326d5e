#include "gamewnd/MainWindow.h"

// Placeholder: the main window and its tabs come with their own work.
void RunMainWindow() {}
