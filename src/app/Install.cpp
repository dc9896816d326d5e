#include "app/Install.h"
#include "app/InstallRules.h"
#include "common/AsciiText.h"
#include "framework/Handles.h"
#include "framework/ProgramStart.h"
#include "framework/ShellOpen.h"
#include "settings/SettingsStore.h"

#include <aclapi.h>
#include <cstring>
#include <vector>
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

bool SecureDataFolder(HANDLE folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDataFolderSddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    fw::UniqueLocal owner(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    PSID administrators = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present ||
        !GetSecurityDescriptorOwner(descriptor, &administrators, &defaulted) || !administrators)
        return false;
    // Protected: the common folder's inherited entries let ordinary users create files.
    return SetSecurityInfo(folder, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           administrators, nullptr, acl, nullptr) == ERROR_SUCCESS;
}

bool SameFileContents(const wchar_t* a, const wchar_t* b) {
    fw::UniqueFile first(CreateFileW(a, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    fw::UniqueFile second(CreateFileW(b, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER sizes[2] = {};
    if (!first || !second || !GetFileSizeEx(first.Get(), &sizes[0]) || !GetFileSizeEx(second.Get(), &sizes[1]) ||
        sizes[0].QuadPart != sizes[1].QuadPart)
        return false;
    const DWORD piece = 1 << 16;
    std::vector<char> pieces(2 * piece);
    for (;;) {
        DWORD got[2] = {};
        if (!ReadFile(first.Get(), pieces.data(), piece, &got[0], nullptr) ||
            !ReadFile(second.Get(), pieces.data() + piece, piece, &got[1], nullptr) || got[0] != got[1])
            return false;
        if (got[0] == 0) return true;
        if (std::memcmp(pieces.data(), pieces.data() + piece, got[0]) != 0) return false;
    }
}

namespace {

// A plain folder, not a reparse point, asked both of the open folder and of its name: some
// systems report a link only by name. The open handle (without delete sharing) keeps the name
// from being pointed elsewhere in between.
bool IsPlainFolder(HANDLE folder, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(folder, &info)) return false;
    const DWORD byName = GetFileAttributesW(path.c_str());
    if (byName == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD attributes = info.dwFileAttributes | byName;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The folder made when missing and opened as it is, a link not followed. The handle keeps it
// from being renamed or deleted while the installer works in it.
fw::UniqueFile OpenOwnFolder(const std::wstring& path) {
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD access = FILE_READ_ATTRIBUTES | READ_CONTROL | WRITE_DAC | WRITE_OWNER;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    fw::UniqueFile folder(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, flags, nullptr));
    // Without the right to change its security (a folder someone else protected) it may at
    // least be looked at.
    if (!folder)
        folder.Reset(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, flags, nullptr));
    return folder;
}

} // namespace

InstallOutcome InstallSelf() {
    fw::ComScope com;
    const std::wstring running = fw::OwnProgramPath();
    const std::wstring data = DataFolderPath();
    if (running.empty() || data.empty() || data.size() >= install::kMaxPath) return InstallOutcome::Done;
    // A junction at either level would carry the copy and the protected access list to its
    // target, and an installed program the player never put there could be started.
    const std::wstring parentPath = install::FolderOf(data);
    fw::UniqueFile parent = OpenOwnFolder(parentPath);
    if (!parent || !IsPlainFolder(parent.Get(), parentPath)) return InstallOutcome::FolderRefused;
    fw::UniqueFile folder = OpenOwnFolder(data);
    if (!folder || !IsPlainFolder(folder.Get(), data)) return InstallOutcome::FolderRefused;
    // Also a folder found there already: whoever made it may have left it open to all.
    SecureDataFolder(folder.Get());

    const std::wstring target = install::ChildPath(data, install::FileNameOf(running));
    if (target.empty()) return InstallOutcome::Done;
    const bool copied =
        !text::EqualsNoCase(target, running) && CopyOverWhole(running.c_str(), target.c_str());

    CreateDesktopShortcut(target.c_str());
    CreateStartMenuShortcut(install::kShortcutName, target.c_str(), install::kStartArguments);
    CreateStartMenuShortcut(install::kUninstallShortcutName, target.c_str(), install::kUninstallArguments);
    // From the data folder the copy runs as the installed program. A file this run did not
    // put there is started only when it is this very program: whatever else stands there
    // would run with our rights.
    if (copied || SameFileContents(target.c_str(), running.c_str())) fw::StartProgram(target.c_str());
    return InstallOutcome::Done;
}
