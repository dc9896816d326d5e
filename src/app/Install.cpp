#include "app/Install.h"

// Placeholder: copying, shortcuts and the start of the installed copy come with their own work.
bool InstallSelf() {
    return false;
}
