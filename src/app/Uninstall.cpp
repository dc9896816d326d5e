#include "app/Uninstall.h"
#include "settings/SettingsStore.h"
#include "app/Install.h"
#include "app/InstallRules.h"
#include "common/AppMessages.h"
#include "framework/Handles.h"
#include "framework/ProgramStart.h"
#include "framework/ShellOpen.h"
#include "settings/SettingsRules.h"
#include "skin/MessageBox.h"

#include <shlwapi.h>
#include <cwchar>

namespace {

// Adds the files below folder to count until it reaches install::kEnoughFiles; false when
// some folder cannot be listed completely.
bool CountFilesBelow(const std::wstring& folder, int& count) {
    const std::wstring pattern = install::ChildPath(folder, L"*");
    if (pattern.empty()) return false;
    WIN32_FIND_DATAW found;
    fw::UniqueFind find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) return false;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
        // A junction or link may lead back up the tree, or anywhere else: never followed.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const std::wstring sub = install::ChildPath(folder, found.cFileName);
            if (sub.empty() || !CountFilesBelow(sub, count)) return false;
        } else {
            ++count;
        }
        if (count >= install::kEnoughFiles) return true;
    } while (FindNextFileW(find.Get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// The text in the ANSI code page, false when it does not convert there and back unchanged
// (the batch would name another file).
bool ToAnsiExactly(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty()) return false;
    const int size = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    ansi.resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), bytes, nullptr, nullptr);
    std::wstring back(static_cast<size_t>(size) + 1, L'\0');
    const int chars = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, back.data(), size + 1);
    return chars == size && back.compare(0, static_cast<size_t>(size), wide) == 0;
}

// Writes text's bytes into the file, created or emptied first (OPEN_ALWAYS appends instead).
int WriteToFile(const wchar_t* path, std::string_view text, DWORD disposition) {
    fw::UniqueFile file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    DWORD written = 0;
    const bool ok = SetFilePointer(file.Get(), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    if (!ok) {
        const DWORD error = GetLastError();
        file.Reset();
        SetLastError(error);
        return -1;
    }
    return static_cast<int>(written);
}

// Starts the batch hidden, its thread at idle priority so that its waiting loop costs nothing.
bool StartHidden(const std::wstring& batchPath) {
    std::wstring line = L"\"" + batchPath + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    fw::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    SetThreadPriority(thread.Get(), THREAD_PRIORITY_IDLE);
    return true;
}

// A unique "DelSelf….tmp" in the temporary folder (the system creates it and it stays) with
// ".bat" appended; empty when the system gives none.
std::wstring NewBatchPath() {
    wchar_t temp[MAX_PATH] = {};
    const DWORD got = GetTempPathW(MAX_PATH, temp);
    if (got == 0 || got >= MAX_PATH) return {};
    wchar_t unique[MAX_PATH] = {};
    if (!GetTempFileNameW(temp, L"DelSelf", 0, unique)) return {};
    const std::wstring batch = std::wstring(unique) + L".bat";
    return batch.size() < install::kMaxPath ? batch : std::wstring();
}

} // namespace

int CountFilesInFolder(const wchar_t* path) {
    if (!path || !*path) return install::kFolderNotListed;
    int count = 0;
    return CountFilesBelow(path, count) ? count : install::kFolderNotListed;
}

int AppendToFile(const wchar_t* path, std::string_view text) { return WriteToFile(path, text, OPEN_ALWAYS); }

SelfDeleteResult StartSelfDeleteOf(const std::wstring& exePath, const std::wstring& batchPath) {
    const std::wstring folder = install::FolderOf(exePath);
    std::string exe, folderAnsi, batch;
    if (!batchPath.empty() && ToAnsiExactly(exePath, exe) && ToAnsiExactly(folder, folderAnsi) &&
        ToAnsiExactly(batchPath, batch)) {
        const install::BatchKind kind = install::ChooseBatchKind(CountFilesInFolder(folder.c_str()));
        const std::string text = install::SelfDeleteBatchText(kind, exe, folderAnsi, batch);
        // Created or emptied: lines left in an older file of the same name would run first.
        if (WriteToFile(batchPath.c_str(), text, CREATE_ALWAYS) == static_cast<int>(text.size()) &&
            StartHidden(batchPath))
            return SelfDeleteResult::BatchStarted;
        DeleteFileW(batchPath.c_str());
    }
    // The player is told that files go away at the latest with the next restart: make it so.
    return MoveFileExW(exePath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? SelfDeleteResult::DeleteAtRestart
                                                                             : SelfDeleteResult::Failed;
}

void StartSelfDelete() {
    const std::wstring exe = fw::OwnProgramPath();
    if (!exe.empty()) StartSelfDeleteOf(exe, NewBatchPath());
}

bool RemoveShortcuts() {
    fw::ComScope com;
    DeleteDesktopShortcut(install::kShortcutName);
    DeleteStartMenuShortcut(install::kShortcutName);
    DeleteStartMenuShortcut(install::kUninstallShortcutName);
    // A folder that still holds an empty sub-folder cannot be removed and stays.
    const std::wstring folder = StartMenuFolderPath();
    if (!folder.empty() && install::FolderHoldsNoFile(CountFilesInFolder(folder.c_str())))
        RemoveDirectoryW(folder.c_str());
    return true;
}

void UninstallSelf(const PingEvents& pings) {
    DeleteMachineKeyTree(settings::kRegistryKey);
    RemoveShortcuts();
    StartSelfDelete();
    SendCountedPing(kPingUninstall, pings);
    AppMessageBox(MsgBoxKind::Ok, kAppCaption,
                  L"Olvesk - Sevrith已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除", nullptr);
}
