// Silencing a process's own sound on systems whose mixer cannot mute one process: the three
// ways sound leaves the process (waveOutWrite, midiStreamOut, and DirectSoundCreate with the
// Unlock of its buffers) are routed through replacements that zero the outgoing data while
// g_bMuted is set, then pass the call on unchanged.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

namespace hotkeys {

// Nonzero: outgoing sound data is replaced by silence. Written only by SetProcessMute on the
// frame's thread; read by the replacements on whatever threads play sound.
extern std::atomic<LONG> g_bMuted;

// Installs the routes once per process; true only for the call that installed them.
// Keeps dsound.dll loaded for the rest of the process so that its route stays valid.
bool InstallSoundInterceptions();
bool SoundInterceptionsInstalled();
// The DirectSound library the interceptions load: the one in the system folder.
std::wstring DirectSoundPath();
// Takes the function routes out again, in the order waveOutWrite, midiStreamOut,
// DirectSoundCreate (run at process exit). Interface tables stay routed: their replacements
// pass every call on.
void RemoveSoundInterceptions();

// Tests: called when a replacement is about to route an interface table, before anything is
// read or written, so that a test can line two threads up there.
void SetSlotPatchHookForTests(void (*hook)());

} // namespace hotkeys
