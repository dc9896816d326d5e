// Browser cache limit, raised at start of the window and page processes.
#pragma once

// Placeholder until the cache work is built: changes nothing.
void SetBrowserCacheLimit();
