// The operator's pop-up notice: fetched by a worker thread when the dialog is created, shown in
// the bottom-right corner of the work area for 11 seconds, and brought back every 40 minutes
// as often as the notice asks. A click on it opens its link; closing it dismisses that notice
// for good.
#pragma once
#include "extras/NoticeRules.h"
#include "framework/ShellOpen.h"
#include "framework/Worker.h"
#include "skin/DlgEx.h"
#include "skin/SkinControls.h"

#include <memory>
#include <string>

// Timers of the notice.
constexpr UINT_PTR kTimerNoticeVisible = 1;  // the notice has been on screen long enough
constexpr UINT_PTR kTimerNoticeRepeat = 2;   // time to show it again
constexpr UINT kNoticeVisibleMs = 11000;
constexpr UINT kNoticeRepeatMs = 2400000;

// How many times the notice came back in this run.
extern int g_nNoticeShows;

// Where the notice comes from and where its state goes; the defaults are the program's.
struct NoticeSetup {
    std::wstring noticeUrl;    // the notice text
    std::wstring iniPath;      // Statistic.ini beside the executable ("PopInfo", "PopEnable")
    std::wstring picturePath;  // PopWnd.jpg beside the executable
    std::wstring today;        // "YYYY-MM-DD"; empty: the local date when the notice is decided
    fw::ShellOpenFn openLink = nullptr;  // how the link is opened; null: the shell
    UINT visibleMs = kNoticeVisibleMs;
    UINT repeatMs = kNoticeRepeatMs;

    static NoticeSetup Program();
};

// "PopInfo" and "PopEnable" of section Velkor of the given INI file.
std::wstring ReadPopInfo(const std::wstring& iniPath);
std::wstring ReadPopEnable(const std::wstring& iniPath);
bool WritePopInfo(const std::wstring& iniPath, const std::wstring& text);
bool WritePopEnable(const std::wstring& iniPath, const wchar_t* value);

class CPopInfoDlg : public CDlgEx {
public:
    explicit CPopInfoDlg(NoticeSetup setup = NoticeSetup::Program());
    // Lets the worker go on alone, as when the window is destroyed.
    ~CPopInfoDlg() override;

    // What the main window calls once per run, on the thread of its keyboard hook: creates
    // the notice hidden (modeless, owned by `parent`) and returns at once while a worker
    // fetches it, and the picture when it has one. When the answer is in, the notice is
    // recorded and shown if it is wanted and the parent is visible; a notice that is not
    // wanted closes itself. Returns whether the notice was asked for.
    bool Open(HWND parent);

    // Whether the fetched notice is to be shown; false until its answer is in.
    bool Wanted() const { return m_bWanted; }
    const notice::Notice& Fields() const { return m_notice; }
    notice::Layout LayoutShown() const { return m_layout; }

    const CStaticEx& PictureLabel() const { return m_lblPic; }
    const CStaticEx& TitleLabel() const { return m_lblTitle; }
    const CStaticEx& ContentLabel() const { return m_lblContent; }
    const CStaticEx& MoreLabel() const { return m_lblMore; }

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    // Enter and Escape do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    struct FetchJob;
    void OnFetched();
    void LetWorkerGo();
    // pictureArrived: the notice's picture is complete at the picture path.
    void LayOut(bool pictureArrived);
    void StyleTextLabel(CStaticEx& label, COLORREF colour, bool bold);
    void ShowPicture(CStaticEx& label, bool arrived);
    void OpenNoticeLink();
    void Close();
    void ShowOnTop();
    void OnTimer(UINT_PTR id);
    static void Place(HWND wnd, int x, int y, int w, int h);

    NoticeSetup m_setup;
    notice::Notice m_notice;
    notice::Layout m_layout = notice::Layout::TextOnly;
    bool m_bWanted = false;
    // Shared with the worker, which only ever touches the job: a dialog gone before the
    // answer leaves the worker to post to a window that is no longer there.
    std::shared_ptr<FetchJob> m_job;
    fw::Worker m_worker;
    CStaticEx m_lblPic;
    CStaticEx m_lblTitle;
    CStaticEx m_lblContent;
    CStaticEx m_lblMore;
};
