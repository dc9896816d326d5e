#include "update/UpdateSwap.h"

// Placeholder: the download and the swap come with their own work.
bool SwapInUpdate(const UpdateOffer&) {
    return false;
}
