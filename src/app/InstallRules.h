// What installation and self-deletion decide without touching the system: the shortcuts'
// names and link paths, which batch removes the program, and that batch's text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace install {

inline constexpr wchar_t kShortcutName[] = L"OlveskSevrith极速登录器";
inline constexpr wchar_t kUninstallShortcutName[] = L"卸载 OlveskSevrith极速登录器";
inline constexpr wchar_t kStartMenuFolderName[] = L"Olvesk登录器";
inline constexpr wchar_t kStartArguments[] = L"/VelkorD";
inline constexpr wchar_t kUninstallArguments[] = L"/uninst";

// Paths the shell hands out, and those formed from them, hold at most this many characters
// with the terminating zero.
inline constexpr std::size_t kMaxPath = 260;

// "<parent>\<child>" (no second separator after a parent that ends in one); empty when
// either part is empty or the path would not fit.
std::wstring ChildPath(std::wstring_view parent, std::wstring_view child);
// "<folder>\<name>.lnk"; empty when it would not fit, so that the link is skipped rather
// than written under a cut name.
std::wstring LinkPath(std::wstring_view folder, std::wstring_view name);
// The path up to, not including, its last backslash; the whole path when it has none.
std::wstring FolderOf(std::wstring_view path);
// From the last backslash on, without it: the file's own name.
std::wstring FileNameOf(std::wstring_view path);

// What CountFilesInFolder answers: the number of files below a folder counted up to
// kEnoughFiles, or kFolderNotListed.
inline constexpr int kFolderNotListed = -1;
inline constexpr int kEnoughFiles = 2;  // only "one or fewer" matters, so counting stops here

enum class BatchKind {
    ExeOnly,       // deletes the executable
    ExeAndFolder,  // also the program's own files beside it, and the folder once it is empty
};
// The folder is removed only when it was listed and held the executable alone: a folder
// that could not be listed may hold anything.
BatchKind ChooseBatchKind(int fileCount);
// A folder is removed only when it was listed and held no file.
bool FolderHoldsNoFile(int fileCount);

// cmd expands "%" in batch lines; doubled, each stands for itself.
std::string EscapeForBatch(std::string_view path);
// The self-deleting batch in the ANSI code page, lines ended by CR LF: it waits until the
// executable can be deleted, deletes it, for ExeAndFolder also Statistic.ini beside it and
// the folder if nothing else is left, then deletes itself. Paths are ANSI bytes as given.
std::string SelfDeleteBatchText(BatchKind kind, std::string_view exePath, std::string_view folderPath,
                                std::string_view batchPath);

} // namespace install
