#include "extras/DownGameDlg.h"
#include "extras/DownGameRules.h"
#include "net/HttpRules.h"
#include "skin/SkinImage.h"
#include "update/UpdateCheck.h"

#include "extras_ids.h"
#include "skin_ids.h"

#include <commctrl.h>

#include <iterator>

namespace {

// From the worker to the dialog: the worker never touches a window, it only posts.
constexpr UINT kDownProgress = WM_APP + 1;  // wParam: percent done
constexpr UINT kDownFinished = WM_APP + 2;  // the worker has an outcome
// Looks for the worker's outcome in case its post was lost.
constexpr UINT_PTR kTimerOutcome = 1;
constexpr UINT kOutcomeCheckMs = 250;

constexpr COLORREF kPercentColour = RGB(72, 81, 86);

HBITMAP SkinPicture(UINT id) { return LoadSkinImage(GetModuleHandleW(nullptr), id); }

// A new, empty folder inside temp for one download. A name the system has just reserved as a
// file becomes the folder; should anything take that name in between, no folder is made.
bool MakeOwnFolder(const wchar_t* temp, wchar_t (&folder)[MAX_PATH]) {
    wchar_t unique[MAX_PATH] = {};
    if (!GetTempFileNameW(temp, L"vdg", 0, unique)) return false;
    DeleteFileW(unique);
    if (!CreateDirectoryW(unique, nullptr)) return false;
    wcscpy_s(folder, unique);
    return true;
}

} // namespace

CDownGameDlg::CDownGameDlg(const wchar_t* name, HWND parent, ProgramStarter start)
    : CDlgEx(IDD_DOWNGAME), m_hParent(parent), m_start(std::move(start)), m_strName(name ? name : L"") {}

CDownGameDlg::~CDownGameDlg() { StopWorker(false); }

bool CDownGameDlg::Working() const { return m_worker.Running(); }

bool CDownGameDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetFrame(CaptionBandFrame());
    SetStretchedSkin(IDB_DIALOG_BACKGROUND);
    SetTitle(L"游戏下载中...");

    BindControl(IDC_DOWN_PROGRESS, m_progress);
    BindControl(IDOK, m_btnOk);
    BindControl(IDCANCEL, m_btnCancel);
    BindControl(IDC_DOWN_PERCENT, m_lblPercent);
    EnableWindow(m_btnOk, FALSE);
    fw::UniqueBitmap buttons(SkinPicture(IDB_PUSH_BUTTON));
    m_btnOk.SetButtonImage(buttons.Get(), true);
    m_btnCancel.SetButtonImage(buttons.Get(), true);
    m_lblPercent.SetText(L"");
    m_lblPercent.SetTextColour(kPercentColour);
    StaticFontOptions font;
    font.height = 16;
    m_lblPercent.SetFontOptions(font);
    m_progress.SetProgressImages(fw::UniqueBitmap(SkinPicture(IDB_PROGRESS_BACKGROUND)),
                                 fw::UniqueBitmap(SkinPicture(IDB_PROGRESS_BAR)));

    if (m_strName.empty()) return true;  // nothing to fetch: the dialog stays open and idle
    m_strConfigUrl = downgame::ClientConfigUrl(kUpdateConfigUrl, m_strName);

    // The installer keeps its name (the player sees it when it starts) but goes into a folder
    // of this download's own: a file of that name already in the temporary folder, the
    // player's or another program's, is then neither replaced nor deleted.
    wchar_t temp[MAX_PATH] = {};
    std::wstring setupPath;
    const DWORD tempChars = GetTempPathW(MAX_PATH, temp);
    if (tempChars == 0 || tempChars >= MAX_PATH || !MakeOwnFolder(temp, m_szSetupFolder) ||
        !downgame::SetupPathFor(std::wstring(m_szSetupFolder) + L"\\", m_strName, MAX_PATH - 1, setupPath)) {
        if (m_szSetupFolder[0]) RemoveDirectoryW(m_szSetupFolder);
        SetTitle(L"下载失败");
        return true;
    }
    wcscpy_s(m_szSetupPath, setupPath.c_str());

    m_hNotify = m_hWnd;
    // The worker uses this object; the dialog stops it and waits for its end before it goes
    // (Cancel closes the transfer's handles first, so that wait is short).
    if (!m_worker.Start([this] { DownloadWorker(); })) {
        RemoveDirectoryW(m_szSetupFolder);
        SetTitle(L"下载失败");
        return true;
    }
    SetTimer(m_hWnd, kTimerOutcome, kOutcomeCheckMs, nullptr);
    return true;
}

void CDownGameDlg::DownloadWorker() {
    Outcome outcome = Outcome::ConfigFailed;
    bool downloaded = false;
    if (DownloadClientConfig()) {
        downloaded = !m_bStop.load() && DownloadClientSetup();
        const bool started = downloaded && !m_bStop.load() && m_start && m_start(m_szSetupPath);
        outcome = started ? Outcome::Done : Outcome::Failed;
    }
    // Only what this download made goes: the installer if it arrived (a cut transfer never
    // takes its name), then the folder. Both fail quietly while the installer still runs.
    if (downloaded) DeleteFileW(m_szSetupPath);
    RemoveDirectoryW(m_szSetupFolder);
    m_outcome.store(static_cast<int>(outcome));
    // The quick way to tell; the dialog's timer finds the outcome should this post be lost,
    // and a window gone by now (cancelled) makes it fail.
    fw::PostToWindow(m_hNotify, kDownFinished);
}

void CDownGameDlg::ShowOutcome() {
    const int outcome = m_outcome.load();
    if (outcome < 0 || m_bOutcomeShown) return;
    m_bOutcomeShown = true;
    KillTimer(m_hWnd, kTimerOutcome);
    switch (static_cast<Outcome>(outcome)) {
    case Outcome::ConfigFailed:
        SetTitle(L"下载失败");  // "取消" stays the way out
        break;
    case Outcome::Done:
    case Outcome::Failed:
        SetTitle(static_cast<Outcome>(outcome) == Outcome::Done ? L"下载完成" : L"下载失败");
        EnableWindow(m_btnOk, TRUE);
        EnableWindow(m_btnCancel, FALSE);
        break;
    }
}

bool CDownGameDlg::DownloadClientConfig() {
    // A temporary file of our own: a copy named after the client beside the executable
    // would replace (and then delete) any file of that name there, Statistic.ini included.
    wchar_t temp[MAX_PATH] = {}, configPath[MAX_PATH] = {};
    const DWORD tempChars = GetTempPathW(MAX_PATH, temp);
    if (tempChars == 0 || tempChars >= MAX_PATH || !GetTempFileNameW(temp, L"vdg", 0, configPath)) return false;

    bool ok = m_http.GetToFile(m_strConfigUrl.c_str(), configPath, {}, kHttpClientChunkBytes);
    if (ok) {
        // Room for one character more than an address may have: a value that fills the buffer
        // may have been cut, and a cut address is another address.
        wchar_t address[downgame::kMaxSetupUrlChars + 2] = {};
        const DWORD got = GetPrivateProfileStringW(L"VerKey", L"UpdAddr", L"", address, DWORD(std::size(address)),
                                                   configPath);
        if (got <= downgame::kMaxSetupUrlChars) m_strSetupUrl = address;
    }
    DeleteFileW(configPath);
    return ok;
}

bool CDownGameDlg::DownloadClientSetup() {
    if (!net::IsOperatorSiteAddress(m_strSetupUrl)) return false;
    const HWND notify = m_hNotify;
    // One post per percent, not per chunk: a fast transfer would otherwise fill the dialog's
    // message queue, which then drops posts.
    int shown = -1;
    return m_http.GetToFile(
        m_strSetupUrl.c_str(), m_szSetupPath,
        [notify, &shown](int percent) {
            if (percent == shown) return;
            shown = percent;
            fw::PostToWindow(notify, kDownProgress, static_cast<WPARAM>(percent));
        },
        kHttpClientChunkBytes);
}

void CDownGameDlg::StopWorker(bool pump) {
    m_bStop.store(true);
    m_http.Cancel();  // ends a read the worker is blocked in
    if (!m_worker.Handle()) return;
    const HANDLE thread = m_worker.Handle();
    for (;;) {
        const DWORD r = pump ? MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT)
                             : WaitForSingleObject(thread, INFINITE);
        if (r != WAIT_OBJECT_0 + 1 || !pump) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void CDownGameDlg::CancelDownload() {
    StopWorker(true);
    EndDialog(IDCANCEL);
}

void CDownGameDlg::OnOK() {
    // Enter reaches here too; only a finished download may be confirmed.
    if (IsWindowEnabled(m_btnOk)) EndDialog(IDOK);
}

bool CDownGameDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return true;
    return CDlgEx::PreTranslateMessage(msg);
}

LRESULT CDownGameDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            CancelDownload();
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close button: after the work a plain close, during it a cancel.
        if (IsWindowEnabled(m_btnOk))
            EndDialog(IDCANCEL);
        else
            CancelDownload();
        return 0;
    case kDownProgress: {
        const int percent = static_cast<int>(wParam);
        SendMessageW(m_progress, PBM_SETPOS, wParam, 0);
        m_lblPercent.SetText(downgame::PercentLabel(percent).c_str());
        UpdateWindow(m_lblPercent);
        return 0;
    }
    case kDownFinished:
        ShowOutcome();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerOutcome) {
            ShowOutcome();
            return 0;
        }
        break;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
