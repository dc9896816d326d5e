#include "hotkeys/ExportRedirect.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstring>

namespace hotkeys {
namespace {

volatile LONG g_patchBusy = 0;

const IMAGE_NT_HEADERS* NtHeadersOf(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return nullptr;
    return nt;
}

const IMAGE_DATA_DIRECTORY* DirectoryOf(HMODULE module, int which) {
    const IMAGE_NT_HEADERS* nt = NtHeadersOf(module);
    if (!nt || nt->OptionalHeader.NumberOfRvaAndSizes <= static_cast<DWORD>(which)) return nullptr;
    const IMAGE_DATA_DIRECTORY* dir = &nt->OptionalHeader.DataDirectory[which];
    return dir->VirtualAddress && dir->Size ? dir : nullptr;
}

// The export-address entry of `name`, or null when the module does not export it.
DWORD* ExportEntryOf(HMODULE module, const char* name) {
    const IMAGE_DATA_DIRECTORY* dir = DirectoryOf(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!dir) return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir->VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    auto* functions = reinterpret_cast<DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) != 0) continue;
        if (ordinals[i] >= exports->NumberOfFunctions) return nullptr;
        DWORD* entry = &functions[ordinals[i]];
        // An entry inside the export directory names another module's function instead.
        if (*entry >= dir->VirtualAddress && *entry < dir->VirtualAddress + dir->Size) return nullptr;
        return entry;
    }
    return nullptr;
}

// Rewrites, in every loaded module, the import slots that hold `from` to hold `to`.
void RebindImports(void* from, void* to) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Module32FirstW(snapshot, &entry); more; more = ::Module32NextW(snapshot, &entry)) {
        const IMAGE_DATA_DIRECTORY* dir = DirectoryOf(entry.hModule, IMAGE_DIRECTORY_ENTRY_IMPORT);
        if (!dir) continue;
        auto* base = reinterpret_cast<BYTE*>(entry.hModule);
        for (auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir->VirtualAddress);
             desc->Name != 0; ++desc) {
            if (!desc->FirstThunk) continue;
            for (auto* slot = reinterpret_cast<void**>(base + desc->FirstThunk); *slot; ++slot)
                if (*slot == from) WritePointerSlot(slot, to);
        }
    }
    ::CloseHandle(snapshot);
}

// jmp [address]: on 64-bit the address is relative to the next instruction (0: the target
// follows the code), on 32-bit it is absolute and filled in when the jump is written.
constexpr unsigned char kJumpCode[] = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};

// A page for the jump that an export entry, a 32-bit offset from the module's base, can reach.
unsigned char* AllocateJumpPage(HMODULE module) {
#if defined(_M_X64) || defined(__x86_64__)
    SYSTEM_INFO info = {};
    ::GetSystemInfo(&info);
    const std::uintptr_t grain = info.dwAllocationGranularity;
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    const std::uintptr_t limit = base + 0xFFFF0000u;
    std::uintptr_t at = (base + NtHeadersOf(module)->OptionalHeader.SizeOfImage + grain - 1) & ~(grain - 1);
    while (at < limit) {
        MEMORY_BASIC_INFORMATION region = {};
        if (!::VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof(region))) return nullptr;
        if (region.State == MEM_FREE) {
            void* page = ::VirtualAlloc(reinterpret_cast<void*>(at), info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (page) return static_cast<unsigned char*>(page);
            at += grain;
        } else {
            at = (reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize + grain - 1) & ~(grain - 1);
        }
    }
    return nullptr;
#elif defined(_M_IX86) || defined(__i386__)
    // Offsets wrap around at 4 GB, so every address is in reach.
    return static_cast<unsigned char*>(::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
#else
    return nullptr;
#endif
}

void** JumpTargetOf(unsigned char* stub) {
    return reinterpret_cast<void**>(stub + sizeof(kJumpCode));
}

// Export tables often share pages with code, so the page stays executable while it is written.
void WriteExportEntry(DWORD* entry, DWORD rva) {
    DWORD old = 0, ignored = 0;
    if (!::VirtualProtect(entry, sizeof(DWORD), PAGE_EXECUTE_READWRITE, &old)) return;
    ::InterlockedExchange(reinterpret_cast<volatile LONG*>(entry), static_cast<LONG>(rva));
    ::VirtualProtect(entry, sizeof(DWORD), old, &ignored);
}

} // namespace

PatchLock::PatchLock() {
    while (::InterlockedExchange(&g_patchBusy, 1) != 0) ::SwitchToThread();
}

PatchLock::~PatchLock() {
    ::InterlockedExchange(&g_patchBusy, 0);
}

bool WritePointerSlot(void** slot, void* value) {
    DWORD old = 0;
    if (!::VirtualProtect(slot, sizeof(void*), PAGE_EXECUTE_READWRITE, &old)) return false;
    ::InterlockedExchangePointer(slot, value);
    DWORD ignored = 0;
    ::VirtualProtect(slot, sizeof(void*), old, &ignored);
    return true;
}

bool ExportRedirect::Install(HMODULE module, const char* name, void* replacement) {
    if (m_stub || !module) return false;
    DWORD* entry = ExportEntryOf(module, name);
    if (!entry) return false;
    unsigned char* stub = AllocateJumpPage(module);
    if (!stub) return false;

    std::memcpy(stub, kJumpCode, sizeof(kJumpCode));
#if defined(_M_IX86) || defined(__i386__)
    void** target = JumpTargetOf(stub);
    std::memcpy(stub + 2, &target, sizeof(target));
#endif
    *JumpTargetOf(stub) = replacement;
    DWORD ignored = 0;
    ::VirtualProtect(stub, sizeof(kJumpCode) + sizeof(void*), PAGE_EXECUTE_READ, &ignored);
    ::FlushInstructionCache(::GetCurrentProcess(), stub, sizeof(kJumpCode) + sizeof(void*));

    auto* base = reinterpret_cast<BYTE*>(module);
    PatchLock lock;
    m_real = base + *entry;
    m_exportEntry = entry;
    m_oldRva = *entry;
    m_stub = stub;
    WriteExportEntry(entry, static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(stub) - reinterpret_cast<std::uintptr_t>(base)));
    RebindImports(m_real, stub);
    return true;
}

void ExportRedirect::Remove() {
    if (!m_stub) return;
    PatchLock lock;
    WriteExportEntry(m_exportEntry, m_oldRva);
    RebindImports(m_stub, m_real);
    WritePointerSlot(JumpTargetOf(m_stub), m_real);
    m_stub = nullptr;  // the page stays: an address handed out may still lead through it
}

} // namespace hotkeys
