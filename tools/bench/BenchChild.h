// What the benchmark programs share: one clock, and a child program started suspended inside
// a job that ends it and everything it starts, so that no run leaves processes behind.
#pragma once
#include <windows.h>

#include <string>

namespace bench {

inline double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

class Child {
public:
    // Starts `exe` with the whole command line `command`; the clock is read just before.
    Child(const wchar_t* exe, std::wstring command) {
        m_job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        m_start = Now();
        if (!CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                            &m_pi)) {
            m_error = GetLastError();
            return;
        }
        AssignProcessToJobObject(m_job, m_pi.hProcess);
        ResumeThread(m_pi.hThread);
    }
    ~Child() {
        if (m_pi.hProcess) {
            TerminateJobObject(m_job, 1);
            WaitForSingleObject(m_pi.hProcess, 10000);
            CloseHandle(m_pi.hThread);
            CloseHandle(m_pi.hProcess);
        }
        if (m_job) CloseHandle(m_job);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return m_pi.hProcess != nullptr; }
    DWORD StartError() const { return m_error; }
    HANDLE Process() const { return m_pi.hProcess; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    double StartTime() const { return m_start; }

private:
    HANDLE m_job = nullptr;
    PROCESS_INFORMATION m_pi = {};
    DWORD m_error = 0;
    double m_start = 0;
};

} // namespace bench
