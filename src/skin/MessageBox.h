// Every message the player sees. Styles: 0 OK, 1 OK/Cancel, 4 Yes/No. Answers: 1 OK,
// 2 Cancel (and whenever the box is closed), 6 Yes, 7 No.
#pragma once
#include "skin/DlgEx.h"

#include <string>

// A modal skinned box that sizes itself to its text ("\n" separates lines) and offers one
// button ("确定") or two ("确定"/"取消" for type 1, "是"/"否" for type 4).
class CMessageBox : public CDlgEx {
public:
    // The box owns the four pictures from here on.
    CMessageBox(const wchar_t* text, HBITMAP background, HBITMAP closeImage, HBITMAP button1Image,
                HBITMAP button2Image, const wchar_t* caption, int type);
    ~CMessageBox() override;

    HBITMAP m_hBkImage = nullptr;
    HBITMAP m_hCloseImage = nullptr;
    HBITMAP m_hBtn1Image = nullptr;
    HBITMAP m_hBtn2Image = nullptr;
    std::wstring m_strText;
    std::wstring m_strCaption;
    int m_nType = 0;
    int m_nLines = 1;
    HFONT m_pFont = nullptr;
    COLORREF m_crText = 0;
    CBtnEx m_btn1;
    CBtnEx m_btn2;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    // Enter and Escape do not answer the question.
    void OnOK() override {}
    void OnCancel() override {}

private:
    SIZE MeasureText(HDC dc) const;
    void PaintText(HDC dc);
    bool CreateButton(CBtnEx& button, int id, const wchar_t* label, const RECT& r, HBITMAP image);
};

int ShowSkinMessageBox(HWND parent, const wchar_t* text, HBITMAP background, HBITMAP closeImage,
                       HBITMAP button1Image, HBITMAP button2Image, const wchar_t* caption, int type);

int AppMessageBox(int style, const wchar_t* caption, const wchar_t* text, HWND parent);
