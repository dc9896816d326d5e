#include "support/HostState.h"

#include <cstring>
#include <map>

namespace testing_support {

struct RegistryKeyScope::Tree {
    struct Value { DWORD type; std::vector<BYTE> data; };
    std::map<std::wstring, Value> values;
    std::map<std::wstring, Tree> keys;
};

namespace {

void Save(HKEY key, RegistryKeyScope::Tree& tree) {
    DWORD subKeys = 0, maxKey = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxKey, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(maxName + 1, L'\0');
        DWORD nameLen = maxName + 1, type = 0, size = maxData;
        std::vector<BYTE> data(maxData);
        if (RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) continue;
        name.resize(nameLen);
        data.resize(size);
        tree.values[name] = {type, std::move(data)};
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        std::wstring name(maxKey + 1, L'\0');
        DWORD nameLen = maxKey + 1;
        if (RegEnumKeyExW(key, i, name.data(), &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
        name.resize(nameLen);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        Save(sub, tree.keys[name]);
        RegCloseKey(sub);
    }
}

void Restore(HKEY key, const RegistryKeyScope::Tree& tree) {
    for (const auto& [name, value] : tree.values)
        RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), DWORD(value.data.size()));
    for (const auto& [name, sub] : tree.keys) {
        HKEY child = nullptr;
        if (RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) != ERROR_SUCCESS)
            continue;
        Restore(child, sub);
        RegCloseKey(child);
    }
}

// Linux's own system calls, issued from a few bytes of machine code (x86-64: number in eax,
// arguments in rdi and rsi).
long long UnixCall(int number, const char* first, const char* second) {
    static const unsigned char code[] = {
        0x57, 0x56,        // push rdi; push rsi (the caller's)
        0x89, 0xC8,        // mov eax, ecx  (the call's number)
        0x48, 0x89, 0xD7,  // mov rdi, rdx  (its first argument)
        0x4C, 0x89, 0xC6,  // mov rsi, r8   (its second)
        0x0F, 0x05,        // syscall
        0x5E, 0x5F,        // pop rsi; pop rdi
        0xC3,              // ret
    };
    void* page = VirtualAlloc(nullptr, sizeof(code), MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (!page) return -1;
    std::memcpy(page, code, sizeof(code));
    const long long result = reinterpret_cast<long long (*)(int, const char*, const char*)>(page)(number, first, second);
    VirtualFree(page, 0, MEM_RELEASE);
    return result;
}
constexpr int kLinuxUnlink = 87, kLinuxSymlink = 88;

} // namespace

RegistryKeyScope::RegistryKeyScope(HKEY root, std::wstring path, REGSAM view)
    : m_root(root), m_path(std::move(path)), m_view(view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_READ | m_view, &key) != ERROR_SUCCESS) return;
    m_saved = std::make_unique<Tree>();
    Save(key, *m_saved);
    RegCloseKey(key);
}

RegistryKeyScope::~RegistryKeyScope() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_ALL_ACCESS | m_view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(m_root, m_path.c_str(), m_view, 0);
    }
    if (!m_saved) return;
    if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | m_view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    Restore(key, *m_saved);
    RegCloseKey(key);
}

RegistryValueScope::RegistryValueScope(HKEY root, std::wstring path, std::wstring name)
    : m_root(root), m_path(std::move(path)), m_name(std::move(name)) {
    DWORD size = 0;
    if (RegGetValueW(m_root, m_path.c_str(), m_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &m_type, nullptr, &size) !=
        ERROR_SUCCESS)
        return;
    m_data.resize(size);
    m_existed = RegGetValueW(m_root, m_path.c_str(), m_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &m_type, m_data.data(),
                             &size) == ERROR_SUCCESS;
    m_data.resize(size);
}

RegistryValueScope::~RegistryValueScope() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (m_existed)
        RegSetValueExW(key, m_name.c_str(), 0, m_type, m_data.data(), DWORD(m_data.size()));
    else
        RegDeleteValueW(key, m_name.c_str());
    RegCloseKey(key);
}

std::string UnixPathOf(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name) return {};
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

namespace {
// The link's own name is not looked up (it may not exist yet): only its folder is.
std::string UnixPathOfEntry(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    const std::string folder = UnixPathOf(path.substr(0, slash));
    const std::wstring leaf = path.substr(slash + 1);
    const int size = WideCharToMultiByte(CP_UTF8, 0, leaf.c_str(), int(leaf.size()), nullptr, 0, nullptr, nullptr);
    if (folder.empty() || size <= 0) return {};
    std::string name(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, leaf.c_str(), int(leaf.size()), name.data(), size, nullptr, nullptr);
    return folder + "/" + name;
}
} // namespace

bool MakeUnixLink(const std::wstring& target, const std::wstring& link) {
    const std::string to = UnixPathOf(target), at = UnixPathOfEntry(link);
    return !to.empty() && !at.empty() && UnixCall(kLinuxSymlink, to.c_str(), at.c_str()) == 0;
}

bool RemoveUnixLink(const std::wstring& link) {
    const std::string at = UnixPathOfEntry(link);
    return !at.empty() && UnixCall(kLinuxUnlink, at.c_str(), nullptr) == 0;
}

} // namespace testing_support
