#include "gamewnd/GamePage.h"

bool CreateGamePageFrame(CQuillonApp& app) {
    return false;
}
