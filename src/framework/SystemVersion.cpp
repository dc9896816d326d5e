#include "framework/SystemVersion.h"

namespace fw {

DWORD OsMajorVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // the compatibility answer is the one wanted here
#endif
    if (!::GetVersionExW(&info)) return 0;
    return info.dwMajorVersion;
}

} // namespace fw
