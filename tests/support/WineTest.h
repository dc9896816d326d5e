// Helpers for tests that touch the machine: they put back what they found, so that the
// order of tests does not matter, and they run the built program as a player would.
#pragma once
#include <windows.h>
#include "support/HostState.h"
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A Linux path as Wine sees it (through drive Z:).
std::wstring WinePathFromUnix(const char* unixPath);
// The Velkor.exe this build made.
std::wstring BuiltExePath();
// The probe program: started in place of others, it logs how it was started (tests/probe).
std::wstring BuiltProbePath();
// The page stub: plays a page process towards a main window (tests/probe/PageStub.cpp).
std::wstring BuiltPageStubPath();

// A fresh folder under %TEMP%, deleted with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* hint = L"velkor");
    ~TempFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }
private:
    std::wstring m_path;
};

bool DeleteTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::string ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Remembers HKLM\Software\Olvesk and the data folder C:\ProgramData\Olvesk as they were,
// and puts them back when it goes: whatever the test wrote there disappears.
class MachineStateGuard {
public:
    MachineStateGuard();
    ~MachineStateGuard();
    // Clears both, for a test that wants to start from nothing.
    void Clear();
private:
    RegistryKeyScope m_key;
    bool m_folderExisted = false;
    bool m_iniExisted = false;
    std::string m_ini;
};

// Creates the data folder (and its parent) as the installer does; true when it exists.
bool EnsureDataFolder();

// Copies the built Velkor.exe into the data folder, as an install leaves it there; the copy's
// path, or empty when the copy failed.
std::wstring CopyProgramIntoDataFolder();

// A copy of the built Velkor.exe in folder, for a test to run: the program writes beside
// itself, and the build tree must stay as the build left it. Empty when the copy failed.
std::wstring CopyOfProgram(const TempFolder& folder);

// Runs a program with arguments from a working folder and waits for it; the exit code,
// or -1 when it could not start or did not end in time (then it is killed).
int RunAndWait(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir,
               DWORD timeoutMs = 60000);
// The same for a start that may open the main window: the player closes it (see
// ChildProcess::CloseLikeAPlayer).
int RunAndClose(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir,
                DWORD timeoutMs = 60000);

// A started program that the test can look at while it runs. At the end it is killed if
// still running, and so is every process it started.
class ChildProcess {
public:
    ChildProcess(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir);
    ~ChildProcess();
    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_pid; }
    // The exit code, or -1 when it did not end in time.
    int Wait(DWORD timeoutMs = 60000);
    // A visible top-level window of this process with the given caption, waiting for it
    // (looking once when timeoutMs is 0).
    HWND FindWindowTitled(const wchar_t* caption, DWORD timeoutMs = 20000) const;
    // Ends the program as a player would: closes its windows captioned "Olvesk - Sevrith"
    // as they show, answers "是" (yes) to the question that closing asks, and waits for the
    // end. A program that ends by itself is fine too. The exit code, or -1 when it did not
    // end in time.
    int CloseLikeAPlayer(DWORD timeoutMs = 60000);
private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The version key of the running test program as the update server would publish it: the
// MD5 of its file (by the system's own CryptoAPI, not the program's digest) in lower-case hex,
// its last four digits replaced by those of version 3.0.0.1.
std::string OwnVersionKey();

// Binary registry value under the program's key; empty when absent.
std::vector<BYTE> ReadSettingsValue(const wchar_t* name);
// A value of section Velkor of the counters' Statistic.ini; fallback when absent.
std::wstring ReadCounterIni(const wchar_t* key, const wchar_t* fallback = L"<absent>");

} // namespace testing_support
