// The browser cache size limit, raised at start of the window and page processes.
#pragma once

// Writes the browser's "CacheLimit" (1,048,576) under the current user's cache settings
// key. The key is only opened, never created: true when the value was written.
bool SetBrowserCacheLimit();
