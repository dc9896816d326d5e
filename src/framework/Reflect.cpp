#include "framework/Reflect.h"
#include "framework/Window.h"

namespace fw {

bool ReflectToControl(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND control = nullptr;
    switch (msg) {
    case WM_DRAWITEM:
        if (lParam) control = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (lParam) {
            auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
            if (mis->CtlType != ODT_MENU) control = GetDlgItem(parent, static_cast<int>(mis->CtlID));
        }
        break;
    default:
        return false;
    }
    if (!control || GetParent(control) != parent || !Window::FromHandle(control)) return false;
    // The control answers zero when it does not handle the reflected message.
    result = SendMessageW(control, kReflectBase + msg, wParam, lParam);
    return result != 0;
}

} // namespace fw
