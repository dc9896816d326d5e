// The program's own HTTP client over WinINet: one GET with a fixed agent name and header
// block; the body goes to a file in small chunks.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>

inline constexpr wchar_t kHttpAgent[] = L"KRD";
// Sent with every request, the content-type line too although no body follows; the
// operator's servers expect exactly this block (note the blank before the first CR LF).
inline constexpr wchar_t kHttpHeaders[] =
    L"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n";
inline constexpr DWORD kHttpChunkBytes = 512;        // configuration page, update, notice picture
inline constexpr DWORD kHttpClientChunkBytes = 1024;  // game-client download

// Called after each chunk with the percentage done (0-100).
using HttpProgress = std::function<void(int percent)>;

// One internet handle that whichever thread gets there first closes, exactly once.
class CInternetHandle {
public:
    CInternetHandle() = default;
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    void Set(HINTERNET handle) { m_handle.store(handle); }
    HINTERNET Get() const { return m_handle.load(); }
    void Close() {
        if (HINTERNET handle = m_handle.exchange(nullptr)) InternetCloseHandle(handle);
    }

private:
    std::atomic<HINTERNET> m_handle{nullptr};
};

// One request at a time. The three handles live in the object so that another thread can
// stop a transfer with Cancel(); the output file stays with the transferring thread, which
// closes and deletes it when its read fails.
class CHttpClient {
public:
    CHttpClient() = default;
    ~CHttpClient() { CloseHandles(); }
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // GET address ("http://" in any case) into the file path. True only for a 2xx answer
    // with a content length of which at least that many bytes were written: the body goes to
    // a temporary file in the target's folder, which then replaces the target in one rename.
    // On any failure (another status, no content length, a short or cancelled transfer, a
    // write or the rename failing) the temporary file is deleted and whatever was at path
    // stays exactly as it was; so no one ever sees a part of a body under that name.
    bool GetToFile(const wchar_t* address, const wchar_t* path, const HttpProgress& progress = {},
                   DWORD chunkBytes = kHttpChunkBytes);
    // GET address and read nothing back: true when the request was sent. On failure the
    // thread's last error is the one of the failed connection or send.
    bool Ping(const wchar_t* address);

    // From any thread: closes whatever handle is open (each exactly once) and makes the
    // running and any later request fail.
    void Cancel();
    bool Cancelled() const { return m_bCancelled.load(); }

private:
    bool Open(const wchar_t* address);
    bool Adopt(CInternetHandle& slot, HINTERNET handle);
    void CloseHandles();

    CInternetHandle m_hInternet, m_hConnect, m_hRequest;
    std::atomic<bool> m_bCancelled{false};
};

// CHttpClient::GetToFile with a client of its own: the target is replaced whole or not at all.
bool HttpGetToFile(const wchar_t* address, const wchar_t* path, const HttpProgress& progress = {},
                   DWORD chunkBytes = kHttpChunkBytes);
bool HttpPing(const wchar_t* address);
