#include "extras/PopInfoDlg.h"
#include "common/AppMessages.h"
#include "extras/NoticeFetch.h"
#include "net/HttpFetch.h"
#include "settings/SettingsRules.h"
#include "settings/SettingsStore.h"
#include "skin/SkinImage.h"

#include <atomic>
#include <string_view>

#include "extras_ids.h"
#include "skin_ids.h"

int g_nNoticeShows = 0;

namespace {

constexpr COLORREF kTitleColour = RGB(19, 43, 67);
constexpr COLORREF kTextColour = RGB(30, 39, 46);
constexpr COLORREF kHoverColour = RGB(22, 122, 235);

HBITMAP SkinPicture(UINT id) { return LoadSkinImage(GetModuleHandleW(nullptr), id); }

// How long a notice that goes gives its worker to end a cancelled picture transfer: the
// program may end right after its windows, and the worker deletes its temporary file then.
constexpr DWORD kPictureCleanupMs = 3000;

// The picture comes over plain HTTP: decoded only when its first bytes say a format the
// notice allows. The file stays open, closed to writers, from the check until it is decoded,
// so what is decoded is what was checked.
fw::UniqueBitmap LoadNoticePicture(const std::wstring& path) {
    fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    char head[notice::kPictureHeadBytes] = {};
    DWORD got = 0;
    if (!ReadFile(file.Get(), head, sizeof(head), &got, nullptr) ||
        !notice::IsDecodablePicture(std::string_view(head, got)))
        return {};
    int w = 0, h = 0;
    return fw::UniqueBitmap(LoadImageFile(path.c_str(), &w, &h));
}

std::wstring ModulePathOf(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    return ModuleFilePath(name, path) ? path : L"";
}

} // namespace

NoticeSetup NoticeSetup::Program() {
    NoticeSetup s;
    s.noticeUrl = kNoticeUrl;
    s.iniPath = ModuleIniPath();
    s.picturePath = ModulePathOf(L"PopWnd.jpg");
    return s;
}

std::wstring ReadPopInfo(const std::wstring& iniPath) { return ReadIniValue(iniPath, settings::kKeyPopInfo, 1024); }
std::wstring ReadPopEnable(const std::wstring& iniPath) { return ReadIniValue(iniPath, settings::kKeyPopEnable, 8); }

bool WritePopInfo(const std::wstring& iniPath, const std::wstring& text) {
    return WriteIniValue(iniPath, settings::kKeyPopInfo, text.c_str());
}

bool WritePopEnable(const std::wstring& iniPath, const wchar_t* value) {
    return WriteIniValue(iniPath, settings::kKeyPopEnable, value);
}

CPopInfoDlg::CPopInfoDlg(NoticeSetup setup) : CDlgEx(IDD_POPINFO), m_setup(std::move(setup)) {}

// What the worker is given and what it brings back. The inputs are copies taken on the
// dialog's thread; the results are written by the worker before `done` and read by the
// dialog after it.
struct CPopInfoDlg::FetchJob {
    HWND dialog = nullptr;
    std::wstring noticeUrl;
    std::wstring picturePath;
    std::wstring popInfo;
    std::wstring popEnable;
    std::wstring today;

    std::wstring text;  // each field kept up to its first line end: what is shown is stored
    notice::Notice fields;
    bool show = false;
    bool picture = false;  // the picture arrived complete at picturePath
    std::atomic<bool> done{false};
    std::atomic<bool> abandoned{false};  // the dialog went first
    // The picture's transfer, which the dialog cancels when it goes; set while it may run.
    CHttpClient pictureClient;
    std::atomic<bool> inPicture{false};

    void Run() {
        std::wstring answer;
        if (FetchNoticeText(noticeUrl.c_str(), answer)) {
            text = notice::KeepFirstLines(answer);
            show = notice::DecideNoticeText(text, popInfo, popEnable, today, fields) == notice::Decision::Show;
            // The layout follows whatever fields were taken, shown or not.
            if (notice::ChooseLayout(fields) != notice::Layout::TextOnly) {
                // Set before `abandoned` is read, as the dialog sets `abandoned` before it reads
                // this: either the dialog waits for the transfer's end or no transfer starts.
                inPicture.store(true);
                if (!abandoned.load()) picture = DownloadNoticePicture(pictureClient, fields.pictureUrl, picturePath);
                inPicture.store(false);
            }
        }
        done.store(true);
        fw::PostToWindow(dialog, UM_NOTICE_FETCHED);  // fails harmlessly once the dialog is gone
    }
};

CPopInfoDlg::~CPopInfoDlg() { LetWorkerGo(); }

void CPopInfoDlg::LetWorkerGo() {
    // The worker spares itself the picture; whatever it still posts finds no window. A picture
    // transfer under way is cancelled, which ends it at once (closing its handles ends the read
    // it waits in), and is given a moment to delete its temporary file.
    if (m_job) {
        m_job->abandoned.store(true);
        m_job->pictureClient.Cancel();
        if (m_job->inPicture.load()) m_worker.Wait(kPictureCleanupMs);
    }
    m_job.reset();
}

bool CPopInfoDlg::Open(HWND parent) {
    if (m_hWnd || !CreateModeless(parent)) return false;
    return m_hWnd && m_job;
}

void CPopInfoDlg::OnFetched() {
    if (!m_job || !m_job->done.load()) return;  // not our answer
    const std::shared_ptr<FetchJob> job = std::move(m_job);
    m_notice = job->fields;
    m_bWanted = job->show;
    if (m_bWanted) {
        WritePopInfo(m_setup.iniPath, job->text);
        WritePopEnable(m_setup.iniPath, L"1");
    }
    LayOut(job->picture);

    if (m_bWanted) {
        RECT wa = {}, wr = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
        GetWindowRect(m_hWnd, &wr);
        SetWindowPos(m_hWnd, HWND_TOPMOST, wa.right - (wr.right - wr.left), wa.bottom - (wr.bottom - wr.top), 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        ShowWindow(m_hWnd, SW_HIDE);
        PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    SetTimer(m_hWnd, kTimerNoticeVisible, m_setup.visibleMs, nullptr);
    // A hidden main window keeps the notice hidden until the next repetition.
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (m_bWanted && (!owner || IsWindowVisible(owner))) ShowOnTop();
}

bool CPopInfoDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    // A notice is no application window: no taskbar button.
    const LONG ex = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    // Topmost before the skin's close button adds its tooltip: a window that owns a topmost
    // popup is not always made topmost afterwards (Wine keeps it where it was).
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    BindControl(IDC_POP_PICTURE, m_lblPic);
    BindControl(IDC_POP_TITLE, m_lblTitle);
    BindControl(IDC_POP_CONTENT, m_lblContent);
    BindControl(IDC_POP_MORE, m_lblMore);

    // Nothing to fetch without a place to record the notice: closed at once, unseen.
    if (m_setup.iniPath.empty()) {
        PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return true;
    }
    auto job = std::make_shared<FetchJob>();
    job->dialog = m_hWnd;
    job->noticeUrl = m_setup.noticeUrl;
    job->picturePath = m_setup.picturePath;
    job->popInfo = ReadPopInfo(m_setup.iniPath);
    job->popEnable = ReadPopEnable(m_setup.iniPath);
    job->today = m_setup.today;
    if (job->today.empty()) {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        job->today = notice::DateText(now.wYear, now.wMonth, now.wDay);
    }
    // The worker owns its share of the job and is never waited for while it may be on the
    // network: a server that never answers must not hold up the dialog's end or the program's.
    if (!m_worker.Start([job] { job->Run(); })) {
        PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return true;
    }
    m_job = std::move(job);
    return true;
}

void CPopInfoDlg::ShowOnTop() {
    // Topmost again as it shows: the window system may not keep the order of a hidden window.
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CPopInfoDlg::Place(HWND wnd, int x, int y, int w, int h) {
    SetWindowPos(wnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CPopInfoDlg::StyleTextLabel(CStaticEx& label, COLORREF colour, bool bold) {
    if (bold) {
        StaticFontOptions font;
        font.weight = FW_BOLD;
        label.SetFontOptions(font);
    }
    label.SetTextColour(colour);
    label.SetHoverColour(kHoverColour);
    label.SetHandCursor(true);
    // Clicks reach the dialog as commands.
    SetWindowLongW(label, GWL_STYLE, GetWindowLongW(label, GWL_STYLE) | SS_NOTIFY);
}

void CPopInfoDlg::ShowPicture(CStaticEx& label, bool arrived) {
    label.SetText(L"");
    if (!arrived) return;
    fw::UniqueBitmap picture = LoadNoticePicture(m_setup.picturePath);
    if (picture) label.SetStaticImage(picture.Get());  // the label keeps a copy
}

void CPopInfoDlg::LayOut(bool pictureArrived) {
    m_layout = notice::ChooseLayout(m_notice);
    SkinFrame frame;
    frame.showTitle = false;
    frame.showIcon = false;
    frame.captionHeight = 0;
    frame.buttonGap = 0;
    SkinPictures pictures;
    pictures.resizeToImage = true;
    pictures.stretch = false;
    fw::UniqueBitmap close;
    switch (m_layout) {
    case notice::Layout::PictureAndText:
        pictures.background.Reset(SkinPicture(IDB_NOTICE_BACKGROUND));
        close.Reset(SkinPicture(IDB_NOTICE_CLOSE));
        break;
    case notice::Layout::PictureOnly:
        // The picture's magenta surroundings are see-through.
        SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hWnd, SKIN_KEY_COLOUR, 0, LWA_COLORKEY);
        pictures.background.Reset(SkinPicture(IDB_NOTICE_PICTURE_BACKGROUND));
        close.Reset(SkinPicture(IDB_NOTICE_PICTURE_CLOSE));
        break;
    case notice::Layout::TextOnly:
        pictures.background.Reset(SkinPicture(IDB_NOTICE_TEXT_BACKGROUND));
        close.Reset(SkinPicture(IDB_NOTICE_CLOSE));
        break;
    }
    // The frame's numbers do not depend on the window's size.
    const notice::NoticePlaces band = notice::PlacesFor(m_layout, 0, 0);
    frame.borderWidth = band.borderWidth;
    frame.buttonRightMargin = band.borderWidth;
    frame.buttonTop = band.closeTop;
    pictures.close = close.Get();
    SetFrame(frame);
    SetSkin(std::move(pictures));

    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const notice::NoticePlaces places = notice::PlacesFor(m_layout, client.right, client.bottom);
    const auto place = [](HWND wnd, const notice::Place& at) { Place(wnd, at.x, at.y, at.w, at.h); };
    if (places.pictureIsContent) {
        ShowPicture(m_lblContent, pictureArrived);
        m_lblContent.SetHandCursor(true);
        SetWindowLongW(m_lblContent, GWL_STYLE, GetWindowLongW(m_lblContent, GWL_STYLE) | SS_NOTIFY);
        place(m_lblContent, places.content);
        return;
    }
    if (places.hasPicture) {
        ShowPicture(m_lblPic, pictureArrived);
        place(m_lblPic, places.picture);
    }
    StyleTextLabel(m_lblTitle, kTitleColour, true);
    if (places.titleCentred)
        SetWindowLongW(m_lblTitle, GWL_STYLE, (GetWindowLongW(m_lblTitle, GWL_STYLE) & ~SS_TYPEMASK) | SS_CENTER);
    m_lblTitle.SetText(m_notice.title.c_str());
    place(m_lblTitle, places.title);
    StyleTextLabel(m_lblContent, kTextColour, false);
    const std::size_t keep =
        places.hasPicture ? notice::kContentKeptWithPicture : notice::kContentKeptTextOnly;
    m_lblContent.SetText(notice::ShortContent(m_notice.content, keep).c_str());
    place(m_lblContent, places.content);
    StyleTextLabel(m_lblMore, kTextColour, false);
    place(m_lblMore, places.more);
}

void CPopInfoDlg::Close() {
    KillTimer(m_hWnd, kTimerNoticeVisible);
    KillTimer(m_hWnd, kTimerNoticeRepeat);
    fw::Dialog::EndDialog(IDCANCEL);
}

void CPopInfoDlg::OpenNoticeLink() {
    Close();
    WritePopEnable(m_setup.iniPath, L"0");
    // Only a web address: the notice arrives over plain HTTP at an elevated program.
    if (!m_notice.linkUrl.empty()) fw::OpenWebAddress(m_notice.linkUrl.c_str(), SW_SHOWMAXIMIZED, m_setup.openLink);
}

void CPopInfoDlg::OnTimer(UINT_PTR id) {
    if (id == kTimerNoticeVisible) {
        KillTimer(m_hWnd, kTimerNoticeVisible);
        if (g_nNoticeShows < m_notice.repeatCount) {
            SetTimer(m_hWnd, kTimerNoticeRepeat, m_setup.repeatMs, nullptr);
            ShowWindow(m_hWnd, SW_HIDE);
        } else {
            WritePopEnable(m_setup.iniPath, L"1");
            Close();
        }
    } else if (id == kTimerNoticeRepeat) {
        ++g_nNoticeShows;
        KillTimer(m_hWnd, kTimerNoticeRepeat);
        SetTimer(m_hWnd, kTimerNoticeVisible, m_setup.visibleMs, nullptr);
        // A hidden main window keeps the notice hidden until the next repetition.
        const HWND owner = GetWindow(m_hWnd, GW_OWNER);
        if (!owner || IsWindowVisible(owner)) ShowOnTop();
    }
}

bool CPopInfoDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (code != STN_CLICKED) return false;
    if (id == IDC_POP_TITLE || id == IDC_POP_CONTENT || id == IDC_POP_MORE) {
        OpenNoticeLink();
        return true;
    }
    return false;
}

LRESULT CPopInfoDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case UM_NOTICE_FETCHED:
        OnFetched();
        return 0;
    case WM_DESTROY:
        LetWorkerGo();
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:  // the close button or the system close: dismissed
            WritePopEnable(m_setup.iniPath, L"0");
            Close();
            return 0;
        case SC_MINIMIZE:  // closed without dismissing
            Close();
            return 0;
        }
        break;
    }
    return CDlgEx::HandleMessage(msg, wParam, lParam);
}
