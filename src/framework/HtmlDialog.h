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

class DocumentEventSink;

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
    IHTMLDocument2* Document() const { return m_pHtmlDoc; }

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

protected:
    // Creates the control over the whole client area (navigation is left to the subclass).
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The site given to the control, with one reference; null makes the control fail.
    virtual BrowserControlSite* CreateControlSite(HWND container) {
        return new BrowserControlSite(container, this);
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
    void OnNavigateComplete2(IDispatch* disp, const wchar_t* url) override;

private:
    void ConnectDocument(IHTMLDocument2* doc);
    void DisconnectDocument();
    void TearDown();

    BrowserHost m_host;
    IHTMLDocument2* m_pHtmlDoc = nullptr;
    DocumentEventSink* m_pDocSink = nullptr;
    IConnectionPoint* m_pDocPoint = nullptr;
    DWORD m_dwDocCookie = 0;
    std::vector<DhtmlEventRow> m_eventTable;
};

// Whether disp is the top-level browser itself (not one of its frames).
bool IsTopLevelBrowser(IWebBrowser2* browser, IDispatch* disp);

// The COM identity of a document-event sink is counted in BrowserObjectsAlive too.
class DocumentEventSink : public IDispatch {
public:
    explicit DocumentEventSink(HtmlDialog* owner);
    void Disconnect() { m_pOwner = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

private:
    virtual ~DocumentEventSink();
    LONG m_nRef = 1;
    HtmlDialog* m_pOwner;
};

} // namespace fw
