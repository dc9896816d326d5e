// Records whose layout differs between the 32-bit build players get and the 64-bit build the
// tests run. The 32-bit executable is never started on the build machines, so its layouts are
// proved here, at compile time, for both bitnesses.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// The tray record: the system reads cbSize to learn which fields exist. The headers are set to
// XP, so the record ends at guidItem: 952 bytes on 32-bit Windows (968 on 64-bit, where the
// handles are 8 bytes), a size every shell from XP on accepts; XP's refuses the later record
// with hBalloonIcon (956 and 976 bytes).
static_assert(sizeof(void*) != 4 || sizeof(NOTIFYICONDATAW) == 952, "NOTIFYICONDATAW, 32-bit");
static_assert(sizeof(void*) != 8 || sizeof(NOTIFYICONDATAW) == 968, "NOTIFYICONDATAW, 64-bit");

// The copy-data record that carries a page process's account key to its main window: the
// system marshals it between processes of either bitness, so only cbData and lpData matter.
static_assert(sizeof(void*) != 4 || (sizeof(COPYDATASTRUCT) == 12 && offsetof(COPYDATASTRUCT, cbData) == 4 &&
                                     offsetof(COPYDATASTRUCT, lpData) == 8),
              "COPYDATASTRUCT, 32-bit");
static_assert(sizeof(void*) != 8 || (sizeof(COPYDATASTRUCT) == 24 && offsetof(COPYDATASTRUCT, cbData) == 8 &&
                                     offsetof(COPYDATASTRUCT, lpData) == 16),
              "COPYDATASTRUCT, 64-bit");
// The key travels as UTF-16 text whose size in bytes is twice its length.
static_assert(sizeof(wchar_t) == 2, "UTF-16 text");
static_assert(sizeof(DWORD) == 4, "cbData is 32 bits on both bitnesses");

// Window handles keep their value in 32 bits, so one passed as a decimal on a page process's
// command line means the same window to a process of the other bitness.
static_assert(sizeof(LONG) == 4 && sizeof(HANDLE) == sizeof(void*), "handle width");
