// Mouse events of an HTML document and the rows that route them to a dialog's handlers:
// a row names an event and either a whole class attribute or a tag name. No window code.
#pragma once
#include <cstddef>
#include <string_view>

namespace fw {

enum class DhtmlEvent {
    MouseDown,
    MouseUp,
    MouseMove,
    MouseOver,
    MouseOut,
    ContextMenu,
    Click,
    DblClick,
};

enum class DhtmlMatch {
    Class,  // the element's whole class attribute, case-sensitive
    Tag,    // the element's tag name, ignoring case
};

// True when a row of (match, text) fits an element with this class attribute and tag name.
// Several classes on one element ("button big") are one attribute and match only as a whole.
bool DhtmlRowMatches(DhtmlMatch match, std::wstring_view text, std::wstring_view classAttr,
                     std::wstring_view tagName);

// Index of the first row (in table order) whose event and match fit, or -1. Row needs the
// members event, match and text.
template <class Row>
int FindDhtmlRow(const Row* rows, size_t count, DhtmlEvent event, std::wstring_view classAttr,
                 std::wstring_view tagName) {
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].event == event &&
            DhtmlRowMatches(rows[i].match, rows[i].text, classAttr, tagName))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace fw
