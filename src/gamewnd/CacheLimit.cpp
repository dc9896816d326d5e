#include "gamewnd/CacheLimit.h"

void SetBrowserCacheLimit() {}
