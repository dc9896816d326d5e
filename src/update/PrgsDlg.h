// The update progress dialog: downloads the new executable on a worker thread while a
// skinned bar shows the transfer; a watch thread reports the end. The player may cancel.
#pragma once
#include "framework/Handles.h"
#include "framework/Worker.h"
#include "net/HttpFetch.h"
#include "skin/DlgEx.h"
#include "skin/SkinControls.h"

#include <atomic>
#include <memory>
#include <string>

class CPrgsDlg : public CDlgEx {
public:
    // Posted by the watch thread to the dialog once the download thread has ended:
    // wParam 1 when the whole file arrived, 0 otherwise.
    static constexpr UINT UM_DOWNLOAD_DONE = WM_APP + 1;

    CPrgsDlg();
    ~CPrgsDlg() override;

    // Downloads url to file while the dialog runs modally: IDOK when the whole file arrived,
    // IDCANCEL for a refused address, a failed or short transfer, or the player's cancel.
    INT_PTR Run(const wchar_t* url, const wchar_t* file, HWND owner = nullptr);

    const wchar_t* Url() const { return m_szUrl; }
    const wchar_t* File() const { return m_szFile; }

protected:
    bool OnInitDialog() override;
    void OnOK() override {}  // Enter does not end a download
    void OnCancel() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The download job: the whole file at a refused address is never fetched.
    static bool DownloadUpdate(const std::wstring& url, const std::wstring& file, HWND bar, CHttpClient& http);
    // Starts the download job and the watch job, which posts UM_DOWNLOAD_DONE once the
    // download job has ended.
    bool StartWorkers();
    // Waits for both threads to end, handling this thread's messages meanwhile, and closes
    // their handles; the dialog's thread is the only one that closes them.
    void JoinWorkers();
    void Finish(INT_PTR result);

    CImgProgress m_progress;
    wchar_t m_szUrl[512] = {};
    wchar_t m_szFile[MAX_PATH] = {};
    fw::Worker m_download;
    fw::Worker m_watch;
    // The request of one run; Cancel() from this thread closes its handles, which ends a
    // read that blocks the download job. The file stays with the download job.
    std::shared_ptr<CHttpClient> m_http;
    std::shared_ptr<std::atomic<int>> m_success;  // 1 once the whole file has arrived
    fw::UniqueBitmap m_closeImage;  // the caption button only reads it
    HWND m_hProgressWnd = nullptr;  // where the download thread posts the percentage
    bool m_bFinishing = false;      // cancel or the result is being handled
};
