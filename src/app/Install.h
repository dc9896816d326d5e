// Installer run: the program copies itself into its data folder, puts a shortcut on the
// all-users desktop and two into an all-users start-menu folder, and starts the installed
// copy. The uninstaller removes the shortcuts with the deletion functions here.
#pragma once
#include <windows.h>

#include <string>

enum class InstallOutcome {
    Done,            // installed (steps that failed were skipped silently)
    FolderRefused,   // the data folder or its parent is a reparse point, or no folder: nothing done
};

// The whole installation. Before anything is copied, the data folder and its parent are
// opened as they are (a junction or link is not followed) and refused when either is a
// reparse point: a user may have made one that sends the protected copy somewhere else.
// The folder then gets owner Administrators with the access list below, through that same
// handle. The installed copy is started only when this run's copy succeeded or the file
// there is byte-for-byte the running program. Other failures are silent and every step runs.
InstallOutcome InstallSelf();
// Whether two files hold the same bytes; false when either can't be read.
bool SameFileContents(const wchar_t* a, const wchar_t* b);

// The desktop shortcut to target with "/VelkorD"; a per-user desktop shortcut of the same
// name goes. True when the link was written.
bool CreateDesktopShortcut(const wchar_t* target);
// A shortcut in the start-menu folder (created when missing); true when the link was written.
bool CreateStartMenuShortcut(const wchar_t* name, const wchar_t* target, const wchar_t* arguments);
// One link file through the shell's link object: target, its icon 0, arguments, and a
// description when one is given. True when the link file was saved. COM must be started.
bool CreateShellLink(const wchar_t* link, const wchar_t* target, const wchar_t* description,
                     const wchar_t* arguments);
// Delete "<folder>\<name>.lnk"; true when a file was deleted.
bool DeleteDesktopShortcut(const wchar_t* name);
bool DeleteStartMenuShortcut(const wchar_t* name);
// The all-users start-menu folder of the program; empty when the system can't say.
std::wstring StartMenuFolderPath();

// Copies source onto target through a temporary file in the target's folder and then
// replaces the target in one move, so that an interrupted or failed copy leaves the old
// target whole. copy (CopyFileW when null) is replaceable in tests.
using CopyFileFn = bool (*)(const wchar_t* from, const wchar_t* to);
bool CopyOverWhole(const wchar_t* source, const wchar_t* target, CopyFileFn copy = nullptr);

// The security the data folder gets: the elevated program starts files from it, so only
// Administrators and SYSTEM may write there; everyone may read and run. The owner is
// Administrators too: a folder a user made first would otherwise stay theirs, and an owner
// may always rewrite the access list.
inline constexpr wchar_t kDataFolderSddl[] =
    L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;WD)";
// Sets that owner and access list on an open folder (opened with WRITE_DAC and WRITE_OWNER).
bool SecureDataFolder(HANDLE folder);
