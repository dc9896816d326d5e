#include "app/InstallRules.h"

namespace install {

std::wstring ChildPath(std::wstring_view parent, std::wstring_view child) {
    if (parent.empty() || child.empty()) return {};
    std::wstring path(parent);
    if (path.back() != L'\\') path += L'\\';
    path += child;
    if (path.size() >= kMaxPath) return {};
    return path;
}

std::wstring LinkPath(std::wstring_view folder, std::wstring_view name) {
    if (name.empty()) return {};
    return ChildPath(folder, std::wstring(name) + L".lnk");
}

std::wstring FolderOf(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(0, slash));
}

std::wstring FileNameOf(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

BatchKind ChooseBatchKind(int fileCount) {
    return fileCount == 1 ? BatchKind::ExeAndFolder : BatchKind::ExeOnly;
}

bool FolderHoldsNoFile(int fileCount) { return fileCount == 0; }

std::string EscapeForBatch(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    // In the code pages the program meets (936 and the single-byte ones) no trail byte of a
    // double-byte character is '%', so doubling bytes cannot split a character.
    for (char c : path) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

std::string SelfDeleteBatchText(BatchKind kind, std::string_view exePath, std::string_view folderPath,
                                std::string_view batchPath) {
    std::string exe = "\"";
    exe.append(EscapeForBatch(exePath)).append("\"");
    std::string text = "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\n";
    text.append("del ").append(exe).append("\r\n");
    text.append("if exist ").append(exe).append(" goto :delexe\r\n");
    if (kind == BatchKind::ExeAndFolder) {
        // Only what the program itself puts there; rd without /s leaves a folder that still
        // holds anything else.
        const std::string folder = EscapeForBatch(folderPath);
        text.append("del \"").append(folder).append("\\Statistic.ini\" /Q /F\r\n");
        text.append("rd \"").append(folder).append("\"\r\n");
    }
    text.append("del \"").append(EscapeForBatch(batchPath)).append("\"\r\n");
    return text;
}

} // namespace install
