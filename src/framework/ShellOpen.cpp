#include "framework/ShellOpen.h"
#include "common/WebAddress.h"

#include <objbase.h>
#include <shellapi.h>

namespace fw {

ComScope::ComScope(DWORD flags) : m_hr(CoInitializeEx(nullptr, flags)) {}

ComScope::~ComScope() {
    if (SUCCEEDED(m_hr)) CoUninitialize();  // S_FALSE too: every success is paired
}

namespace {
bool ShellOpen(const wchar_t* address, int show) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, show);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
} // namespace

bool OpenWebAddress(const wchar_t* address, int show, ShellOpenFn open) {
    if (!address || !text::IsWebAddress(address)) return false;
    ComScope com;
    return (open ? open : ShellOpen)(address, show);
}

} // namespace fw
