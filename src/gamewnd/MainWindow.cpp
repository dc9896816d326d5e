#include "gamewnd/MainWindow.h"

void RunMainWindow() {}
