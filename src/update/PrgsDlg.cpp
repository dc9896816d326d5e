#include "update/PrgsDlg.h"
#include "update/UpdateRules.h"
#include "skin/SkinImage.h"
#include "skin_ids.h"
#include "update_ids.h"

#include <commctrl.h>
#include <process.h>
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
    if (m_hDownloadThread) WaitForSingleObject(m_hDownloadThread.Get(), INFINITE);
    if (m_hWatchThread) WaitForSingleObject(m_hWatchThread.Get(), INFINITE);
}

INT_PTR CPrgsDlg::Run(const wchar_t* url, const wchar_t* file, HWND owner) {
    CopyWhole(m_szUrl, url);
    CopyWhole(m_szFile, file);
    m_bSuccess = 0;
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
    m_http = std::make_unique<CHttpClient>();
    m_hDownloadThread.Reset(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, UpdateDownloadThread, this, 0, nullptr)));
    if (!m_hDownloadThread) return false;
    m_hWatchThread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, UpdateWatchThread, this, 0, nullptr)));
    if (!m_hWatchThread) {
        m_http->Cancel();
        return false;
    }
    return true;
}

unsigned __stdcall CPrgsDlg::UpdateDownloadThread(void* dialog) {
    CPrgsDlg* self = static_cast<CPrgsDlg*>(dialog);
    bool whole = false;
    if (update::IsUpdateDownloadAddress(self->m_szUrl)) {
        const HWND bar = self->m_hProgressWnd;
        int shown = -1;
        // Posted, never sent: a thread that waits for the dialog's thread could never be
        // stopped by it.
        whole = self->m_http->GetToFile(self->m_szUrl, self->m_szFile, [bar, &shown](int percent) {
            if (percent == shown) return;
            shown = percent;
            PostMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
        });
        whole = whole && FileHasBytes(self->m_szFile);
    }
    self->m_bSuccess = whole ? 1 : 0;
    return whole ? 1 : 0;
}

unsigned __stdcall CPrgsDlg::UpdateWatchThread(void* dialog) {
    CPrgsDlg* self = static_cast<CPrgsDlg*>(dialog);
    // The handle stays open until this thread has ended: only the dialog's thread closes it.
    WaitForSingleObject(self->m_hDownloadThread.Get(), INFINITE);
    PostMessageW(self->m_hWnd, UM_DOWNLOAD_DONE, self->m_bSuccess.load() ? 1 : 0, 0);
    return 0;
}

void CPrgsDlg::JoinWorkers() {
    bool quit = false;
    WPARAM quitCode = 0;
    for (fw::UniqueHandle* thread : {&m_hDownloadThread, &m_hWatchThread}) {
        if (!*thread) continue;
        HANDLE handle = thread->Get();
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
    m_hWatchThread.Reset();
    m_hDownloadThread.Reset();
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
