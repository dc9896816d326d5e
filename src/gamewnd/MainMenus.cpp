#include "gamewnd/MainMenus.h"
#include "velkor_version.h"

namespace menus {

std::wstring HideRestoreText(const std::wstring& bossKeyText) { return L"隐藏/恢复(" + bossKeyText + L")"; }

UniqueMenu BuildMainMenu(bool trayMenu, const std::wstring& bossKeyText) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    HMENU m = menu.Get();
    AppendMenuW(m, MF_STRING, kCmdRefresh, L"刷新 (F5)");
    AppendMenuW(m, MF_STRING, kCmdHideRestore, HideRestoreText(bossKeyText).c_str());
    AppendMenuW(m, MF_STRING, kCmdClearCache, L"清除缓存");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kCmdUpdate, L"更新");
    AppendMenuW(m, MF_STRING, kCmdSettings, L"设置...");
    if (trayMenu)
        AppendMenuW(m, MF_STRING, kCmdExit, L"退出");
    else
        AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(kCmdVersion), L"版本号: " VELKOR_VERSION_W);
    return menu;
}

} // namespace menus
