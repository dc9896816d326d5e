#include "framework/DhtmlEvents.h"

#include "common/AsciiText.h"

namespace fw {

bool DhtmlRowMatches(DhtmlMatch match, std::wstring_view text, std::wstring_view classAttr,
                     std::wstring_view tagName) {
    if (match == DhtmlMatch::Class) return !classAttr.empty() && classAttr == text;
    return !tagName.empty() && text::EqualsNoCase(tagName, text);
}

} // namespace fw
