#include "update/PrgsDlg.h"
#include "update/UpdateRules.h"
#include "skin/SkinImage.h"
#include "skin_ids.h"
#include "update_ids.h"

#include <commctrl.h>
#include <cwchar>

namespace {

// An announced length of 0 makes any answer "complete": an empty file is never a program.
bool FileHasBytes(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) &&
           (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

// Copies text when it fits whole; an address or path cut short would name something else.
template <std::size_t N>
void CopyWhole(wchar_t (&out)[N], const wchar_t* text) {
    out[0] = L'\0';
    if (text && std::wcslen(text) < N) wcscpy_s(out, text);
}

} // namespace

CPrgsDlg::CPrgsDlg() : CDlgEx(IDD_UPDATE_PROGRESS) {}

CPrgsDlg::~CPrgsDlg() {
    // Normally the threads were joined before the dialog ended; a dialog destroyed another
    // way still must not leave them using this object.
    if (m_http) m_http->Cancel();
    m_download.Wait(INFINITE);
    m_watch.Wait(INFINITE);
}

INT_PTR CPrgsDlg::Run(const wchar_t* url, const wchar_t* file, HWND owner) {
    CopyWhole(m_szUrl, url);
    CopyWhole(m_szFile, file);
    m_bFinishing = false;
    return DoModal(owner);
}

bool CPrgsDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetFrame(CaptionBandFrame());
    SetTitle(L"版本更新中...");

    HINSTANCE module = GetModuleHandleW(nullptr);
    m_closeImage.Reset(LoadSkinImage(module, IDB_CLOSE_BUTTON));
    SkinPictures look;
    look.background.Reset(LoadSkinImage(module, IDB_DIALOG_BACKGROUND));
    look.stretch = true;
    look.close = m_closeImage.Get();
    SetSkin(std::move(look));

    // Centred on the desktop and above other windows: nothing else of the program shows yet.
    RECT box = {}, desk = {};
    GetWindowRect(m_hWnd, &box);
    GetWindowRect(GetDesktopWindow(), &desk);
    const int x = desk.left + ((desk.right - desk.left) - (box.right - box.left)) / 2;
    const int y = desk.top + ((desk.bottom - desk.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);

    BindControl(IDC_UPDATE_PROGRESS, m_progress);
    m_hProgressWnd = m_progress.Handle();
    SendMessageW(m_hProgressWnd, PBM_SETRANGE32, 0, 100);
    m_progress.SetProgressImages(fw::UniqueBitmap(LoadSkinImage(module, IDB_PROGRESS_BACKGROUND)),
                                 fw::UniqueBitmap(LoadSkinImage(module, IDB_PROGRESS_BAR)));

    if (!StartWorkers()) PostMessageW(m_hWnd, UM_DOWNLOAD_DONE, 0, 0);
    return true;
}

bool CPrgsDlg::StartWorkers() {
    // Each job has its own copies; the client and the outcome are shared with this thread,
    // which cancels the one and reads the other once the jobs have ended.
    m_http = std::make_shared<CHttpClient>();
    m_success = std::make_shared<std::atomic<int>>(0);
    const std::wstring url = m_szUrl, file = m_szFile;
    const HWND bar = m_hProgressWnd, self = m_hWnd;
    const std::shared_ptr<CHttpClient> http = m_http;
    const std::shared_ptr<std::atomic<int>> success = m_success;
    if (!m_download.Start([url, file, bar, http, success] { *success = DownloadUpdate(url, file, bar, *http) ? 1 : 0; }))
        return false;
    // The download's handle stays open until this job has ended: only the dialog's thread
    // closes it, after waiting for both.
    const HANDLE download = m_download.Handle();
    if (!m_watch.Start([download, self, success] {
            WaitForSingleObject(download, INFINITE);
            fw::PostToWindow(self, UM_DOWNLOAD_DONE, success->load() ? 1 : 0);
        })) {
        m_http->Cancel();
        return false;
    }
    return true;
}

bool CPrgsDlg::DownloadUpdate(const std::wstring& url, const std::wstring& file, HWND bar, CHttpClient& http) {
    if (!update::IsUpdateDownloadAddress(url)) return false;
    int shown = -1;
    // Posted, never sent: a thread that waits for the dialog's thread could never be stopped
    // by it.
    const bool whole = http.GetToFile(url.c_str(), file.c_str(), [bar, &shown](int percent) {
        if (percent == shown) return;
        shown = percent;
        PostMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    });
    return whole && FileHasBytes(file.c_str());
}

void CPrgsDlg::JoinWorkers() {
    bool quit = false;
    WPARAM quitCode = 0;
    for (const fw::Worker* worker : {&m_download, &m_watch}) {
        HANDLE handle = worker->Handle();
        if (!handle) continue;
        while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    quitCode = msg.wParam;
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    m_http.reset();
    // A quit taken while waiting belongs to the loops further out.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void CPrgsDlg::Finish(INT_PTR result) {
    if (m_bFinishing) return;
    m_bFinishing = true;
    // A stop flag and closed handles end the transfer where it stands: a thread killed inside
    // a file write or an internet read would leave their locks held for good.
    if (result != IDOK && m_http) m_http->Cancel();
    JoinWorkers();
    EndDialog(result);
}

void CPrgsDlg::OnCancel() { Finish(IDCANCEL); }

LRESULT CPrgsDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == UM_DOWNLOAD_DONE) {
        Finish(wParam ? IDOK : IDCANCEL);
        return 0;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
