#include "gamewnd/CacheLimit.h"

// Placeholder: the cache limit comes with the cache cleaning.
void SetBrowserCacheLimit() {}
