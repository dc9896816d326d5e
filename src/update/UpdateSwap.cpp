#include "update/UpdateSwap.h"
#include "update/PrgsDlg.h"
#include "update/UpdateKey.h"
#include "update/UpdateRules.h"
#include "settings/SettingsStore.h"

#include <vector>

namespace {

// The file version "a.b.c.d" from the fixed part of the file's version resource.
std::wstring FileVersionText(const wchar_t* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return {};
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(path, 0, size, info.data())) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE)
        return {};
    return update::VersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

// Gone now if possible; otherwise at the next restart of the machine.
void DiscardFile(const wchar_t* path) {
    if (!DeleteFileW(path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

} // namespace

// Only the bytes the operator published: the file's own key, made as the running program
// makes its own, must be the server's. An error page, a cut or a foreign file fails.
bool CarriesServerKey(const wchar_t* path, const wchar_t* serverKey) {
    wchar_t md5[64];
    if (!FileMd5Hex(path, md5)) return false;
    return update::DownloadMatchesServerKey(serverKey, md5, FileVersionText(path));
}

bool ReplaceExecutable(const wchar_t* self, const wchar_t* newPath, const wchar_t* oldPath) {
    if (!MoveFileExW(self, oldPath, MOVEFILE_REPLACE_EXISTING)) return false;
    if (MoveFileExW(newPath, self, MOVEFILE_REPLACE_EXISTING)) return true;
    // Without this the player would be left with no program at all.
    const DWORD error = GetLastError();
    if (!MoveFileExW(oldPath, self, 0)) CopyFileW(oldPath, self, TRUE);
    SetLastError(error);
    return false;
}

bool SwapInUpdate(const UpdateOffer& offer) {
    wchar_t newPath[MAX_PATH] = {}, oldPath[MAX_PATH] = {}, self[MAX_PATH] = {};
    if (!ModuleFilePath(update::kNewExeName, newPath) || !ModuleFilePath(update::kOldExeName, oldPath) ||
        !ModuleFilePath(nullptr, self))
        return false;

    CPrgsDlg dialog;
    if (dialog.Run(offer.szUpdAddr, newPath) != IDOK) {
        // A cut or cancelled download is no program.
        DiscardFile(newPath);
        return false;
    }
    if (!CarriesServerKey(newPath, offer.szServerKey)) {
        // The operator's page names a file the server does not serve (or serves a page in
        // its place): every later check would fetch the same bytes again. Only a whole
        // download is judged so; a cut or cancelled one is tried again next time.
        RememberRefusedKey(offer.szServerKey);
        DiscardFile(newPath);
        return false;
    }
    if (!ReplaceExecutable(self, newPath, oldPath)) {
        DiscardFile(newPath);
        return false;
    }
    MoveFileExW(oldPath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}
