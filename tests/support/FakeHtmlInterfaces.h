// Do-nothing implementations of large document interfaces, for fakes in tests: every
// method answers E_NOTIMPL, and a fake overrides the few its test needs. The method lists
// follow the interface declarations of the system's mshtml.h.
#pragma once
#include <windows.h>
#include <mshtml.h>

namespace testing_support {

// IUnknown and IDispatch of a fake that lives on the stack or as a member of a test: the
// count is kept so that tests can see references taken and given back.
template <class I>
class FakeDispatch : public I {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, Iid())) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
protected:
    virtual const IID& Iid() const = 0;
};

class NotImplIHTMLEventObj : public FakeDispatch<IHTMLEventObj> {
public:
    HRESULT STDMETHODCALLTYPE get_srcElement(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_altKey(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ctrlKey(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_shiftKey(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_returnValue(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_returnValue(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_cancelBubble(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cancelBubble(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fromElement(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_toElement(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_keyCode(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_keyCode(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_button(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_type(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_qualifier(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_reason(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_x(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_y(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_clientX(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_clientY(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetX(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetY(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_screenX(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_screenY(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_srcFilter(IDispatch **p) override { return E_NOTIMPL; }
protected:
    const IID& Iid() const override { return IID_IHTMLEventObj; }
};

class NotImplIHTMLElement : public FakeDispatch<IHTMLElement> {
public:
    HRESULT STDMETHODCALLTYPE setAttribute(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags = 1) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR strAttributeName, LONG lFlags = 0, VARIANT *AttributeValue = 0) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE removeAttribute(BSTR strAttributeName, LONG lFlags = 1, VARIANT_BOOL *pfSuccess = 0) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_className(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_className(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_id(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_id(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_parentElement(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_style(IHTMLStyle **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onhelp(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onhelp(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onclick(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onclick(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondblclick(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondblclick(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeydown(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeydown(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeyup(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeyup(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onkeypress(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onkeypress(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseout(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseout(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseover(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseover(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmousemove(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmousemove(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmousedown(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmousedown(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onmouseup(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onmouseup(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_document(IDispatch **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_title(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_title(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_language(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_language(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onselectstart(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onselectstart(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE scrollIntoView(VARIANT varargStart) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE contains(IHTMLElement *pChild, VARIANT_BOOL *pfResult) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_sourceIndex(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_recordNumber(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_lang(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_lang(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetLeft(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetTop(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetWidth(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetHeight(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_offsetParent(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_innerHTML(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_innerHTML(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_innerText(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_innerText(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_outerHTML(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_outerText(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_outerText(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE insertAdjacentHTML(BSTR where, BSTR html) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE insertAdjacentText(BSTR where, BSTR text) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_parentTextEdit(IHTMLElement **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_isTextEdit(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE click() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_filters(IHTMLFiltersCollection **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondragstart(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondragstart(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE toString(BSTR *String) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onbeforeupdate(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onbeforeupdate(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onafterupdate(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onafterupdate(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onerrorupdate(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onerrorupdate(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onrowexit(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onrowexit(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onrowenter(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onrowenter(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondatasetchanged(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondatasetchanged(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondataavailable(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ondatasetcomplete(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ondatasetcomplete(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onfilterchange(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onfilterchange(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_children(IDispatch **p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_all(IDispatch **p) override { return E_NOTIMPL; }
protected:
    const IID& Iid() const override { return IID_IHTMLElement; }
};

class NotImplIHTMLStyle : public FakeDispatch<IHTMLStyle> {
public:
    HRESULT STDMETHODCALLTYPE put_fontFamily(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fontFamily(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fontStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fontStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fontVariant(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fontVariant(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fontWeight(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fontWeight(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fontSize(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fontSize(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_font(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_font(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_color(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_color(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_background(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_background(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundColor(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundColor(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundImage(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundImage(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundRepeat(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundRepeat(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundAttachment(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundAttachment(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundPosition(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundPosition(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundPositionX(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundPositionX(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_backgroundPositionY(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_backgroundPositionY(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_wordSpacing(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_wordSpacing(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_letterSpacing(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_letterSpacing(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecoration(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecoration(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecorationNone(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecorationNone(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecorationUnderline(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecorationUnderline(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecorationOverline(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecorationOverline(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecorationLineThrough(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecorationLineThrough(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textDecorationBlink(VARIANT_BOOL v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textDecorationBlink(VARIANT_BOOL *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_verticalAlign(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_verticalAlign(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textTransform(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textTransform(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textAlign(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textAlign(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_textIndent(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_textIndent(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_lineHeight(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_lineHeight(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_marginTop(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_marginTop(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_marginRight(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_marginRight(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_marginBottom(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_marginBottom(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_marginLeft(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_marginLeft(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_margin(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_margin(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_paddingTop(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_paddingTop(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_paddingRight(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_paddingRight(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_paddingBottom(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_paddingBottom(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_paddingLeft(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_paddingLeft(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_padding(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_padding(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_border(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_border(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderTop(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderTop(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderRight(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderRight(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderBottom(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderBottom(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderLeft(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderLeft(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderColor(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderColor(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderTopColor(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderTopColor(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderRightColor(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderRightColor(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderBottomColor(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderBottomColor(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderLeftColor(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderLeftColor(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderWidth(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderWidth(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderTopWidth(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderTopWidth(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderRightWidth(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderRightWidth(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderBottomWidth(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderBottomWidth(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderLeftWidth(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderLeftWidth(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderTopStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderTopStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderRightStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderRightStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderBottomStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderBottomStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_borderLeftStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_borderLeftStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_width(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_width(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_height(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_height(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_styleFloat(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_styleFloat(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_clear(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_clear(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_display(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_display(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_visibility(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_visibility(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_listStyleType(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_listStyleType(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_listStylePosition(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_listStylePosition(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_listStyleImage(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_listStyleImage(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_listStyle(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_listStyle(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_whiteSpace(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_whiteSpace(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_top(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_top(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_left(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_left(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_position(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_zIndex(VARIANT v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_zIndex(VARIANT *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_overflow(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_overflow(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pageBreakBefore(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pageBreakBefore(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pageBreakAfter(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pageBreakAfter(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_cssText(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pixelTop(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pixelTop(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pixelLeft(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pixelLeft(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pixelWidth(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pixelWidth(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_pixelHeight(LONG v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_pixelHeight(LONG *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_posTop(float v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_posTop(float *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_posLeft(float v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_posLeft(float *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_posWidth(float v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_posWidth(float *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_posHeight(float v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_posHeight(float *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_cursor(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cursor(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_clip(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_clip(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_filter(BSTR v) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_filter(BSTR *p) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE setAttribute(BSTR strAttributeName, VARIANT AttributeValue, LONG lFlags = 1) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR strAttributeName, LONG lFlags = 0, VARIANT *AttributeValue = 0) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE removeAttribute(BSTR strAttributeName, LONG lFlags = 1, VARIANT_BOOL *pfSuccess = 0) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE toString(BSTR *String) override { return E_NOTIMPL; }
protected:
    const IID& Iid() const override { return IID_IHTMLStyle; }
};

} // namespace testing_support
