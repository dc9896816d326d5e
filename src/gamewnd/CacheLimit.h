// Browser cache limit, raised at start of the window and page processes.
#pragma once

void SetBrowserCacheLimit();
