// A dialog whose face is a web page: the system's browser control covers the client area
// of a dialog made from a template, its questions and events arrive as virtual handlers,
// and the mouse events of each loaded document are routed through a table of rows to member
// handlers (the first row that fits the event's source element wins).
#pragma once
#include "framework/BrowserHost.h"
#include "framework/DhtmlEvents.h"
#include "framework/Dialog.h"

#include <mshtml.h>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class HtmlDialog;

// The mouse events of a loaded document (HTMLDocumentEvents2), handed on to its dialog.
class DocumentEventSink final : public DispatchEventSink {
public:
    explicit DocumentEventSink(HtmlDialog* owner);
    // From now on the events reach nobody.
    void Disconnect() { m_pOwner = nullptr; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

private:
    ~DocumentEventSink() override = default;
    HtmlDialog* m_pOwner;
};

class HtmlDialog : public Dialog, public BrowserHostClient {
public:
    explicit HtmlDialog(UINT templateId) : Dialog(templateId) {}
    explicit HtmlDialog(const DLGTEMPLATE* memoryTemplate) : Dialog(memoryTemplate) {}
    ~HtmlDialog() override;

    IWebBrowser2* Browser() const { return m_host.Browser(); }
    // The control's own window, a child of the dialog.
    HWND BrowserWindow() const { return m_host.ControlWindow(); }
    BrowserControlSite* ControlSite() const { return m_host.Site(); }
    bool Navigate(const wchar_t* url) { return m_host.Navigate(url); }
    // The document of the last completed top-level navigation (one reference held), or null.
    IHTMLDocument2* Document() const { return m_doc.Get(); }

    // A handler returns S_FALSE to cancel the event's default action (selection, dragging,
    // the context menu). A row without a handler only cancels.
    using DhtmlHandler = std::function<HRESULT(IHTMLElement* source)>;
    struct DhtmlEventRow {
        DhtmlEvent event;
        DhtmlMatch match;
        std::wstring text;
        DhtmlHandler handler;
    };
    const std::vector<DhtmlEventRow>& DhtmlEventTable() const { return m_eventTable; }

    // A mouse event of the page, with its source element (the innermost one under the mouse;
    // its ancestors are not considered), that element's whole class attribute and its tag
    // name. The first row that fits is called and its result returned; S_OK (the browser's
    // default handling) when no row fits.
    HRESULT OnDocumentMouseEvent(DhtmlEvent event, IHTMLElement* source, std::wstring_view classAttr,
                                 std::wstring_view tagName);

    // Keys aimed at the page go to the browser first, so that it keeps its own keyboard.
    bool PreTranslateMessage(MSG& msg) override;

    // While the browser shows a modal box of its own (a page script's alert) the dialog is
    // in modal state: BeginModalState as the first box opens, EndModalState as the last
    // one closes. Nothing happens here by default.
    virtual void BeginModalState() {}
    virtual void EndModalState() {}

protected:
    // Creates the control over the whole client area (navigation is left to the subclass).
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The site given to the control; null makes the control fail.
    virtual ComPtr<BrowserControlSite> CreateControlSite(HWND container) {
        return ComPtr<BrowserControlSite>::Adopt(new BrowserControlSite(container, this));
    }
    // Whether page script may reach ExternalDispatch() as window.external.
    virtual bool CanAccessExternal() { return false; }
    virtual bool IsExternalDispatchSafe() { return false; }
    // The object offered as window.external (not counted here), or null.
    virtual IDispatch* ExternalDispatch() { return nullptr; }

    // Replaces the whole event table.
    void SetDhtmlEventTable(std::vector<DhtmlEventRow> rows) { m_eventTable = std::move(rows); }

    // BrowserHostClient: host flags of a flat dialog page, window.external as allowed above,
    // and the document taken (and listened to) after each completed top-level navigation.
    HRESULT HostGetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT HostGetExternal(IDispatch** dispatch) override;
    // Counts the browser's modal boxes into Begin/EndModalState; an end without a
    // beginning is ignored.
    void HostEnableModeless(bool enable) override;
    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;

private:
    void ConnectDocument(ComPtr<IHTMLDocument2> doc);
    void DisconnectDocument();
    void TearDown();

    BrowserHost m_host;
    ComPtr<IHTMLDocument2> m_doc;
    ComPtr<DocumentEventSink> m_docSink;
    EventConnection m_docEvents;
    int m_nModalBoxes = 0;  // browser boxes open now
    std::vector<DhtmlEventRow> m_eventTable;
};

// Whether disp is the top-level browser itself (not one of its frames).
bool IsTopLevelBrowser(IWebBrowser2* browser, IDispatch* disp);

} // namespace fw
