// Downloads another client of the game's maker (the game hall) named by a game page: its
// download address comes from its configuration page on the update server, the installer
// lands in a folder of its own inside the temporary folder with a progress bar, and is then
// started.
#pragma once
#include "framework/Worker.h"
#include "net/HttpFetch.h"
#include "skin/DlgEx.h"
#include "skin/SkinControls.h"

#include <atomic>
#include <functional>
#include <string>

class CDownGameDlg : public CDlgEx {
public:
    // Starts the downloaded installer; true when it started. The program passes its own way
    // of starting programs.
    using ProgramStarter = std::function<bool(const wchar_t* path)>;

    CDownGameDlg(const wchar_t* name, HWND parent, ProgramStarter start);
    // Stops a worker that is still running and waits for it: the worker uses this object.
    ~CDownGameDlg() override;

    // Runs the dialog: IDOK after "确定", IDCANCEL after "取消" or closing.
    INT_PTR Run() { return DoModal(m_hParent); }

    const std::wstring& ConfigUrl() const { return m_strConfigUrl; }
    const std::wstring& SetupUrl() const { return m_strSetupUrl; }
    const wchar_t* SetupPath() const { return m_szSetupPath; }
    // Whether the worker thread is still running.
    bool Working() const;

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    // Only the handlers below close the dialog.
    void OnCancel() override {}

private:
    enum class Outcome { ConfigFailed, Done, Failed };

    void DownloadWorker();
    bool DownloadClientConfig();
    bool DownloadClientSetup();
    void CancelDownload();
    void StopWorker(bool pump);
    // Shows the worker's outcome once it has one: told by a post, and found by a timer should
    // the post be lost (a full message queue drops it).
    void ShowOutcome();

    HWND m_hParent;
    HWND m_hNotify = nullptr;             // this dialog, as the worker posts to it
    ProgramStarter m_start;
    std::wstring m_strName;
    std::wstring m_strConfigUrl;
    std::wstring m_strSetupUrl;           // written by the worker before it reports
    wchar_t m_szSetupFolder[MAX_PATH] = {};  // made by this dialog, removed by the worker
    wchar_t m_szSetupPath[MAX_PATH] = {};    // <folder>\<name>.exe
    fw::Worker m_worker;
    std::atomic<int> m_outcome{-1};       // an Outcome, written by the worker as its last step
    bool m_bOutcomeShown = false;
    // The running transfer's three internet handles; Cancel closes them from this thread,
    // which ends a read the worker is blocked in. The worker alone opens and closes its file.
    CHttpClient m_http;
    std::atomic<bool> m_bStop{false};

    CImgProgress m_progress;
    CBtnEx m_btnOk;
    CBtnEx m_btnCancel;
    CStaticEx m_lblPercent;
};
