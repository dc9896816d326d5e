// Muting through the mixer: the exact calls against a fake mixer, and the mixer Wine offers
// on a null ALSA device.
#include "hotkeys/SoundIntercept.h"
#include "hotkeys/SoundMute.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace hotkeys;

namespace {

// One line per call; `failAt` makes a step fail (1 open, 2 line, 3 controls, 4 read, 5 write).
struct FakeMixerLog {
    int failAt = 0;
    std::vector<std::string> calls;
} g_fake;
const HMIXER kHandle = reinterpret_cast<HMIXER>(0x4D0);

MMRESULT Log(int step, const std::string& call, bool recordsRight) {
    g_fake.calls.push_back(recordsRight ? call : call + " bad");
    return g_fake.failAt == step ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}
std::string Hex(DWORD value) {
    char text[16];
    snprintf(text, sizeof(text), "%lx", static_cast<unsigned long>(value));
    return text;
}
bool Ours(HMIXEROBJ object) { return object == reinterpret_cast<HMIXEROBJ>(kHandle); }
bool DetailsRight(HMIXEROBJ object, const MIXERCONTROLDETAILS* d) {
    return Ours(object) && d->cbStruct == sizeof(*d) && d->dwControlID == 0x88 && d->cChannels == 1 &&
           d->cMultipleItems == 0 && d->cbDetails == 4;
}

MMRESULT WINAPI FakeOpen(LPHMIXER handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    *handle = kHandle;
    return Log(1, "open " + Hex(flags), id == 0 && !callback && !instance);
}
MMRESULT WINAPI FakeLine(HMIXEROBJ object, LPMIXERLINEW line, DWORD flags) {
    line->dwLineID = 0x77;
    return Log(2, "line " + Hex(flags) + " " + Hex(line->dwComponentType), Ours(object) && line->cbStruct == sizeof(*line));
}
MMRESULT WINAPI FakeControls(HMIXEROBJ object, LPMIXERLINECONTROLSW request, DWORD flags) {
    request->pamxctrl->dwControlID = 0x88;
    request->pamxctrl->cMultipleItems = 0;
    return Log(3, "controls " + Hex(flags) + " " + Hex(request->dwControlType),
               Ours(object) && request->cbStruct == sizeof(*request) && request->dwLineID == 0x77 &&
                   request->cControls == 1 && request->cbmxctrl == 228);
}
MMRESULT WINAPI FakeRead(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
    *static_cast<LONG*>(details->paDetails) = 0x55;  // whatever the line held
    return Log(4, "read " + Hex(flags), DetailsRight(object, details));
}
MMRESULT WINAPI FakeWrite(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
    return Log(5, "write " + Hex(flags) + " " + std::to_string(*static_cast<LONG*>(details->paDetails)),
               DetailsRight(object, details));
}
MMRESULT WINAPI FakeClose(HMIXER handle) { return Log(0, "close", handle == kHandle); }

const MixerApi kFakeMixer = {&FakeOpen, &FakeLine, &FakeControls, &FakeRead, &FakeWrite, &FakeClose};

TEST(MixerMute, CallsInOrderWithTheirRecordsAndClosesOnEveryPath) {
    const std::vector<std::string> all = {"open 80000000", "line 80000003 1008", "controls 80000002 20010002",
                                          "read 80000000", "write 80000000 1",   "close"};
    g_fake = {};
    EXPECT_TRUE(MixerSetLineMute(1, true, kFakeMixer));
    EXPECT_EQ(g_fake.calls, all);
    // A failing step skips the rest but still closes what was opened.
    for (int step = 1; step <= 5; ++step) {
        g_fake = {step, {}};
        EXPECT_FALSE(MixerSetLineMute(1, true, kFakeMixer)) << step;
        std::vector<std::string> expected(all.begin(), all.begin() + step);
        if (step > 1) expected.push_back("close");
        EXPECT_EQ(g_fake.calls, expected) << step;
    }
    g_fake = {};
    EXPECT_TRUE(MixerSetLineMute(7, false, kFakeMixer));
    EXPECT_EQ(g_fake.calls.at(1), "line 80000003 1003");
    EXPECT_EQ(g_fake.calls.at(4), "write 80000000 0");
}

// A driver whose mute control has several items: it reads and writes one value per item.
constexpr DWORD kItems = 3;
std::vector<LONG> g_itemsWritten;
MMRESULT WINAPI ItemsControls(HMIXEROBJ, LPMIXERLINECONTROLSW request, DWORD) {
    request->pamxctrl->dwControlID = 0x88;
    request->pamxctrl->fdwControl = MIXERCONTROL_CONTROLF_MULTIPLE;
    request->pamxctrl->cMultipleItems = kItems;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI ItemsRead(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
    if (details->cMultipleItems != kItems || details->cChannels != 1 || details->cbDetails != sizeof(LONG))
        return MMSYSERR_INVALPARAM;
    for (DWORD i = 0; i < kItems; ++i) static_cast<LONG*>(details->paDetails)[i] = 0x55;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI ItemsWrite(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
    const LONG* values = static_cast<const LONG*>(details->paDetails);
    g_itemsWritten.assign(values, values + details->cMultipleItems);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI QuietClose(HMIXER) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI QuietLine(HMIXEROBJ, LPMIXERLINEW line, DWORD) {
    line->dwLineID = 0x77;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI QuietOpen(LPHMIXER handle, UINT, DWORD_PTR, DWORD_PTR, DWORD) {
    *handle = kHandle;
    return MMSYSERR_NOERROR;
}

TEST(MixerMute, AControlOfSeveralItemsGetsABufferForEachAndEachIsSet) {
    const MixerApi items = {&QuietOpen, &QuietLine, &ItemsControls, &ItemsRead, &ItemsWrite, &QuietClose};
    g_itemsWritten.clear();
    EXPECT_TRUE(MixerSetLineMute(0, true, items));
    EXPECT_EQ(g_itemsWritten, std::vector<LONG>(kItems, 1));
}

TEST(MixerMute, ProcessMuteSetsWaveOutputThenSpeakersAndAnswersForTheSpeakers) {
    g_fake = {};
    SetSoundSystemForTests(6, &kFakeMixer);
    EXPECT_TRUE(SetProcessMute(true));
    ASSERT_EQ(g_fake.calls.size(), 12u);
    EXPECT_EQ(g_fake.calls[1], "line 80000003 1008");
    EXPECT_EQ(g_fake.calls[7], "line 80000003 4");
    // Without a mixer device both lines stop at opening; nothing else is touched.
    g_fake = {1, {}};
    EXPECT_FALSE(SetProcessMute(true));
    SetSoundSystemForTests(0, nullptr);
    EXPECT_EQ(g_fake.calls, (std::vector<std::string>{"open 80000000", "open 80000000"}));
    EXPECT_EQ(g_bMuted.load(), 0);
    EXPECT_FALSE(SoundInterceptionsInstalled());
}

// The speakers' mute state on mixer 0, read by the test's own calls; -1 when unreadable.
int SpeakersMute() {
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return -1;
    auto* object = reinterpret_cast<HMIXEROBJ>(mixer);
    MIXERLINEW line = {sizeof(line)};
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    MIXERCONTROLW control = {sizeof(control)};
    MIXERLINECONTROLSW request = {sizeof(request)};
    request.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    request.cControls = 1;
    request.cbmxctrl = sizeof(control);
    request.pamxctrl = &control;
    MIXERCONTROLDETAILS_BOOLEAN value = {};
    MIXERCONTROLDETAILS details = {sizeof(details)};
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    bool read = mixerGetLineInfoW(object, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR;
    request.dwLineID = line.dwLineID;
    read = read && mixerGetLineControlsW(object, &request, MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR;
    details.dwControlID = control.dwControlID;
    read = read && mixerGetControlDetailsW(object, &details, MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
    mixerClose(mixer);
    return read ? (value.fValue ? 1 : 0) : -1;
}

// Wine accepts a mute of the wave-output line but keeps only the speakers' (the wave line
// reads back 0 whatever was written), so only the speakers are read back.
TEST(MixerMute, SystemMixerMutesAndRestoresTheSpeakers) {
    const int before = SpeakersMute();
    ASSERT_NE(before, -1) << "the test prefix should offer a mixer (a null ALSA device)";
    EXPECT_TRUE(SetProcessMute(true));
    EXPECT_EQ(SpeakersMute(), 1);
    EXPECT_TRUE(SetProcessMute(false));
    EXPECT_EQ(SpeakersMute(), 0);
    EXPECT_FALSE(SoundInterceptionsInstalled());  // the system here is past version 5
    SetProcessMute(before == 1);
}

} // namespace
