#include "gamewnd/PageTabs.h"
#include "framework/ProgramStart.h"

#include <cwchar>

bool CPageTabs::Launch(HWND window) {
    wchar_t arguments[64];
    // The window handle keeps its value in 32 bits; the page process reads it back signed.
    if (std::swprintf(arguments, 64, L"/newgm /%lld /%d",
                      static_cast<long long>(static_cast<int>(reinterpret_cast<INT_PTR>(window))), Count()) < 0)
        return false;
    fw::UniqueHandle process;
    const wchar_t* program = m_program.empty() ? nullptr : m_program.c_str();
    if (!fw::StartProgram(program, arguments, &process)) return false;
    // An older page still on its way is let go: its key, if any, stays with whatever it does.
    m_pending = std::move(process);
    m_pendingKey.clear();
    return true;
}

bool CPageTabs::Accepts(HWND window, HWND frame) const {
    if (!frame || !IsWindow(frame) || frame == window || frame == m_home) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    if (pid == 0 || pid == GetCurrentProcessId()) return false;
    for (HWND tab : m_frames)
        if (tab == frame) return false;
    // Re-parenting an ancestor (or owner) of the window into it would tie the window tree
    // into a ring.
    for (HWND up = GetParent(window); up; up = GetParent(up))
        if (up == frame) return false;
    return true;
}

void CPageTabs::AttachTab(HWND frame) {
    for (HWND tab : m_frames) ShowWindow(tab, SW_HIDE);
    if (m_home && IsWindow(m_home)) ShowWindow(m_home, SW_HIDE);
    m_frames.push_back(frame);
    m_pending.Reset();
    m_pendingKey.clear();
}

bool CPageTabs::AddKey(const std::wstring& key) {
    if (!m_keys.Add(key)) return false;
    if (m_pending) m_pendingKey = key;
    return true;
}

bool CPageTabs::PendingEnded() const {
    return m_pending && WaitForSingleObject(m_pending.Get(), 0) == WAIT_OBJECT_0;
}

void CPageTabs::DropPending() {
    if (!m_pendingKey.empty()) m_keys.Remove(m_pendingKey);
    m_pendingKey.clear();
    m_pending.Reset();
}

void CPageTabs::Show(HWND frame, const RECT& area) const {
    for (HWND tab : m_frames) {
        if (tab != frame) {
            ShowWindow(tab, SW_HIDE);
            continue;
        }
        MoveWindow(tab, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
        ShowWindow(tab, SW_SHOW);
        SetForegroundWindow(tab);
        if (HomeShown()) ShowWindow(m_home, SW_HIDE);
    }
}

HWND CPageTabs::Remove(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    const HWND frame = m_frames[static_cast<size_t>(index)];
    m_frames.erase(m_frames.begin() + index);
    m_keys.RemoveAt(static_cast<size_t>(index));
    return frame;
}

void CPageTabs::CloseAll() {
    if (m_pending) TerminateProcess(m_pending.Get(), 0);
    m_pending.Reset();
    m_pendingKey.clear();
    for (HWND frame : m_frames) {
        SetParent(frame, nullptr);
        ShowWindow(frame, SW_HIDE);
        PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

std::wstring CPageTabs::KeyAt(int i) const {
    return i >= 0 && static_cast<size_t>(i) < m_keys.Size() ? m_keys.At(static_cast<size_t>(i)) : std::wstring();
}

bool CPageTabs::HomeShown() const { return m_home && IsWindowVisible(m_home); }

HWND CPageTabs::PageInView(int current) const { return HomeShown() ? m_home : At(current); }

HWND CPageTabs::KeyTarget(int current) const {
    const HWND tab = At(current);
    if (tab && IsWindowVisible(tab)) return tab;
    return HomeShown() ? m_home : nullptr;
}
