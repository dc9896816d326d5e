// OLE on the test's thread for as long as the scope lives (the browser control needs it).
#pragma once
#include <ole2.h>

namespace testing_support {

class OleScope {
public:
    OleScope() : m_initialized(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleScope() {
        if (m_initialized) OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool m_initialized;
};

} // namespace testing_support
