// What every skinned control shares: its whole picture built off-screen over the part of
// its parent's picture it covers, the hover look from the mouse's hover and leave
// notifications, and helper windows that live and die with their control.
#pragma once
#include "framework/Handles.h"

#include <functional>

namespace skin {

// Has the parent (a skinned dialog) draw its picture into `surface`, shifted so that the
// part under `control` lands at the surface's origin.
void PaintParentBackground(HWND control, HDC surface);

// Builds the control's picture off-screen (width x height): the parent's picture, then
// `draw`; then copies it to `target` in one block, so that nothing flickers.
void PaintBuffered(HWND control, HDC target, int width, int height, const std::function<void(HDC)>& draw);

// WM_PAINT and WM_PRINTCLIENT of a control that draws itself whole with `paint`, and
// WM_ERASEBKGND answered as done (the painting covers everything). False for other messages.
bool HandleSelfPaint(HWND control, UINT msg, WPARAM wParam, const std::function<void(HDC)>& paint,
                     LRESULT& result);

// The hover state of one control.
class HoverTracker {
public:
    // Follows WM_MOUSEMOVE, WM_MOUSEHOVER and WM_MOUSELEAVE of `control`: the first move asks
    // for hover (after 10 ms) and leave notifications; hover and leave change the state and
    // repaint the control without erasing. True for those two notifications (answered with 0);
    // a move goes on to the default handling.
    bool OnMouseMessage(HWND control, UINT msg);
    bool Hovering() const { return m_hovering; }
    bool Tracking() const { return m_tracking; }
    // As after a leave, without repainting.
    void Clear() { m_hovering = m_tracking = false; }

private:
    bool m_tracking = false;
    bool m_hovering = false;
};

using fw::UniquePopup;

} // namespace skin
