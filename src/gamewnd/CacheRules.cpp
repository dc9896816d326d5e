#include "gamewnd/CacheRules.h"
#include "common/AsciiText.h"

namespace cache {

bool IsLoaderAddress(std::wstring_view address) { return text::ContainsNoCase(address, kLoaderPattern); }

std::wstring FolderPrefix(std::wstring_view folder) {
    std::wstring prefix(folder);
    if (prefix.empty() || prefix.back() != L'\\') prefix += L'\\';
    return prefix;
}

bool JoinFits(std::wstring_view prefix, std::wstring_view name, std::size_t capacity, std::wstring& out) {
    if (prefix.size() + name.size() + 1 > capacity) return false;
    out.assign(prefix);
    out.append(name);
    return true;
}

} // namespace cache
