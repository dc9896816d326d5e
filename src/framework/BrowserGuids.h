// Interface identifiers of the browser's host and document interfaces that not every
// toolchain's import libraries carry; defined here once with their published values.
#pragma once
#include <windows.h>

namespace fw {

// IDocHostShowUI {C4D244B0-D43E-11CF-893B-00AA00BDCE1A}
inline constexpr IID kIID_IDocHostShowUI = {0xc4d244b0, 0xd43e, 0x11cf, {0x89, 0x3b, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x1a}};
// HTMLDocumentEvents2 {3050F613-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID kDIID_HTMLDocumentEvents2 = {0x3050f613, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
// IHTMLBodyElement {3050F1D8-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID kIID_IHTMLBodyElement = {0x3050f1d8, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

} // namespace fw
