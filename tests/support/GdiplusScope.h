// Starts GDI+ for a test (the program starts it in CQuillonApp::InitInstance).
#pragma once
#include <windows.h>

namespace testing_support {

class GdiplusScope {
public:
    GdiplusScope();
    ~GdiplusScope();
    GdiplusScope(const GdiplusScope&) = delete;
    GdiplusScope& operator=(const GdiplusScope&) = delete;
    bool Ok() const { return m_token != 0; }
private:
    ULONG_PTR m_token = 0;
};

} // namespace testing_support
