#include "net/HttpFetch.h"
#include "net/HttpRules.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

static_assert(sizeof(kHttpHeaders) / sizeof(wchar_t) - 1 == 74, "the header block is 74 characters");

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The folder part of a path, separator included; "." for a bare name (the current folder).
std::wstring FolderOf(const wchar_t* path) {
    const std::wstring whole(path);
    const std::size_t sep = whole.find_last_of(L"\\/");
    return sep == std::wstring::npos ? std::wstring(L".") : whole.substr(0, sep + 1);
}

// A download's own file beside its target: the body is written here and only a whole one
// takes the target's name, so a cut transfer never leaves a part under that name and
// another instance reading the target sees the old file or the new one, never a mix.
// Deleted when it goes unless it was moved over the target.
class StagingFile {
public:
    explicit StagingFile(const wchar_t* target) {
        const std::wstring folder = FolderOf(target);
        // The system's limit for the folder of a temporary name.
        if (folder.size() < MAX_PATH - 14 && GetTempFileNameW(folder.c_str(), L"vdl", 0, m_path)) m_made = true;
    }
    ~StagingFile() {
        if (m_made) DeleteFileW(m_path);
    }
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;

    bool Made() const { return m_made; }
    const wchar_t* Path() const { return m_path; }
    // Same folder: a rename, so the target changes in one step.
    bool MoveOver(const wchar_t* target) {
        if (!MoveFileExW(m_path, target, MOVEFILE_REPLACE_EXISTING)) return false;
        m_made = false;
        return true;
    }

private:
    wchar_t m_path[MAX_PATH] = {};
    bool m_made = false;
};

} // namespace

bool CHttpClient::Adopt(CInternetHandle& slot, HINTERNET handle) {
    if (!handle) return false;
    slot.Set(handle);
    // A cancel that came before the handle was stored did not see it: close it here.
    if (m_bCancelled.load()) {
        slot.Close();
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return false;
    }
    return true;
}

void CHttpClient::CloseHandles() {
    m_hRequest.Close();
    m_hConnect.Close();
    m_hInternet.Close();
}

void CHttpClient::Cancel() {
    m_bCancelled.store(true);
    CloseHandles();
}

bool CHttpClient::Open(const wchar_t* address) {
    if (m_bCancelled.load()) {
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return false;
    }
    net::HttpTarget target;
    if (!address || !net::HasHttpPrefix(address) ||
        !net::SplitHttpUrl(address + net::kHttpPrefixChars, target)) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return false;
    }
    if (!Adopt(m_hInternet, InternetOpenW(kHttpAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)))
        return false;
    if (!Adopt(m_hConnect, InternetConnectW(m_hInternet.Get(), target.host.c_str(), target.port, nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0)))
        return false;
    if (!Adopt(m_hRequest, HttpOpenRequestW(m_hConnect.Get(), L"GET", target.object.c_str(), L"HTTP/1.1",
                                            nullptr, nullptr, INTERNET_FLAG_RELOAD, 0)))
        return false;
    return HttpSendRequestW(m_hRequest.Get(), kHttpHeaders, DWORD(wcslen(kHttpHeaders)), nullptr, 0) != FALSE;
}

bool CHttpClient::Ping(const wchar_t* address) {
    const bool sent = Open(address);
    const DWORD error = sent ? ERROR_SUCCESS : GetLastError();
    CloseHandles();
    SetLastError(error);
    return sent;
}

bool CHttpClient::GetToFile(const wchar_t* address, const wchar_t* path, const HttpProgress& progress,
                            DWORD chunkBytes) {
    struct CloseOnReturn {
        CHttpClient* self;
        ~CloseOnReturn() { self->CloseHandles(); }
    } closer{this};

    if (!path || chunkBytes == 0 || !Open(address)) return false;

    wchar_t status[16] = {};  // 32 bytes
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(m_hRequest.Get(), HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) return false;
    if (!net::HttpStatusIsSuccess(status)) return false;

    DWORD expected = 0;
    size = sizeof(expected);
    if (!HttpQueryInfoW(m_hRequest.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &expected, &size,
                        nullptr) ||
        size != sizeof(expected))
        return false;

    StagingFile staging(path);
    if (!staging.Made()) return false;
    FilePtr file(_wfopen(staging.Path(), L"wb"));
    if (!file) return false;

    BYTE stackBuffer[kHttpClientChunkBytes];
    std::vector<BYTE> largeBuffer;
    BYTE* buffer = stackBuffer;
    if (chunkBytes > sizeof(stackBuffer)) {
        largeBuffer.resize(chunkBytes);
        buffer = largeBuffer.data();
    }

    std::uint64_t total = 0;
    bool written = true;
    for (;;) {
        DWORD got = 0;
        if (m_bCancelled.load() || !InternetReadFile(m_hRequest.Get(), buffer, chunkBytes, &got) || got == 0)
            break;
        if (std::fwrite(buffer, 1, got, file.get()) != got) {
            written = false;
            break;
        }
        total += got;
        if (progress) progress(net::PercentDone(total, expected));
    }
    if (std::fclose(file.release()) != 0) written = false;
    return written && !m_bCancelled.load() && total >= expected && staging.MoveOver(path);
}

bool HttpGetToFile(const wchar_t* address, const wchar_t* path, const HttpProgress& progress, DWORD chunkBytes) {
    CHttpClient client;
    return client.GetToFile(address, path, progress, chunkBytes);
}

bool HttpPing(const wchar_t* address) {
    CHttpClient client;
    return client.Ping(address);
}
