// Every message the player sees. Answers: IDOK (1), IDCANCEL (2, also whenever the box is
// closed), IDYES (6), IDNO (7).
#pragma once
#include "skin/DlgEx.h"
#include "skin/MsgBoxKind.h"

#include <string>

// The pictures of a message box, all taken by the box.
struct MessageBoxPictures {
    fw::UniqueBitmap background;
    fw::UniqueBitmap close;
    fw::UniqueBitmap button1;
    fw::UniqueBitmap button2;  // none: the first button's picture serves both
};

// A modal skinned box that sizes itself to its text ("\n" separates lines) and offers one
// button ("确定") or two ("确定"/"取消", or "是"/"否").
class CMessageBox : public CDlgEx {
public:
    CMessageBox(const wchar_t* text, MessageBoxPictures pictures, const wchar_t* caption, MsgBoxKind kind);

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
    HFONT TextFont() const;

    MessageBoxPictures m_pictures;  // the background goes to the dialog base at initialisation
    std::wstring m_strText;
    std::wstring m_strCaption;
    MsgBoxKind m_kind;
    int m_nLines = 1;
    HFONT m_pFont = nullptr;  // the dialog's own font
    COLORREF m_crText = 0;
    CBtnEx m_btn1;
    CBtnEx m_btn2;
};

int ShowSkinMessageBox(HWND parent, const wchar_t* text, MessageBoxPictures pictures, const wchar_t* caption,
                       MsgBoxKind kind);

// The box with the program's own pictures.
int AppMessageBox(MsgBoxKind kind, const wchar_t* caption, const wchar_t* text, HWND parent);
