#include "net/UpdateSwap.h"

bool SwapInUpdate() {
    return false;
}
