// The small decisions of muting a game process, free of Windows headers: which way a system
// mutes, which mixer line a selector names, and where in an interface table a method sits.
#pragma once
#include <cstddef>
#include <cstdint>

namespace hotkeys {

// Selectors of MixerSetLineMute.
constexpr int kSpeakersLine = 0;
constexpr int kWaveOutLine = 1;

// Mixer line component types (mmsystem's MIXERLINE_COMPONENTTYPE_* values).
constexpr std::uint32_t kComponentSpeakers = 4;         // DST_SPEAKERS
constexpr std::uint32_t kComponentWaveOut = 0x1008;     // SRC_WAVEOUT
constexpr std::uint32_t kComponentSynthesizer = 0x1003; // SRC_SYNTHESIZER

// 0 the speakers, 1 the wave output, anything else the synthesizer.
std::uint32_t MixerLineComponentType(int selector);

// From major version 6 on, every process has a session of its own in the system mixer, so
// muting there silences the game alone; before, the mixer is shared by the whole machine and
// the process has to silence its own sound data instead.
bool MixerMutesProcess(unsigned majorVersion);

// Interface-table entries, counted from 0 after nothing: the three IUnknown methods come first.
constexpr std::size_t kCreateSoundBufferEntry = 3; // IDirectSound
constexpr std::size_t kUnlockEntry = 19;           // IDirectSoundBuffer

// Byte offset of an entry in a table of function pointers of the given size.
constexpr std::size_t TableEntryOffset(std::size_t entry, std::size_t pointerSize) {
    return entry * pointerSize;
}

} // namespace hotkeys
