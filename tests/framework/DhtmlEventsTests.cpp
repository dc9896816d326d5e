#include "framework/DhtmlEvents.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using fw::DhtmlEvent;
using fw::DhtmlMatch;

struct Row {
    DhtmlEvent event;
    DhtmlMatch match;
    std::wstring text;
};

TEST(DhtmlEvents, ClassMatchesTheWholeAttributeWithCase) {
    EXPECT_TRUE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L"button", L"DIV"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L"button big", L"DIV"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L"big button", L"DIV"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L"Button", L"DIV"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L"", L"button"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Class, L"button", L" button", L"DIV"));
}

TEST(DhtmlEvents, TagMatchesIgnoringCase) {
    EXPECT_TRUE(fw::DhtmlRowMatches(DhtmlMatch::Tag, L"body", L"", L"BODY"));
    EXPECT_TRUE(fw::DhtmlRowMatches(DhtmlMatch::Tag, L"td", L"button", L"Td"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Tag, L"td", L"", L"TR"));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Tag, L"div", L"div", L""));
    EXPECT_FALSE(fw::DhtmlRowMatches(DhtmlMatch::Tag, L"div", L"", L"DIVX"));
}

TEST(DhtmlEvents, FirstFittingRowWinsAndTheEventMustFit) {
    std::vector<Row> rows = {
        {DhtmlEvent::MouseDown, DhtmlMatch::Class, L"button"},
        {DhtmlEvent::MouseDown, DhtmlMatch::Tag, L"div"},
        {DhtmlEvent::MouseMove, DhtmlMatch::Tag, L"div"},
        {DhtmlEvent::MouseDown, DhtmlMatch::Tag, L"div"},
    };
    auto find = [&](DhtmlEvent e, const wchar_t* cls, const wchar_t* tag) {
        return fw::FindDhtmlRow(rows.data(), rows.size(), e, cls, tag);
    };
    EXPECT_EQ(find(DhtmlEvent::MouseDown, L"button", L"DIV"), 0);
    EXPECT_EQ(find(DhtmlEvent::MouseDown, L"button big", L"DIV"), 1);
    EXPECT_EQ(find(DhtmlEvent::MouseMove, L"button", L"DIV"), 2);
    EXPECT_EQ(find(DhtmlEvent::MouseUp, L"button", L"DIV"), -1);
    EXPECT_EQ(find(DhtmlEvent::MouseDown, L"", L"SPAN"), -1);
}

} // namespace
