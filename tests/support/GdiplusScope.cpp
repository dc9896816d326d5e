#include "support/GdiplusScope.h"

#include <objidl.h>
#include <gdiplus.h>

namespace testing_support {

GdiplusScope::GdiplusScope() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
}

GdiplusScope::~GdiplusScope() {
    if (m_token) Gdiplus::GdiplusShutdown(m_token);
}

} // namespace testing_support
