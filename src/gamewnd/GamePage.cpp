#include "gamewnd/GamePage.h"

// Placeholder: the frame, document and view come with the game page process.
bool CreateGamePageFrame(const PageProcessArgs&) {
    return false;
}
