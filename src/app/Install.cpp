#include "app/Install.h"

bool InstallSelf() {
    return false;
}
