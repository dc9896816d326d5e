#include "hotkeys/SoundRules.h"

namespace hotkeys {

std::uint32_t MixerLineComponentType(int selector) {
    switch (selector) {
    case kSpeakersLine: return kComponentSpeakers;
    case kWaveOutLine: return kComponentWaveOut;
    default: return kComponentSynthesizer;
    }
}

bool MixerMutesProcess(unsigned majorVersion) {
    return majorVersion >= 6;
}

} // namespace hotkeys
