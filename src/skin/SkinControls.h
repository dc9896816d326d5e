// Controls that draw themselves from skin pictures over their parent's picture: an image
// push button with four states, a static text with its own wrapping, and a picture progress
// bar. Each paints double-buffered and never erases its background on its own.
#pragma once
#include "framework/Window.h"

#include <commctrl.h>
#include <string>

// Has the parent (a skinned dialog) draw its picture into `surface`, shifted so that the
// part under `control` lands at the surface's origin.
void PaintParentBackground(HWND control, HDC surface);

class CBtnEx : public fw::Window {
public:
    CBtnEx() = default;
    ~CBtnEx() override;

    // Cuts `bitmap` into four frames (normal, hover, pressed, disabled) of a quarter of its
    // width; with `resize` the button takes one frame's size. The bitmap stays the caller's.
    void SetButtonImage(HBITMAP bitmap, bool resize);
    void SetButtonTip(const wchar_t* tip);
    // Creates `button` as a child push button whose right edge is at `rightEdge`, sized to
    // one frame of `bitmap`.
    static bool CreateImageButton(int rightEdge, CBtnEx& button, HBITMAP bitmap, int top, int id,
                                  HWND parent);
    // Picks the frame for an item state: 3 disabled, 2 pressed, 1 hovered, 0 normal.
    int FrameForState(UINT itemState);

    bool PreTranslateMessage(MSG& msg) override;

    int tracking = 0;
    int hovering = 0;
    RECT rect = {};
    std::wstring text;
    COLORREF textColour = 0;
    HIMAGELIST images = nullptr;
    int pressedLatch = 0;
    int tipActive = 0;
    HWND tooltip = nullptr;
    std::wstring tipText;

protected:
    void OnSubclass() override;
    void OnFinalMessage() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    void RememberRect();
};

class CStaticEx : public fw::Window {
public:
    CStaticEx() = default;
    ~CStaticEx() override;

    // A small picture drawn left of the text; the bitmap stays the caller's.
    void SetStaticImage(HBITMAP bitmap);
    // Replaces the text and repaints.
    void SetText(const wchar_t* newText);

    std::wstring text;
    int fontWidth = 0;
    int fontWeight = -1;
    int fontHeight = 0;
    int handCursor = 0;
    int underline = 0;
    HFONT font = nullptr;
    COLORREF textColour = 0;
    COLORREF hoverColour = 0;
    int lineSpacing = 3;
    int hoverEnabled = 0;
    int hovering = 0;
    int tracking = 0;
    HIMAGELIST images = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;

protected:
    void OnSubclass() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
    void EnsureFont();
};

class CImgProgress : public fw::Window {
public:
    CImgProgress() = default;
    ~CImgProgress() override;

    // Takes both bitmaps; the control takes the background's size and centres the bar in it.
    void SetProgressImages(HBITMAP background, HBITMAP bar);

    HBITMAP backgroundImage = nullptr;
    HBITMAP barImage = nullptr;
    RECT controlRect = {};
    RECT barRect = {};

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
};
