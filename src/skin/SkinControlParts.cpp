#include "skin/SkinControlParts.h"
#include "framework/Canvas.h"

namespace skin {

void PaintParentBackground(HWND control, HDC surface) {
    HWND parent = GetParent(control);
    if (!parent) return;
    RECT mine = {}, theirs = {};
    GetWindowRect(control, &mine);
    GetWindowRect(parent, &theirs);
    POINT old = {};
    SetWindowOrgEx(surface, mine.left - theirs.left, mine.top - theirs.top, &old);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface), 0);
    SetWindowOrgEx(surface, old.x, old.y, nullptr);
}

void PaintBuffered(HWND control, HDC target, int width, int height, const std::function<void(HDC)>& draw) {
    fw::Canvas canvas(target, width, height);
    if (!canvas.Ok()) return;
    PaintParentBackground(control, canvas);
    draw(canvas);
    canvas.CopyTo(target);
}

bool HandleSelfPaint(HWND control, UINT msg, WPARAM wParam, const std::function<void(HDC)>& paint,
                     LRESULT& result) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(control, &ps);
        paint(dc);
        EndPaint(control, &ps);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    }
    return false;
}

bool HoverTracker::OnMouseMessage(HWND control, UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!m_tracking) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, control, 10};
            m_tracking = TrackMouseEvent(&tme) != FALSE;
        }
        return false;
    case WM_MOUSEHOVER:
        m_hovering = true;
        InvalidateRect(control, nullptr, FALSE);
        return true;
    case WM_MOUSELEAVE:
        m_hovering = false;
        m_tracking = false;
        InvalidateRect(control, nullptr, FALSE);
        return true;
    }
    return false;
}

} // namespace skin
