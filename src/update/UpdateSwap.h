// Update download with its progress dialog, and the swap of the running executable.
#pragma once
#include "update/UpdateCheck.h"

// Downloads the offer's executable as NewVelkor.exe beside the running one, checks that it
// carries the server's version key and puts it in place of the running executable, which
// steps aside as OldVelkor.exe (deleted at the next restart of the machine). True when the
// new executable is in place; otherwise the running one is where it was and the download
// is gone. A whole download that does not carry the server's key has that key remembered as
// refused (RememberRefusedKey), so that it is not downloaded again.
bool SwapInUpdate(const UpdateOffer& offer);

// Renames self to oldPath (replacing it) and newPath to self. When the second rename
// fails the first is undone, so that self always names a whole program; false then, and
// false when the first rename fails (for example while oldPath is still the image of a
// running instance).
bool ReplaceExecutable(const wchar_t* self, const wchar_t* newPath, const wchar_t* oldPath);
