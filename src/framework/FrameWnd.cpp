#include "framework/FrameWnd.h"

namespace fw {

LRESULT FrameWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (m_pView && m_pView->Handle())
            MoveWindow(m_pView->Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_SETFOCUS:
        if (m_pView && m_pView->Handle()) {
            SetFocus(m_pView->Handle());
            return 0;
        }
        break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace fw
