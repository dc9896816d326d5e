// The sound interception writes into DirectSound's interface tables by entry number, and the
// players' 32-bit build cannot be run on the build machines. So the entry numbers are held
// against the system headers' own table layouts here, at compile time, in both builds: the C
// form of the interfaces names each table entry as a field.
#define CINTERFACE
#include <windows.h>
#include <dsound.h>

#include "hotkeys/SoundRules.h"

#include <cstddef>

static_assert(offsetof(IDirectSoundVtbl, CreateSoundBuffer) ==
                  hotkeys::TableEntryOffset(hotkeys::kCreateSoundBufferEntry, sizeof(void*)),
              "IDirectSound::CreateSoundBuffer entry");
static_assert(offsetof(IDirectSoundBufferVtbl, Unlock) ==
                  hotkeys::TableEntryOffset(hotkeys::kUnlockEntry, sizeof(void*)),
              "IDirectSoundBuffer::Unlock entry");
// The tables hold bare function pointers of one size: the entry number times that size is the
// offset only then.
static_assert(sizeof(IDirectSoundBufferVtbl) % sizeof(void*) == 0, "pointer-sized entries");
