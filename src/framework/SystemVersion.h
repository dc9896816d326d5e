// The system's major version as the program is told it (the compatibility answer its manifest
// asks for): below 6, a few things are done the old way.
#pragma once
#include <windows.h>

namespace fw {

// 0 when the system does not say.
DWORD OsMajorVersion();

} // namespace fw
