// The main window's rules without a window: strip geometry, the strip's current, lit and
// pressed tab, the page and caption-control places, the minimum size, the account keys, the
// key record and the close decisions.
#include "gamewnd/TabStrip.h"
#include "gamewnd/PageKeys.h"

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

std::vector<Box> Boxes(const Repaint& r) { return std::vector<Box>(r.boxes, r.boxes + r.count); }

TEST(StripStateMachine, HoverLightsOneTabAndItsCloseButton) {
    StripState s;
    Repaint r;
    // Onto tab 1: lit, its tooltip shows, the tab is repainted.
    EXPECT_EQ(s.Hover(HitTestStrip(400, 10, 2), false, r), TipChange::Show);
    EXPECT_EQ(s.Hot(), 1);
    EXPECT_EQ(s.Part(), HotPart::Tab);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{309, 3, 498, 25}}));
    // Moving on the same tab changes nothing.
    r = {};
    EXPECT_EQ(s.Hover(HitTestStrip(410, 12, 2), false, r), TipChange::Keep);
    EXPECT_EQ(r.count, 0);
    // Onto its close button: only the button is repainted; no tooltip there.
    r = {};
    EXPECT_EQ(s.Hover(HitTestStrip(490, 5, 2), false, r), TipChange::Hide);
    EXPECT_EQ(s.Part(), HotPart::Close);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{485, 3, 498, 16}}));
    // With the left button down it is drawn pressed.
    r = {};
    s.Hover(HitTestStrip(490, 5, 2), true, r);
    EXPECT_EQ(s.Part(), HotPart::ClosePressed);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{485, 3, 498, 16}}));
    // Over to tab 0: both tabs are repainted; the tooltip comes back for tab 0.
    r = {};
    EXPECT_EQ(s.Hover(HitTestStrip(200, 10, 2), false, r), TipChange::Show);
    EXPECT_EQ(s.Hot(), 0);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{309, 3, 498, 25}, {120, 3, 309, 25}}));
    // Tab to tab with the tooltip up: it goes, to come back at the next move.
    r = {};
    EXPECT_EQ(s.Hover(HitTestStrip(400, 10, 2), false, r), TipChange::Hide);
    EXPECT_EQ(s.Hover(HitTestStrip(401, 10, 2), false, r), TipChange::Show);
    // Off the strip: nothing lit, the tooltip goes.
    r = {};
    EXPECT_EQ(s.Hover(HitTestStrip(700, 10, 2), false, r), TipChange::Hide);
    EXPECT_EQ(s.Hot(), -1);
    EXPECT_EQ(s.Part(), HotPart::None);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{309, 3, 498, 25}}));
    // Leaving the window unlights the lit tab once.
    s.Hover(HitTestStrip(200, 10, 2), false, r);
    r = {};
    s.Leave(r);
    s.Leave(r);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{120, 3, 309, 25}}));
    EXPECT_EQ(s.Current(), 0) << "hovering never changes the current tab";
}

TEST(StripStateMachine, PressSelectsAndReleaseCloses) {
    StripState s;
    Repaint r;
    s.Added(1, r);
    s.Added(3, r);
    EXPECT_EQ(s.Current(), 2);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{120, 3, 309, 25}, {120, 3, 687, 25}}));
    // Pressing another tab makes it current and shows it; the old and new tabs are repainted.
    r = {};
    EXPECT_TRUE(s.Press(HitTestStrip(200, 10, 3), false, r));
    EXPECT_EQ(s.Current(), 0);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{498, 3, 687, 25}, {120, 3, 309, 25}}));
    // The current tab again: shown only when the home page covers it.
    r = {};
    EXPECT_FALSE(s.Press(HitTestStrip(200, 10, 3), false, r));
    EXPECT_TRUE(s.Press(HitTestStrip(200, 10, 3), true, r));
    EXPECT_EQ(r.count, 0);
    // Down on a close button: drawn pressed; released there it closes that tab.
    r = {};
    s.Press(HitTestStrip(300, 5, 3), false, r);
    EXPECT_EQ(s.Hot(), 0);
    EXPECT_EQ(s.Part(), HotPart::ClosePressed);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{296, 3, 309, 16}}));
    EXPECT_FALSE(s.Press(HitTestStrip(700, 10, 3), false, r));
    EXPECT_EQ(TabClosedByRelease(HitTestStrip(300, 5, 3), false), 0);
    EXPECT_EQ(TabClosedByRelease(HitTestStrip(200, 10, 3), false), -1);
    EXPECT_EQ(TabClosedByRelease(HitTestStrip(400, 10, 3), true), 1);
    EXPECT_EQ(TabClosedByRelease(HitTestStrip(700, 10, 3), true), -1);
}

TEST(StripStateMachine, NextAndRemovalKeepACurrentTab) {
    StripState s;
    Repaint r;
    s.Added(3, r);
    r = {};
    EXPECT_TRUE(s.Next(3, false, r));
    EXPECT_EQ(s.Current(), 0);  // wraps after the last
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{498, 3, 687, 25}, {120, 3, 309, 25}}));
    // Over the home page, or with one tab, the current tab stays and is only shown again.
    r = {};
    EXPECT_TRUE(s.Next(3, true, r));
    EXPECT_TRUE(s.Next(1, false, r));
    EXPECT_EQ(s.Current(), 0);
    EXPECT_EQ(r.count, 0);
    EXPECT_FALSE(s.Next(0, false, r));
    // Closing the last of three tabs makes the new last current; the old strip is repainted.
    s.Next(3, false, r);
    s.Next(3, false, r);
    s.Hover(HitTestStrip(600, 10, 3), false, r);
    r = {};
    s.Removed(2, 2, r);
    EXPECT_EQ(s.Current(), 1);
    EXPECT_EQ(s.Hot(), -1);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{120, 3, 687, 25}}));
    // Closing a tab before the current one: the tab now at its place.
    s.Removed(0, 1, r);
    EXPECT_EQ(s.Current(), 0);
    // A refused close unlights the tab.
    s.Hover(HitTestStrip(200, 10, 1), false, r);
    r = {};
    s.Unlit(TabRect(0), r);
    EXPECT_EQ(s.Hot(), -1);
    EXPECT_EQ(Boxes(r), (std::vector<Box>{{120, 3, 309, 25}}));
}

TEST(MainWindowLayout, PageAndCaptionControls) {
    EXPECT_EQ(PageArea(1000, 700), (Box{4, 30, 996, 696}));
    EXPECT_EQ(CaptionControlBox(CaptionControl::Hide, 1000), (Box{886, 0, 913, 27}));
    EXPECT_EQ(CaptionControlBox(CaptionControl::Sound, 1000), (Box{859, 0, 886, 27}));
    EXPECT_EQ(CaptionControlBox(CaptionControl::System, 1000), (Box{815, 0, 859, 28}));
    EXPECT_EQ(CaptionControlBox(CaptionControl::AddAccount, 1000), (Box{715, 7, 807, 23}));
}

TEST(PageKeyRules, CtrlDIsTheDKeysScanCodeAlone) {
    EXPECT_TRUE(pagekeys::IsCtrlDChar(4, 0x0020));
    // A repeat, context (Alt), extended or transition bit: not the plain key press.
    for (unsigned keyData : {0x4020u, 0x2020u, 0x0120u, 0x8020u})
        EXPECT_FALSE(pagekeys::IsCtrlDChar(4, keyData)) << keyData;
    EXPECT_FALSE(pagekeys::IsCtrlDChar(4, 0x0021));
    EXPECT_FALSE(pagekeys::IsCtrlDChar(L'd', 0x0020));
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
