// Routes every call that the process's modules make to one exported function through a
// replacement, without touching the function's code: the export's entry in its module is
// pointed at a small jump (so modules loaded later and GetProcAddress find the replacement),
// and every import slot already bound to the function in a loaded module is rewritten.
// Calls the exporting module makes to itself, and addresses taken before the redirect, are
// not reached.
#pragma once
#include <windows.h>

namespace hotkeys {

// Serialises every write of a pointer into a module image or an interface table, so that two
// writers never unprotect and reprotect the same page across each other.
class PatchLock {
public:
    PatchLock();
    ~PatchLock();
    PatchLock(const PatchLock&) = delete;
    PatchLock& operator=(const PatchLock&) = delete;
};

// Writes one pointer-sized slot, making its page writable for the moment of the write and
// giving the page back the protection it had. The caller holds a PatchLock.
bool WritePointerSlot(void** slot, void* value);

class ExportRedirect {
public:
    // Redirects `name` exported by `module` to `replacement`. False, with nothing changed,
    // when the export is missing or forwarded or no jump can be placed within its reach.
    bool Install(HMODULE module, const char* name, void* replacement);
    // Puts the export entry and the import slots back and points the jump at the real
    // function, so that an address handed out meanwhile goes on working.
    void Remove();
    // The function itself, for the replacement to pass the call on.
    void* Real() const { return m_real; }

private:
    void* m_real = nullptr;
    unsigned char* m_stub = nullptr;
    DWORD* m_exportEntry = nullptr;
    DWORD m_oldRva = 0;
};

} // namespace hotkeys
