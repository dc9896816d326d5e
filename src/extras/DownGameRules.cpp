#include "extras/DownGameRules.h"
#include "extras/PlainFileName.h"

namespace downgame {

std::wstring ClientConfigUrl(std::wstring_view ownConfigUrl, std::wstring_view name) {
    const std::wstring_view own = L"Velkor";
    std::wstring out;
    std::size_t from = 0;
    for (std::size_t at; (at = ownConfigUrl.find(own, from)) != std::wstring_view::npos; from = at + own.size()) {
        out.append(ownConfigUrl.substr(from, at - from));
        out.append(name);
    }
    out.append(ownConfigUrl.substr(from));
    return out;
}

bool SetupPathFor(std::wstring_view tempFolder, std::wstring_view name, std::size_t maxChars, std::wstring& out) {
    out.clear();
    if (tempFolder.empty() || !extras::IsPlainFileName(name)) return false;
    std::wstring path(tempFolder);
    path.append(name);
    path.append(L".exe");
    if (path.size() > maxChars) return false;
    out = std::move(path);
    return true;
}

std::wstring PercentLabel(int percent) { return L"已加载  " + std::to_wstring(percent) + L"%"; }

} // namespace downgame
