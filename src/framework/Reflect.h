// Notifications that the window system sends to a control's parent (owner drawing) handed
// back to the control's own object, so that a control class draws itself.
#pragma once
#include <windows.h>

namespace fw {

// A reflected message arrives at the control as this base plus the original message.
constexpr UINT kReflectBase = WM_USER + 0x1C00;

// Parent side: for WM_DRAWITEM and WM_MEASUREITEM about a child control that has an object of
// this framework, sends the message on to that control as kReflectBase + msg. True when the
// control answered (result then holds its nonzero answer).
bool ReflectToControl(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

} // namespace fw
