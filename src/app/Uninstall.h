// Uninstall: the settings key, the shortcuts, the uninstall ping and the self-deleting batch
// that removes the executable once the program has ended.
#pragma once
#include "app/StatPing.h"

#include <string>
#include <string_view>

// The whole uninstall after the player agreed; failures are silent and every step runs.
// Returns once the ping has its address: the caller waits for pings.pingDone.
void UninstallSelf(const PingEvents& pings);

// Deletes the three shortcuts, and the start-menu folder when it holds no file. True.
bool RemoveShortcuts();

// The files below the folder, in every sub-folder, counted up to install::kEnoughFiles;
// install::kFolderNotListed for an empty path, a folder (or sub-folder) that cannot be
// listed, or a path that would not fit. Links and junctions are neither followed nor counted.
int CountFilesInFolder(const wchar_t* path);

// Writes text's bytes at the end of the file, created when missing. The number of bytes
// written, or -1 with the system's error code kept.
int AppendToFile(const wchar_t* path, std::string_view text);

enum class SelfDeleteResult {
    BatchStarted,     // the batch runs and deletes the executable once it can
    DeleteAtRestart,  // no batch: the system deletes the executable at the next restart
    Failed,
};
// Writes and starts the self-deleting batch for the running executable.
void StartSelfDelete();
// The same for exePath with the batch at batchPath (created or emptied first).
SelfDeleteResult StartSelfDeleteOf(const std::wstring& exePath, const std::wstring& batchPath);
