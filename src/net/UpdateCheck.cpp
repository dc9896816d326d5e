#include "net/UpdateCheck.h"

int CheckForUpdate(bool force) {
    return 0;
}
