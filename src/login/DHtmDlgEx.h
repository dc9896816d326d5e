// The base of the program's HTML dialogs. A page in one of them behaves like a borderless
// application window: no browser context menu or script-error dialogs, the window is
// dragged by pressing on the page background, elements of class "button" are three-state
// sprites with mouse capture, and addresses beginning with "app:" are never navigated to:
// they are the commands of the operator's pages.
#pragma once
#include "framework/HtmlDialog.h"
#include "login/ButtonSprites.h"
#include "login/MyBrowserControlSite.h"

class CDHtmDlgEx : public fw::HtmlDialog, public ShowUiTarget {
public:
    explicit CDHtmDlgEx(UINT templateId);
    ~CDHtmDlgEx() override;

    // The browser's navigate-error event. By default the error page is cancelled.
    void OnNavigateError(IDispatch* disp, const wchar_t* url, const wchar_t* targetFrame, LONG statusCode,
                         VARIANT_BOOL* cancel) override;
    // The browser's own message boxes (a page script's alert) and help requests, passed on
    // by the control site. S_FALSE lets the browser show its own.
    HRESULT OnShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                          DWORD helpContext, LRESULT* result) override;
    HRESULT OnShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mousePosition,
                       IDispatch* hitObject) override;

    // While the browser shows a modal box the dialog window is disabled.
    void BeginModalState() override;
    void EndModalState() override;

    // The default before-navigate rule: app: commands are cancelled, lower-case javascript:
    // addresses explicitly allowed, anything else left to the browser.
    void OnBeforeNavigateApp(const wchar_t* url, VARIANT_BOOL* cancel);

    // Handlers of the document's mouse events; each returns S_FALSE (default action off).
    HRESULT ButtonNormal(IHTMLElement* element);
    HRESULT ButtonHover(IHTMLElement* element);
    HRESULT ButtonPress(IHTMLElement* element);
    HRESULT ButtonRelease(IHTMLElement* element);
    HRESULT DragDown(IHTMLElement* element);
    HRESULT DragUp(IHTMLElement* element);
    HRESULT DragMove(IHTMLElement* element);

    // The element pressed while the dialog holds the capture, or null.
    SpriteElement* PressedElement() const { return m_sprites.Pressed(); }

protected:
    // Silent mode on (no script-error or other browser dialogs).
    bool OnInitDialog() override;
    // Enter never closes the dialog.
    void OnOK() override {}
    bool CanAccessExternal() override { return true; }
    bool IsExternalDispatchSafe() override { return true; }
    // The page's body scrolls "auto" after each completed navigation.
    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;
    // No context menu anywhere in the page.
    HRESULT HostShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdTarget, IDispatch* object) override {
        return S_OK;
    }
    HRESULT HostGetHostInfo(DOCHOSTUIINFO* info) override;
    fw::ComPtr<fw::BrowserControlSite> CreateControlSite(HWND container) override;
    void OnBeforeNavigate2(IDispatch* disp, const wchar_t* url, DWORD flags, const wchar_t* targetFrame,
                           VARIANT* postData, const wchar_t* headers, VARIANT_BOOL* cancel) override;
    // A button release while a sprite press holds the capture ends the press here.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    class WindowCapture : public MouseCapture {
    public:
        explicit WindowCapture(CDHtmDlgEx& dlg) : m_dlg(dlg) {}
        bool HasCapture() override;
        void Capture() override;
        void Release() override;
    private:
        CDHtmDlgEx& m_dlg;
    };

    void SendDrag(UINT ncMessage);

    WindowCapture m_capture{*this};
    ButtonSprites m_sprites{m_capture};
};
