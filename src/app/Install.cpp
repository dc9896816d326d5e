#include "app/Install.h"
#include "app/InstallRules.h"
#include "common/AsciiText.h"
#include "framework/Handles.h"
#include "framework/ProgramStart.h"
#include "framework/ShellOpen.h"
#include "settings/SettingsStore.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

namespace {

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

bool DeleteLink(const std::wstring& folder, const wchar_t* name) {
    if (!name || !*name) return false;
    const std::wstring link = install::LinkPath(folder, name);
    return !link.empty() && DeleteFileW(link.c_str());
}

bool SystemCopy(const wchar_t* from, const wchar_t* to) { return CopyFileW(from, to, FALSE) != FALSE; }


} // namespace

bool CreateShellLink(const wchar_t* link, const wchar_t* target, const wchar_t* description,
                     const wchar_t* arguments) {
    if (!link || !target) return false;
    fw::ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.PutVoid())))
        return false;
    if (FAILED(shellLink->SetPath(target))) return false;
    shellLink->SetIconLocation(target, 0);
    fw::ComPtr<IPersistFile> file;
    if (FAILED(shellLink.As(IID_IPersistFile, file))) return false;
    if (arguments) shellLink->SetArguments(arguments);
    if (description && *description) shellLink->SetDescription(description);
    return SUCCEEDED(file->Save(link, TRUE));
}

std::wstring StartMenuFolderPath() {
    return install::ChildPath(SpecialFolder(CSIDL_COMMON_PROGRAMS), install::kStartMenuFolderName);
}

bool CreateDesktopShortcut(const wchar_t* target) {
    if (!target || !*target || !FileExists(target)) return false;
    const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    if (desktop.empty()) return false;
    // A per-user shortcut of the same name would show the player the program twice.
    const std::wstring own = install::LinkPath(SpecialFolder(CSIDL_DESKTOPDIRECTORY), install::kShortcutName);
    const std::wstring link = install::LinkPath(desktop, install::kShortcutName);
    if (!own.empty() && !text::EqualsNoCase(own, link)) DeleteFileW(own.c_str());
    if (link.empty()) return false;
    return CreateShellLink(link.c_str(), target, install::kShortcutName, install::kStartArguments);
}

bool CreateStartMenuShortcut(const wchar_t* name, const wchar_t* target, const wchar_t* arguments) {
    if (!target || !*target || !name || !*name || !FileExists(target)) return false;
    const std::wstring folder = StartMenuFolderPath();
    if (folder.empty()) return false;
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring link = install::LinkPath(folder, name);
    if (link.empty()) return false;
    return CreateShellLink(link.c_str(), target, nullptr, arguments);
}

bool DeleteDesktopShortcut(const wchar_t* name) {
    const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    return !desktop.empty() && DeleteLink(desktop, name);
}

bool DeleteStartMenuShortcut(const wchar_t* name) {
    const std::wstring folder = StartMenuFolderPath();
    return !folder.empty() && DeleteLink(folder, name);
}

bool CopyOverWhole(const wchar_t* source, const wchar_t* target, CopyFileFn copy) {
    if (!source || !target) return false;
    if (!copy) copy = SystemCopy;
    const std::wstring folder = install::FolderOf(target);
    wchar_t temp[MAX_PATH] = {};
    if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"Vel", 0, temp)) return false;
    if (copy(source, temp) && MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp);
    return false;
}

bool SecureDataFolder(const wchar_t* folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDataFolderSddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    fw::UniqueLocal owner(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present) return false;
    // Protected: the common folder's inherited entries let ordinary users create files.
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(folder), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, acl, nullptr) == ERROR_SUCCESS;
}

bool InstallSelf() {
    fw::ComScope com;
    const std::wstring running = fw::OwnProgramPath();
    const std::wstring data = DataFolderPath();
    if (running.empty() || data.empty() || data.size() >= install::kMaxPath) return true;
    CreateDirectoryW(install::FolderOf(data).c_str(), nullptr);
    CreateDirectoryW(data.c_str(), nullptr);
    // Also a folder found there already: whoever made it may have left it open to all.
    SecureDataFolder(data.c_str());

    const std::wstring target = install::ChildPath(data, install::FileNameOf(running));
    if (target.empty()) return true;
    if (!text::EqualsNoCase(target, running)) CopyOverWhole(running.c_str(), target.c_str());

    CreateDesktopShortcut(target.c_str());
    CreateStartMenuShortcut(install::kShortcutName, target.c_str(), install::kStartArguments);
    CreateStartMenuShortcut(install::kUninstallShortcutName, target.c_str(), install::kUninstallArguments);
    // From the data folder the copy runs as the installed program.
    if (FileExists(target.c_str())) fw::StartProgram(target.c_str());
    return true;
}
