// Handing web addresses to the shell.
#pragma once
#include <windows.h>

namespace fw {

// COM started on the calling thread for as long as the scope lives; ended again only when
// this scope was the one that started it.
class ComScope {
public:
    explicit ComScope(DWORD flags = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // COM can be used on this thread (started here or earlier, in either model).
    bool Usable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hr;
};

// The shell's "open" of an address; replaceable in tests.
using ShellOpenFn = bool (*)(const wchar_t* address, int show);

// Opens an http or https address with the shell (the player's browser); anything else is
// refused. The shell may hand the call to COM objects, so COM is started on the calling
// thread around it.
bool OpenWebAddress(const wchar_t* address, int show, ShellOpenFn open = nullptr);

} // namespace fw
