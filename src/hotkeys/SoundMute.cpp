#include "hotkeys/SoundMute.h"
#include "framework/SystemVersion.h"
#include "hotkeys/SoundIntercept.h"
#include "hotkeys/SoundRules.h"

#include <cstdlib>
#include <vector>

namespace hotkeys {
namespace {

// The sizes the mixer expects on 32-bit Windows; pointers widen some of them on 64-bit.
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW");
static_assert(sizeof(MIXERCONTROLW) == 228, "MIXERCONTROLW");
static_assert(sizeof(void*) != 4 || sizeof(MIXERLINEW) == 280, "MIXERLINEW");
static_assert(sizeof(void*) != 4 || sizeof(MIXERLINECONTROLSW) == 24, "MIXERLINECONTROLSW");
static_assert(sizeof(void*) != 4 || sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS");

// More items than any mute control has: a count beyond it is a driver's error, refused.
constexpr DWORD kMaxMuteItems = 256;

unsigned g_testMajorVersion = 0;
const MixerApi* g_testMixer = nullptr;

unsigned MajorVersion() {
    if (g_testMajorVersion) return g_testMajorVersion;
    return fw::OsMajorVersion();
}

// Sets the mute control of the open mixer's line; every step must succeed.
bool SetMuteOnOpenMixer(HMIXER handle, int selector, bool muted, const MixerApi& mixer) {
    auto* object = reinterpret_cast<HMIXEROBJ>(handle);
    MIXERLINEW line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MixerLineComponentType(selector);
    if (mixer.getLineInfo(object, &line, MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        return false;

    MIXERCONTROLW control = {};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW request = {};
    request.cbStruct = sizeof(request);
    request.dwLineID = line.dwLineID;
    request.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    request.cControls = 1;
    request.cbmxctrl = sizeof(control);
    request.pamxctrl = &control;
    if (mixer.getLineControls(object, &request, MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        return false;

    // The driver reads and writes one value per item of the control (with one channel), and
    // the item count is the driver's: the buffer is sized from it, within a sane bound.
    if (control.cMultipleItems > kMaxMuteItems) return false;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> values(control.cMultipleItems ? control.cMultipleItems : 1);
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = control.cMultipleItems;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    details.paDetails = values.data();
    if (mixer.getControlDetails(object, &details, MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        return false;
    for (MIXERCONTROLDETAILS_BOOLEAN& value : values) value.fValue = muted ? 1 : 0;
    return mixer.setControlDetails(object, &details, MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR;
}

} // namespace

const MixerApi& SystemMixer() {
    static const MixerApi api = {&::mixerOpen, &::mixerGetLineInfoW, &::mixerGetLineControlsW,
                                 &::mixerGetControlDetailsW, &::mixerSetControlDetails, &::mixerClose};
    return api;
}

bool MixerSetLineMute(int selector, bool muted, const MixerApi& mixer) {
    HMIXER handle = nullptr;
    if (mixer.open(&handle, 0, 0, 0, MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR) return false;
    const bool done = SetMuteOnOpenMixer(handle, selector, muted, mixer);
    mixer.close(handle);
    return done;
}

bool SetProcessMute(bool muted) {
    if (MixerMutesProcess(MajorVersion())) {
        const MixerApi& mixer = g_testMixer ? *g_testMixer : SystemMixer();
        MixerSetLineMute(kWaveOutLine, muted, mixer);
        return MixerSetLineMute(kSpeakersLine, muted, mixer);
    }
    if (InstallSoundInterceptions()) std::atexit(&RemoveSoundInterceptions);
    g_bMuted.store(muted ? 1 : 0, std::memory_order_relaxed);
    return true;
}

void SetSoundSystemForTests(unsigned majorVersion, const MixerApi* mixer) {
    g_testMajorVersion = majorVersion;
    g_testMixer = mixer;
}

} // namespace hotkeys
