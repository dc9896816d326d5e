// The main window's rules without a window: strip geometry, the minimum size, the account
// keys, the key record and the close decisions.
#include "gamewnd/TabStrip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tabs;

namespace {

TEST(TabStrip, GeometryOfEachTab) {
    EXPECT_EQ(TabRect(0), (Box{120, 3, 309, 25}));
    EXPECT_EQ(TabRect(2), (Box{498, 3, 687, 25}));
    EXPECT_EQ(LabelRect(1), (Box{325, 8, 485, 22}));
    EXPECT_EQ(CloseRect(1), (Box{485, 3, 498, 16}));
    EXPECT_EQ(StripRect(3), (Box{120, 3, 687, 25}));
}

TEST(TabStrip, HitTestingFollowsTheStripBounds) {
    // x = 120 itself is outside; the band is y 3..24.
    EXPECT_EQ(HitTestStrip(120, 10, 2).tab, -1);
    EXPECT_EQ(HitTestStrip(121, 10, 2).tab, 0);
    EXPECT_EQ(HitTestStrip(308, 10, 2).tab, 0);
    EXPECT_EQ(HitTestStrip(309, 10, 2).tab, 1);
    EXPECT_EQ(HitTestStrip(497, 10, 2).tab, 1);
    EXPECT_EQ(HitTestStrip(498, 10, 2).tab, -1);  // past the last tab
    EXPECT_EQ(HitTestStrip(200, 2, 2).tab, -1);
    EXPECT_EQ(HitTestStrip(200, 24, 2).tab, 0);
    EXPECT_EQ(HitTestStrip(200, 25, 2).tab, -1);
    EXPECT_EQ(HitTestStrip(200, 10, 0).tab, -1);
    // The close button: x 296..308 of tab 0 and above y 16.
    EXPECT_TRUE(HitTestStrip(296, 15, 1).onClose);
    EXPECT_TRUE(HitTestStrip(308, 3, 1).onClose);
    EXPECT_FALSE(HitTestStrip(295, 10, 1).onClose);
    EXPECT_FALSE(HitTestStrip(300, 16, 1).onClose);
}

TEST(TabStrip, MinimumSizeGrowsWithTheTabs) {
    EXPECT_EQ(MinimumSize(0).width, 0);
    EXPECT_EQ(MinimumSize(2).width, 861);
    EXPECT_EQ(MinimumSize(2).height, 260);
    int w = 500, h = 100;
    ClampToMinimum(3, w, h);
    EXPECT_EQ(w, 1050);
    EXPECT_EQ(h, 260);
    w = 10, h = 10;
    ClampToMinimum(0, w, h);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 10);
}

TEST(AccountKeyList, RefusesExactDuplicatesOnly) {
    AccountKeys keys;
    EXPECT_TRUE(keys.Add(L"12服-双线一区-Abc"));
    EXPECT_FALSE(keys.Add(L"12服-双线一区-Abc"));
    EXPECT_TRUE(keys.Add(L"12服-双线一区-abc"));
    EXPECT_FALSE(keys.Add(L""));
    EXPECT_TRUE(keys.RemoveAt(0));
    EXPECT_FALSE(keys.RemoveAt(1));
    ASSERT_EQ(keys.Size(), 1u);
    EXPECT_EQ(keys.At(0), L"12服-双线一区-abc");
    EXPECT_TRUE(keys.Add(L"12服-双线一区-Abc"));  // free again once its tab has gone
}

TEST(AccountKeyRecord, ReadsNoFurtherThanItsSize) {
    const char16_t text[] = u"1服-一区-abc";  // 9 units and a terminator
    std::wstring key;
    EXPECT_TRUE(ReadKeyRecord(text, sizeof(text), key));
    EXPECT_EQ(key, L"1服-一区-abc");
    // Without its terminator the key is taken up to the record's end.
    EXPECT_TRUE(ReadKeyRecord(text, 6 * 2, key));
    EXPECT_EQ(key, L"1服-一区-");
    // A terminator inside ends the key there.
    const char16_t early[] = u"ab\0cd";
    EXPECT_TRUE(ReadKeyRecord(early, sizeof(early), key));
    EXPECT_EQ(key, L"ab");
    EXPECT_FALSE(ReadKeyRecord(text, 0, key));
    EXPECT_FALSE(ReadKeyRecord(text, 7, key));
    EXPECT_FALSE(ReadKeyRecord(u"", 2, key));
    std::vector<char16_t> big(513, u'x');
    EXPECT_TRUE(ReadKeyRecord(big.data(), 1024, key));
    EXPECT_EQ(key.size(), 512u);
    EXPECT_FALSE(ReadKeyRecord(big.data(), 1026, key));
    EXPECT_TRUE(key.empty());
}

TEST(CloseDecision, LoginEndsAndCloseButtonWithoutTabs) {
    EXPECT_EQ(DecideClose(7315, 0, true), CloseAction::ExitNow);
    EXPECT_EQ(DecideClose(7315, 0, false), CloseAction::ExitNow);
    EXPECT_EQ(DecideClose(7315, 2, true), CloseAction::DropPendingPage);
    EXPECT_EQ(DecideClose(7315, 2, false), CloseAction::Normal);
    EXPECT_EQ(DecideClose(0, 0, true), CloseAction::EndPendingAndExit);
    EXPECT_EQ(DecideClose(0, 1, true), CloseAction::Normal);
    EXPECT_EQ(DecideClose(42, 0, false), CloseAction::Normal);
}

} // namespace
