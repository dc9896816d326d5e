// Muting a game process, the way its system allows: through the mute controls of mixer 0
// from major version 6 on, otherwise by silencing the process's own sound data.
#pragma once
#include <windows.h>
#include <mmsystem.h>

namespace hotkeys {

// The mixer calls MixerSetLineMute makes; tests put fakes in.
struct MixerApi {
    decltype(&::mixerOpen) open;
    decltype(&::mixerGetLineInfoW) getLineInfo;
    decltype(&::mixerGetLineControlsW) getLineControls;
    decltype(&::mixerGetControlDetailsW) getControlDetails;
    decltype(&::mixerSetControlDetails) setControlDetails;
    decltype(&::mixerClose) close;
};
const MixerApi& SystemMixer();

// Sets the mute control of one line of mixer device 0 (selector: kSpeakersLine, kWaveOutLine,
// anything else the synthesizer). True only when every step succeeded; the mixer is closed on
// every path that opened it.
bool MixerSetLineMute(int selector, bool muted, const MixerApi& mixer = SystemMixer());

// Silences (true) or restores (false) the process's sound; true on success. The caller calls
// it only when the wanted state changes.
bool SetProcessMute(bool muted);

// Tests: pretend a major version of the system (0 = ask it) and a mixer (null = the system's).
void SetSoundSystemForTests(unsigned majorVersion, const MixerApi* mixer);

} // namespace hotkeys
