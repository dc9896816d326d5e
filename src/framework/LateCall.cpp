#include "framework/LateCall.h"

#include <cwchar>

namespace fw {

FARPROC LateProcAddress(const wchar_t* dll, const char* name) {
    if (!dll || !name) return nullptr;
    HMODULE module = nullptr;
    wchar_t path[MAX_PATH];
    const UINT chars = GetSystemDirectoryW(path, MAX_PATH);
    const size_t length = std::wcslen(dll);
    // From the system folder by full path, so that a file of that name in the program's own
    // folder or the current one is never taken.
    if (chars > 0 && chars + 1 + length < MAX_PATH) {
        path[chars] = L'\\';
        std::wmemcpy(path + chars + 1, dll, length + 1);
        module = LoadLibraryW(path);
    }
    if (!module) module = LoadLibraryW(dll);
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace fw
