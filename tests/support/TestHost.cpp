#include "support/TestHost.h"
#include "common/AppMessages.h"
#include <cwchar>

namespace testing_support {

namespace {

const wchar_t kClass[] = L"VelkorTestHost";

bool Recorded(UINT msg) {
    switch (msg) {
    case UM_PAGE_ATTACH:
    case WM_SYSCOMMAND:
    case WM_KEYDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
        return true;
    }
    return false;
}

} // namespace

TestHost::TestHost(DWORD style, RECT place) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly once the class is there
    m_hwnd = CreateWindowExW(0, kClass, L"host", style, place.left, place.top, place.right - place.left,
                             place.bottom - place.top, nullptr, nullptr, wc.hInstance, this);
}

TestHost::~TestHost() { Destroy(); }

void TestHost::Destroy() {
    if (m_hwnd && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

std::vector<MSG> TestHost::Messages(UINT message) const {
    std::vector<MSG> of;
    for (const MSG& m : messages)
        if (m.message == message) of.push_back(m);
    return of;
}

std::vector<UINT> TestHost::MessageIds() const {
    std::vector<UINT> ids;
    for (const MSG& m : messages) ids.push_back(m.message);
    return ids;
}

int TestHost::ClosesWithMarker() const {
    int count = 0;
    for (const MSG& m : Messages(WM_SYSCOMMAND))
        if ((m.wParam & 0xFFF0) == SC_CLOSE && m.lParam == kSelfPostMarker) ++count;
    return count;
}

LRESULT CALLBACK TestHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<TestHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data && data->lpData && data->cbData >= sizeof(wchar_t))
            self->keys.emplace_back(static_cast<const wchar_t*>(data->lpData),
                                    wcsnlen(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
        return self->copyDataAnswer;
    }
    if (Recorded(msg)) {
        self->messages.push_back(MSG{hwnd, msg, wParam, lParam});
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace testing_support
