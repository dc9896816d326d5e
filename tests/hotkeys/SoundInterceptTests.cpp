// Silencing the process's own sound before version 6, forced through the test seam (the
// system here reports a newer one), with real wave-out and DirectSound calls under Wine.
// CTest runs every test in a process of its own, so each one starts before the routes exist.
#include "framework/Handles.h"
#include "hotkeys/SoundIntercept.h"
#include "hotkeys/SoundMute.h"

#include <mmsystem.h>
#include <dsound.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace hotkeys;

namespace {

using WaveOutWriteFn = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
using MidiStreamOutFn = MMRESULT(WINAPI*)(HMIDISTRM, LPMIDIHDR, UINT);
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

void UseInterceptions(bool muted) {
    SetSoundSystemForTests(5, nullptr);
    ASSERT_TRUE(SetProcessMute(muted));
}

std::vector<char> Bytes(std::size_t size, char value) { return std::vector<char>(size, value); }

// The import slot through which `module` calls `dll`!`name`, found by the test's own walk.
void** ImportSlot(HMODULE module, const char* dll, const char* name) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; desc->Name; ++desc) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + desc->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        for (void** slot = reinterpret_cast<void**>(base + desc->FirstThunk); names->u1.AddressOfData; ++names, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) == 0)
                return slot;
    }
    return nullptr;
}

TEST(SoundIntercept, WaveBlocksPassSilencedWhileMutedThroughEveryRouteUntilRemoved) {
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    void* const realWrite = reinterpret_cast<void*>(GetProcAddress(winmm, "waveOutWrite"));
    ASSERT_EQ(GetModuleHandleW(L"mciwave.dll"), nullptr);  // to be loaded after the routes exist
    std::vector<char> midiData = Bytes(64, 0x5A);
    MIDIHDR midi = {midiData.data(), 64};
    const MMRESULT midiAnswer = midiStreamOut(nullptr, &midi, sizeof(midi));

    UseInterceptions(false);  // the first call installs even when it unmutes
    EXPECT_TRUE(SoundInterceptionsInstalled());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(DirectSoundPath(), std::wstring(system) + L"\\dsound.dll");
    EXPECT_NE(GetModuleHandleW(DirectSoundPath().c_str()), nullptr) << "DirectSound from the system folder";
    auto byName = reinterpret_cast<WaveOutWriteFn>(GetProcAddress(winmm, "waveOutWrite"));
    ASSERT_NE(reinterpret_cast<void*>(byName), realWrite);
    HMODULE later = LoadLibraryW(L"mciwave.dll");
    void** laterSlot = later ? ImportSlot(later, "winmm.dll", "waveOutWrite") : nullptr;
    ASSERT_NE(laterSlot, nullptr);
    const WaveOutWriteFn routes[] = {&waveOutWrite, byName, reinterpret_cast<WaveOutWriteFn>(*laterSlot)};

    HWAVEOUT device = nullptr;
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<char> data;
    WAVEHDR header = {};
    auto write = [&](WaveOutWriteFn through) {
        for (DWORD until = GetTickCount() + 10000; (header.dwFlags & WHDR_INQUEUE) && GetTickCount() < until;) Sleep(5);
        waveOutUnprepareHeader(device, &header, sizeof(header));
        data = Bytes(4096, 0x5A);
        header = {data.data(), 4096};
        waveOutPrepareHeader(device, &header, sizeof(header));
        return through(device, &header, sizeof(header));
    };
    for (bool muted : {false, true}) {
        ASSERT_TRUE(SetProcessMute(muted));
        for (WaveOutWriteFn route : routes) {
            EXPECT_EQ(write(route), MMSYSERR_NOERROR);
            EXPECT_EQ(data, Bytes(4096, muted ? 0 : 0x5A)) << muted;
            EXPECT_EQ(header.dwBufferLength, 4096u);
        }
    }
    // MIDI data goes silent the same way, and the call still reaches the real function.
    auto midiByName = reinterpret_cast<MidiStreamOutFn>(GetProcAddress(winmm, "midiStreamOut"));
    EXPECT_EQ(midiByName(nullptr, &midi, sizeof(midi)), midiAnswer);
    EXPECT_EQ(midiData, Bytes(64, 0));

    // Removal gives the real function back everywhere, even to an address handed out before.
    RemoveSoundInterceptions();
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(winmm, "waveOutWrite")), realWrite);
    EXPECT_EQ(reinterpret_cast<void*>(&waveOutWrite), realWrite);
    EXPECT_EQ(write(byName), MMSYSERR_NOERROR);
    EXPECT_EQ(data, Bytes(4096, 0x5A));
    waveOutReset(device);
    waveOutUnprepareHeader(device, &header, sizeof(header));
    waveOutClose(device);
}

fw::ComPtr<IDirectSound> CreateSound() {
    auto create = reinterpret_cast<DirectSoundCreateFn>(GetProcAddress(LoadLibraryW(L"dsound.dll"), "DirectSoundCreate"));
    fw::ComPtr<IDirectSound> sound;
    if (FAILED(create(nullptr, sound.Put(), nullptr))) return nullptr;
    sound->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);
    return sound;
}

fw::ComPtr<IDirectSoundBuffer> CreateBuffer(IDirectSound* sound) {
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    DSBUFFERDESC description = {sizeof(description), 0, 4096, 0, &format};
    fw::ComPtr<IDirectSoundBuffer> buffer;
    if (FAILED(sound->CreateSoundBuffer(&description, buffer.Put(), nullptr))) return nullptr;
    return buffer;
}

// Fills `size` bytes from `offset` (wrapping round the end) with `value`; Unlock's answer.
HRESULT FillAndUnlock(IDirectSoundBuffer* buffer, DWORD offset, DWORD size, char value) {
    void *part1 = nullptr, *part2 = nullptr;
    DWORD size1 = 0, size2 = 0;
    if (FAILED(buffer->Lock(offset, size, &part1, &size1, &part2, &size2, 0))) return E_FAIL;
    std::memset(part1, value, size1);
    if (part2) std::memset(part2, value, size2);
    return buffer->Unlock(part1, size1, part2, size2);
}

std::vector<char> Contents(IDirectSoundBuffer* buffer) {
    void* data = nullptr;
    DWORD size = 0;
    if (FAILED(buffer->Lock(0, 4096, &data, &size, nullptr, nullptr, 0))) return {};
    std::vector<char> bytes(static_cast<char*>(data), static_cast<char*>(data) + size);
    buffer->Unlock(data, 0, nullptr, 0);  // nothing written, nothing to silence
    return bytes;
}

void** TableSlot(void* object, int entry) { return *static_cast<void***>(object) + entry; }

DWORD PageProtection(const void* address) {
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(address, &region, sizeof(region));
    return region.Protect;
}

TEST(SoundIntercept, RoutedInterfaceTablesKeepTheirPageProtection) {
    // Objects made before the routes exist show the tables as the system left them.
    auto plainSound = CreateSound();
    ASSERT_TRUE(plainSound);
    auto plainBuffer = CreateBuffer(plainSound.Get());
    ASSERT_TRUE(plainBuffer);
    void* const createBefore = *TableSlot(plainSound.Get(), 3);
    void* const unlockBefore = *TableSlot(plainBuffer.Get(), 19);
    const DWORD soundTable = PageProtection(TableSlot(plainSound.Get(), 3));
    const DWORD bufferTable = PageProtection(TableSlot(plainBuffer.Get(), 19));

    UseInterceptions(false);
    auto sound = CreateSound();
    ASSERT_TRUE(sound);
    auto buffer = CreateBuffer(sound.Get());
    ASSERT_TRUE(buffer);
    ASSERT_NE(*TableSlot(sound.Get(), 3), createBefore);
    ASSERT_NE(*TableSlot(buffer.Get(), 19), unlockBefore);
    EXPECT_EQ(PageProtection(TableSlot(sound.Get(), 3)), soundTable);
    EXPECT_EQ(PageProtection(TableSlot(buffer.Get(), 19)), bufferTable);
}

// The first thread to reach the routing of the buffers' table waits there until the other
// one has created its buffer completely.
std::atomic<int> g_arrivals{0};
HANDLE g_oneBufferDone = nullptr;
void LineUpAtTheRouting() {
    if (g_arrivals.fetch_add(1) == 0) WaitForSingleObject(g_oneBufferDone, 10000);
}

TEST(SoundIntercept, TwoThreadsCreatingFirstBuffersLeaveOneRouteThatSilencesBothParts) {
    UseInterceptions(false);
    auto sound = CreateSound();
    ASSERT_TRUE(sound);
    fw::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_oneBufferDone = done.Get();
    SetSlotPatchHookForTests(&LineUpAtTheRouting);
    fw::ComPtr<IDirectSoundBuffer> buffers[2];
    auto create = [&](int i) {
        buffers[i] = CreateBuffer(sound.Get());
        SetEvent(g_oneBufferDone);
    };
    std::thread first(create, 0), second(create, 1);
    first.join();
    second.join();
    SetSlotPatchHookForTests(nullptr);
    EXPECT_EQ(g_arrivals.load(), 2);

    // 2000 bytes from 3000 come in two parts: 1096 at the end and 904 at the start.
    std::vector<char> expected = Bytes(4096, 0x33);
    std::fill(expected.begin(), expected.begin() + 904, 0);
    std::fill(expected.begin() + 3000, expected.end(), 0);
    for (auto& buffer : buffers) {
        ASSERT_TRUE(buffer);
        ASSERT_TRUE(SetProcessMute(false));
        ASSERT_EQ(FillAndUnlock(buffer.Get(), 0, 4096, 0x33), DS_OK);
        ASSERT_EQ(Contents(buffer.Get()), Bytes(4096, 0x33));
        ASSERT_TRUE(SetProcessMute(true));
        EXPECT_EQ(FillAndUnlock(buffer.Get(), 3000, 2000, 0x55), DS_OK);
        EXPECT_EQ(Contents(buffer.Get()), expected);
    }
}

} // namespace
