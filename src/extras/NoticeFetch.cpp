#include "extras/NoticeFetch.h"
#include "extras/NoticeRules.h"
#include "net/HttpFetch.h"
#include "net/HttpRules.h"

#include "velkor_config.h"

const wchar_t kNoticeUrl[] = L"http://" VELKOR_CLIENT_HOST L"/notice/velkor.txt";

bool FetchNoticeText(const wchar_t* address, std::wstring& text) {
    text.clear();
    net::HttpTarget target;
    if (!address || !net::IsOperatorSiteAddress(address) ||
        !net::SplitHttpUrl(address + net::kHttpPrefixChars, target))
        return false;

    CInternetHandle internet, connect, request;
    internet.Set(InternetOpenW(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet.Get()) return false;
    connect.Set(InternetConnectW(internet.Get(), target.host.c_str(), target.port, nullptr, nullptr,
                                 INTERNET_SERVICE_HTTP, 0, 0));
    if (!connect.Get()) return false;
    request.Set(HttpOpenRequestW(connect.Get(), L"GET", target.object.c_str(), L"HTTP/1.1", nullptr, nullptr,
                                 INTERNET_FLAG_RELOAD, 0));
    if (!request.Get()) return false;
    if (!HttpSendRequestW(request.Get(), kHttpHeaders, DWORD(wcslen(kHttpHeaders)), nullptr, 0)) return false;

    wchar_t status[16] = {};
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE, status, &size, nullptr) ||
        !net::HttpStatusIsSuccess(status))
        return false;
    DWORD expected = 0;
    size = sizeof(expected);
    if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &expected, &size,
                        nullptr) ||
        size != sizeof(expected) || expected >= notice::kMaxNoticeBytes)
        return false;

    char body[notice::kMaxNoticeBytes] = {};
    DWORD total = 0;
    while (total < expected) {
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), body + total, expected - total, &got) || got == 0) return false;
        total += got;
    }
    if (total == 0) return true;  // an empty notice: nothing to show
    const int chars = MultiByteToWideChar(CP_ACP, 0, body, int(total), nullptr, 0);
    if (chars <= 0) return false;
    text.resize(static_cast<size_t>(chars));
    MultiByteToWideChar(CP_ACP, 0, body, int(total), text.data(), chars);
    return true;
}

bool DownloadNoticePicture(CHttpClient& client, const std::wstring& pictureUrl, const std::wstring& path) {
    if (!net::IsOperatorSiteAddress(pictureUrl)) return false;
    return client.GetToFile(pictureUrl.c_str(), path.c_str());
}
