#include "net/HttpFetch.h"

DWORD HttpPing(const wchar_t* url, const wchar_t* body) {
    return ERROR_NOT_SUPPORTED;
}
