// The base of every skinned dialog: no system caption or border, a background picture laid
// over the window, a title and small icon in the caption band, image caption buttons, an
// outline cut from the picture's magenta corners, dragging, border resizing and a
// maximised position that fills the work area.
#pragma once
#include "framework/Dialog.h"
#include "skin/SkinControls.h"

#define IDC_SKIN_CLOSE 50000
#define IDC_SKIN_MINIMIZE 50001
#define IDC_SKIN_MAXIMIZE 50002

class CDlgEx : public fw::Dialog {
public:
    explicit CDlgEx(UINT templateId) : fw::Dialog(templateId) {}
    explicit CDlgEx(const DLGTEMPLATE* memoryTemplate) : fw::Dialog(memoryTemplate) {}
    ~CDlgEx() override;

    // Takes `background`, `maximizeImage` and `restoreImage`; the close and minimise pictures
    // are copied into their buttons and stay the caller's.
    void SetSkin(HBITMAP background, bool resizeToImage, int stretch, HBITMAP minimizeImage,
                 HBITMAP maximizeImage, HBITMAP restoreImage, HBITMAP closeImage);
    void SetTitle(const wchar_t* text);

    virtual void OnSkinClose();
    virtual void OnSkinMinimize();
    virtual void OnSkinToggleMaximize();
    virtual void OnSkinMaximizeStateChanged(bool nowMaximized);

    // Draws the frame pieces of the background over a window-sized surface.
    void DrawSkinFrame(HDC surface);
    void BuildSkinRegion();

    int showTitle = 1;
    int showIcon = 1;
    int captionHeight = -1;
    int buttonRightMargin = 5;
    int buttonTop = 1;
    int buttonGap = 0;
    int borderWidth = 3;
    COLORREF titleColour = RGB(255, 255, 255);
    int titleWeight = 400;
    HBITMAP background = nullptr;
    CBtnEx closeButton;
    CBtnEx minimizeButton;
    CBtnEx maximizeButton;
    int maxWidth = 0, maxHeight = 0;
    RECT restoreRect = {};
    int maximized = 0;
    int resizable = 0;
    int stretchMode = 0;
    HBITMAP maximizeImage = nullptr;
    HBITMAP restoreImage = nullptr;

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The whole window picture: frame, icon and title. False when there is no background.
    bool PaintSkin(HDC surface);

private:
    void LayoutCaptionButtons(int clientWidth);
    RECT TitleRect(const wchar_t* text);
};
