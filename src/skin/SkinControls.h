// Controls that draw themselves from skin pictures over their parent's picture: an image
// push button with four states, a static text with its own wrapping, and a picture progress
// bar. Each paints double-buffered and never erases its background on its own.
#pragma once
#include "framework/Handles.h"
#include "framework/Window.h"
#include "skin/SkinControlParts.h"

#include <string>

class CBtnEx : public fw::Window {
public:
    CBtnEx() = default;

    // Cuts `bitmap` into four frames (normal, hover, pressed, disabled) of a quarter of its
    // width; with `resize` the button takes one frame's size. The bitmap is only read.
    void SetButtonImage(HBITMAP bitmap, bool resize);
    // The tip shown while the mouse rests on the button; its window is made on the first call.
    void SetButtonTip(const wchar_t* tip);
    void SetTextColour(COLORREF colour);
    // Creates `button` as a child push button whose right edge is at `rightEdge`, sized to
    // one frame of `bitmap` (which is only read).
    static bool CreateImageButton(int rightEdge, CBtnEx& button, HBITMAP bitmap, int top, int id,
                                  HWND parent);

    bool IsHovering() const { return m_hover.Hovering(); }
    bool IsTracking() const { return m_hover.Tracking(); }
    // Drops the hover look, for an owner that moves the button away from under the mouse.
    void ClearHover() { m_hover.Clear(); }
    HWND Tooltip() const { return m_tooltip.Get(); }
    const std::wstring& Text() const { return m_text; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    void OnSubclass() override;
    void OnFinalMessage() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The frame for an item state: 3 disabled, 2 pressed, 1 hovered, 0 normal.
    int FrameForState(UINT itemState);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void RememberRect();
    void ShowTipText();

    skin::HoverTracker m_hover;
    RECT m_rect = {};  // only its size is used
    std::wstring m_text;
    COLORREF m_textColour = 0;
    fw::UniqueImageList m_images;
    bool m_pressedLatch = false;  // drawn pressed until the mouse button is released
    bool m_tipActive = false;
    skin::UniquePopup m_tooltip;
    std::wstring m_tipText;
};

// The font a skinned static builds on its first paint from its window's font: each value
// left at its default keeps the window font's.
struct StaticFontOptions {
    int height = 0;
    int weight = -1;
    int width = 0;
    bool underline = false;
};

class CStaticEx : public fw::Window {
public:
    CStaticEx() = default;

    // A small picture drawn left of the text; the bitmap is only read.
    void SetStaticImage(HBITMAP bitmap);
    // Replaces the text and repaints.
    void SetText(const wchar_t* newText);
    void SetTextColour(COLORREF colour);
    // The text takes this colour while the mouse rests on the control.
    void SetHoverColour(COLORREF colour);
    void SetHandCursor(bool on) { m_handCursor = on; }
    // Used when the font is built, on the first paint; later calls change nothing.
    void SetFontOptions(const StaticFontOptions& options) { m_fontOptions = options; }
    void SetLineSpacing(int pixels);

    const std::wstring& Text() const { return m_text; }
    // None before the first paint.
    HFONT Font() const { return m_font.Get(); }
    SIZE ImageSize() const { return SIZE{m_imageWidth, m_imageHeight}; }
    bool IsHovering() const { return m_hover.Hovering(); }

protected:
    void OnSubclass() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
    void DrawContent(HDC canvas, const RECT& client, int& neededHeight);
    void EnsureFont();

    std::wstring m_text;
    StaticFontOptions m_fontOptions;
    bool m_handCursor = false;
    fw::UniqueFont m_font;
    COLORREF m_textColour = 0;
    COLORREF m_hoverColour = 0;
    int m_lineSpacing = 3;
    bool m_hoverEnabled = false;
    skin::HoverTracker m_hover;
    fw::UniqueImageList m_images;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
};

class CImgProgress : public fw::Window {
public:
    CImgProgress() = default;

    // Takes both pictures; the control takes the background's size and centres the bar in it.
    void SetProgressImages(fw::UniqueBitmap background, fw::UniqueBitmap bar);

    const RECT& ControlRect() const { return m_controlRect; }
    // Where the fill may go: the bar picture's size, centred.
    const RECT& BarRect() const { return m_barRect; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);

    fw::UniqueBitmap m_backgroundImage;
    fw::UniqueBitmap m_barImage;
    RECT m_controlRect = {};
    RECT m_barRect = {};
};
