// The base of every skinned dialog: no system caption or border, a background picture laid
// over the window, a title and small icon in the caption band, image caption buttons, an
// outline cut from the picture's magenta corners, dragging, border resizing and a
// maximised position that fills the work area.
#pragma once
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "skin/SkinControls.h"

// Commands of the caption buttons.
constexpr int IDC_SKIN_CLOSE = 50000;
constexpr int IDC_SKIN_MINIMIZE = 50001;
constexpr int IDC_SKIN_MAXIMIZE = 50002;

// How a skinned dialog lays out its frame and caption. Subclasses set it after CDlgEx's
// initialisation and before SetSkin.
struct SkinFrame {
    bool showTitle = true;      // the window text in the caption band
    bool showIcon = true;       // the small icon in the caption band
    int captionHeight = -1;     // -1: no band of its own; the whole window drags
    int buttonRightMargin = 5;  // from the rightmost caption button to the right edge
    int buttonTop = 1;
    int buttonGap = 0;          // between caption buttons when SetSkin creates them
    int borderWidth = 3;        // frame pieces, resize band, the icon's left
    COLORREF titleColour = RGB(255, 255, 255);
    int titleWeight = 400;
    bool resizable = false;     // border resizing and maximising by a caption double click
};

// The program's usual caption band: 30 pixels high, a 4-pixel border, the caption buttons
// flush with the top right corner.
inline SkinFrame CaptionBandFrame() {
    SkinFrame frame;
    frame.captionHeight = 30;
    frame.borderWidth = 4;
    frame.buttonRightMargin = 0;
    frame.buttonTop = 0;
    frame.buttonGap = 0;
    return frame;
}

// The pictures of a skinned dialog. The dialog takes the background and the two maximise
// pictures, which it draws again on every size change and toggle; the close and minimise
// pictures are only read into their buttons and stay the caller's. A picture left out
// makes no button.
struct SkinPictures {
    fw::UniqueBitmap background;
    bool resizeToImage = false;  // the window takes the background's size
    bool stretch = false;        // edges and centre stretched to the window; else copied as they are
    HBITMAP minimize = nullptr;
    fw::UniqueBitmap maximize;
    fw::UniqueBitmap restore;
    HBITMAP close = nullptr;
};

class CDlgEx : public fw::Dialog {
public:
    explicit CDlgEx(UINT templateId) : fw::Dialog(templateId) {}
    explicit CDlgEx(const DLGTEMPLATE* memoryTemplate) : fw::Dialog(memoryTemplate) {}

    void SetSkin(SkinPictures pictures);
    // The skin of the program's plain dialogs: one of its background pictures stretched to
    // the window, and its close button.
    void SetStretchedSkin(UINT backgroundId);
    void SetTitle(const wchar_t* text);

    const SkinFrame& Frame() const { return m_frame; }
    void SetFrame(const SkinFrame& frame) { m_frame = frame; }
    // The largest size of the maximised window; the work area's size at initialisation.
    SIZE MaximizedLimit() const { return SIZE{m_maxWidth, m_maxHeight}; }
    void SetMaximizedLimit(int width, int height);
    // Where restoring puts the window.
    const RECT& RestoreRect() const { return m_restoreRect; }
    bool IsMaximized() const { return m_maximized; }
    const CBtnEx& CloseButton() const { return m_closeButton; }
    const CBtnEx& MinimizeButton() const { return m_minimizeButton; }
    const CBtnEx& MaximizeButton() const { return m_maximizeButton; }

    virtual void OnSkinClose();
    virtual void OnSkinMinimize();
    virtual void OnSkinToggleMaximize();
    virtual void OnSkinMaximizeStateChanged(bool nowMaximized);

    // Draws the frame pieces of the background over a window-sized surface.
    void DrawSkinFrame(HDC surface);
    void BuildSkinRegion();

protected:
    bool OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The whole window picture: frame, icon and title. False when there is no background.
    bool PaintSkin(HDC surface);

private:
    void LayoutCaptionButtons(int clientWidth);
    RECT TitleRect(const wchar_t* text);
    fw::UniqueFont CreateTitleFont(LONG* height) const;

    SkinFrame m_frame;
    fw::UniqueBitmap m_background;
    CBtnEx m_closeButton;
    CBtnEx m_minimizeButton;
    CBtnEx m_maximizeButton;
    int m_maxWidth = 0, m_maxHeight = 0;
    RECT m_restoreRect = {};
    bool m_maximized = false;
    bool m_stretch = false;
    fw::UniqueBitmap m_maximizeImage;
    fw::UniqueBitmap m_restoreImage;
};
