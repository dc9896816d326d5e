// Cleaning of the browser's cache and the plug-in's local storage, and the removal of the
// cached game loader before a refresh. Cookies are never deleted, so logins survive.
#pragma once
#include <windows.h>

// The menu's "清除缓存": runs ClearCaches on a worker thread that nobody waits for. False
// when the thread could not start.
bool StartCacheCleaning();
// DeleteFlashSharedObjects, then ClearUrlCache, whose result it returns.
int ClearCaches();

// Deletes the plug-in's storage folder (roaming application data\Macromedia\Flash
// Player\#SharedObjects): DeleteTree's result, 0 when the folder can't be determined.
int DeleteFlashSharedObjects();
// Deletes every URL-cache entry except cookies, then the temporary internet files folder:
// DeleteTree's result on that folder, 0 when it can't be determined.
int ClearUrlCache();
// Deletes the cache entries whose address contains "SevrithLoader.swf?username=" in any
// letter case: 1 when the enumeration ended normally.
int PurgeLoaderCache();
// Deletes a folder with everything in it, clearing read-only files first. Links inside
// (junctions, symbolic links) are removed themselves; what they point to is never entered.
// A path that would not fit MAX_PATH is a failure, never cut. 1 when everything including
// the folder itself went; otherwise 0 with the last error set, the rest still deleted.
int DeleteTree(const wchar_t* path);
