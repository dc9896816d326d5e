// The main window's two pop-up menus: the one of the caption button "系统" and the one of
// the tray icon. They differ only in their last item.
#pragma once
#include "framework/Handles.h"

#include <windows.h>
#include <string>

namespace menus {

using fw::UniqueMenu;

constexpr UINT kCmdRefresh = 1;
constexpr UINT kCmdHideRestore = 2;
constexpr UINT kCmdClearCache = 3;
constexpr UINT kCmdUpdate = 4;
constexpr UINT kCmdSettings = 5;
constexpr UINT kCmdExit = 6;
constexpr UINT kCmdVersion = 0xFFFFFFFFu;  // shows the version; choosing it does nothing

// "隐藏/恢复(" + the boss key's display text + ")".
std::wstring HideRestoreText(const std::wstring& bossKeyText);

// The caption-button menu ends with the version item, the tray menu with "退出".
UniqueMenu BuildMainMenu(bool trayMenu, const std::wstring& bossKeyText);

} // namespace menus
