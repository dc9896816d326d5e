#include "hotkeys/SoundIntercept.h"
#include "hotkeys/ExportRedirect.h"
#include "hotkeys/SoundRules.h"

#include <mmsystem.h>
#include <dsound.h>

#include <string>

namespace hotkeys {

std::atomic<LONG> g_bMuted{0};

namespace {

using WaveOutWriteFn = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
using MidiStreamOutFn = MMRESULT(WINAPI*)(HMIDISTRM, LPMIDIHDR, UINT);
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
using CreateSoundBufferFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*, LPUNKNOWN);
using UnlockFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSoundBuffer*, LPVOID, DWORD, LPVOID, DWORD);

std::atomic<bool> g_installed{false};
ExportRedirect g_waveOutWrite;
ExportRedirect g_midiStreamOut;
ExportRedirect g_directSoundCreate;
void (*g_slotPatchHook)() = nullptr;

bool Muted() {
    return g_bMuted.load(std::memory_order_relaxed) != 0;
}

void ZeroBlock(void* data, DWORD size) {
    if (data && size) ::ZeroMemory(data, size);
}

// The entry of an object's interface table.
void** TableEntry(void* object, std::size_t entry) {
    auto* table = *static_cast<BYTE**>(object);
    return reinterpret_cast<void**>(table + TableEntryOffset(entry, sizeof(void*)));
}

// Interface-table entries routed through a replacement, with what each held before. Objects
// of one kind share a table, so one entry reaches every object of that kind; but a program may
// meet more than one table per interface (a primary buffer may have a table of its own), so
// each table met is routed once. Entries are only ever added, under the patch lock,
// and published by the count, so the replacements read them without a lock.
struct RoutedEntry {
    void** slot;
    void* previous;
};
constexpr int kMaxRoutedEntries = 16;
RoutedEntry g_routed[kMaxRoutedEntries];
std::atomic<int> g_routedCount{0};

void* PreviousOf(void** slot) {
    const int count = g_routedCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        if (g_routed[i].slot == slot) return g_routed[i].previous;
    return nullptr;
}

// Routes one table entry through `replacement` unless it is already. Two threads creating
// their first objects at once meet here; the lock makes the second one find the first one's
// work instead of taking the replacement for the function it was to pass calls on to.
void RouteTableEntry(void** slot, void* replacement) {
    if (g_slotPatchHook) g_slotPatchHook();
    if (PreviousOf(slot)) return;
    PatchLock lock;
    if (PreviousOf(slot)) return;
    void* previous = *slot;
    const int count = g_routedCount.load(std::memory_order_relaxed);
    if (previous == replacement || count == kMaxRoutedEntries) return;
    g_routed[count] = {slot, previous};
    g_routedCount.store(count + 1, std::memory_order_release);  // before any call can arrive
    WritePointerSlot(slot, replacement);
}

HRESULT STDMETHODCALLTYPE UnlockMuted(IDirectSoundBuffer* buffer, LPVOID part1, DWORD size1, LPVOID part2, DWORD size2) {
    if (Muted()) {
        ZeroBlock(part1, size1);
        ZeroBlock(part2, size2);
    }
    auto previous = reinterpret_cast<UnlockFn>(PreviousOf(TableEntry(buffer, kUnlockEntry)));
    return previous ? previous(buffer, part1, size1, part2, size2) : DSERR_GENERIC;
}

HRESULT STDMETHODCALLTYPE CreateSoundBufferRouted(IDirectSound* sound, LPCDSBUFFERDESC description,
                                                  LPDIRECTSOUNDBUFFER* outBuffer, LPUNKNOWN outer) {
    auto previous = reinterpret_cast<CreateSoundBufferFn>(PreviousOf(TableEntry(sound, kCreateSoundBufferEntry)));
    if (!previous) return DSERR_GENERIC;
    HRESULT hr = previous(sound, description, outBuffer, outer);
    if (SUCCEEDED(hr) && outBuffer && *outBuffer)
        RouteTableEntry(TableEntry(*outBuffer, kUnlockEntry), reinterpret_cast<void*>(&UnlockMuted));
    return hr;
}

MMRESULT WINAPI WaveOutWriteMuted(HWAVEOUT device, LPWAVEHDR header, UINT size) {
    if (Muted() && header) ZeroBlock(header->lpData, header->dwBufferLength);
    return reinterpret_cast<WaveOutWriteFn>(g_waveOutWrite.Real())(device, header, size);
}

MMRESULT WINAPI MidiStreamOutMuted(HMIDISTRM stream, LPMIDIHDR header, UINT size) {
    if (Muted() && header) ZeroBlock(header->lpData, header->dwBufferLength);
    return reinterpret_cast<MidiStreamOutFn>(g_midiStreamOut.Real())(stream, header, size);
}

HRESULT WINAPI DirectSoundCreateRouted(LPCGUID device, LPDIRECTSOUND* outObject, LPUNKNOWN outer) {
    HRESULT hr = reinterpret_cast<DirectSoundCreateFn>(g_directSoundCreate.Real())(device, outObject, outer);
    if (SUCCEEDED(hr) && outObject && *outObject)
        RouteTableEntry(TableEntry(*outObject, kCreateSoundBufferEntry), reinterpret_cast<void*>(&CreateSoundBufferRouted));
    return hr;
}

std::wstring SystemLibraryPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT chars = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (chars == 0 || chars >= MAX_PATH) return L"";
    return std::wstring(folder) + L"\\" + name;
}

// A system library by its full path: a bare name would also find a file of that name in the
// program's folder or the current one, in an elevated program.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    const std::wstring path = SystemLibraryPath(name);
    return path.empty() ? nullptr : ::LoadLibraryW(path.c_str());
}

} // namespace

std::wstring DirectSoundPath() { return SystemLibraryPath(L"dsound.dll"); }

bool InstallSoundInterceptions() {
    if (g_installed.exchange(true)) return false;
    HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    // The program never calls DirectSound itself; the library is loaded here so that its
    // export can be routed before the game's sound code asks for it, and pinned so that the
    // route outlives any FreeLibrary of the game's.
    HMODULE dsound = nullptr;
    if (HMODULE loaded = LoadSystemLibrary(L"dsound.dll"))
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<LPCWSTR>(loaded), &dsound);
    g_waveOutWrite.Install(winmm, "waveOutWrite", reinterpret_cast<void*>(&WaveOutWriteMuted));
    g_midiStreamOut.Install(winmm, "midiStreamOut", reinterpret_cast<void*>(&MidiStreamOutMuted));
    g_directSoundCreate.Install(dsound, "DirectSoundCreate", reinterpret_cast<void*>(&DirectSoundCreateRouted));
    return true;
}

bool SoundInterceptionsInstalled() {
    return g_installed.load();
}

void RemoveSoundInterceptions() {
    g_waveOutWrite.Remove();
    g_midiStreamOut.Remove();
    g_directSoundCreate.Remove();
}

void SetSlotPatchHookForTests(void (*hook)()) {
    g_slotPatchHook = hook;
}

} // namespace hotkeys
