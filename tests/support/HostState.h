// What a test changes on the machine beyond its own folders, put back when the test ends:
// registry keys and values, the pointer; and links made from the Linux side, which Wine
// shows as reparse points (junctions on Windows).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// Remembers a registry key with its values and sub-keys (or that it was absent) and puts it
// back exactly so when it goes. view: 0 or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
class RegistryKeyScope {
public:
    RegistryKeyScope(HKEY root, std::wstring path, REGSAM view = 0);
    ~RegistryKeyScope();
    RegistryKeyScope(const RegistryKeyScope&) = delete;
    RegistryKeyScope& operator=(const RegistryKeyScope&) = delete;
    struct Tree;
private:
    HKEY m_root;
    std::wstring m_path;
    REGSAM m_view;
    std::unique_ptr<Tree> m_saved;  // null: the key did not exist
};

// The same for one value of a key that the test must not remove as a whole.
class RegistryValueScope {
public:
    RegistryValueScope(HKEY root, std::wstring path, std::wstring name);
    ~RegistryValueScope();
    RegistryValueScope(const RegistryValueScope&) = delete;
    RegistryValueScope& operator=(const RegistryValueScope&) = delete;
private:
    HKEY m_root;
    std::wstring m_path, m_name;
    bool m_existed = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
};

// Puts the pointer back where it was.
class PointerScope {
public:
    PointerScope() { GetCursorPos(&m_saved); }
    ~PointerScope() { SetCursorPos(m_saved.x, m_saved.y); }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;
private:
    POINT m_saved = {};
};

// The Linux path of a Windows path under Wine; empty when there is none.
std::string UnixPathOf(const std::wstring& path);
// A Unix symbolic link at link leading to target, made and removed with the Linux system
// calls themselves (a Windows program under Wine has no other way to them): Wine shows it as
// a folder that is a reparse point, as Windows shows a junction.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link);
bool RemoveUnixLink(const std::wstring& link);

} // namespace testing_support
