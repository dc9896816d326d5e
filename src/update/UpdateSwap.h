// Update download with its progress dialog, and the swap of the running executable.
#pragma once
#include "update/UpdateCheck.h"

// Downloads the offer's executable and puts it in place of the running one; true when the
// new executable is in place.
// Placeholder until the download is built: downloads nothing and answers false.
bool SwapInUpdate(const UpdateOffer& offer);
