// The build tree stays as the build left it: no test run leaves a file beside the test
// program (the update check writes its copy of the configuration page there) or beside
// the built Velkor.exe (whole-program tests run copies of it instead).
#include "support/WineTest.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<std::wstring> NamesIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.insert(fd.cFileName); while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

class BuildTreeGuard : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        for (std::wstring path : {std::wstring(self), testing_support::BuiltExePath()})
            m_folders.push_back(path.substr(0, path.rfind(L'\\')));
        for (const auto& folder : m_folders) m_before.push_back(NamesIn(folder));
    }
    void TearDown() override {
        for (size_t i = 0; i < m_folders.size(); ++i) {
            for (const auto& name : NamesIn(m_folders[i])) {
                if (m_before[i].count(name)) continue;
                ADD_FAILURE() << "the tests left " << name << " in the build tree";
                testing_support::DeleteTree(m_folders[i] + L"\\" + name);  // so that one fault fails one test
            }
        }
    }

private:
    std::vector<std::wstring> m_folders;
    std::vector<std::set<std::wstring>> m_before;
};

::testing::Environment* const kBuildTreeGuard = ::testing::AddGlobalTestEnvironment(new BuildTreeGuard);

} // namespace
