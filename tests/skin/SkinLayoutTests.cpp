// The skin kit's arithmetic, without a window system.
#include "skin/SkinLayout.h"

#include <gtest/gtest.h>
#include <set>
#include <utility>

using namespace skin;

namespace {

uint32_t Argb(int a, int r, int g, int b) {
    return (static_cast<uint32_t>(a) << 24) | (r << 16) | (g << 8) | b;
}

std::set<std::pair<int, int>> AsSet(const std::vector<Point>& points) {
    std::set<std::pair<int, int>> s;
    for (const Point& p : points) s.insert({p.x, p.y});
    return s;
}

}  // namespace

TEST(SkinKeying, HalfTransparentPixelsAreBlendedOntoWhite) {
    EXPECT_EQ(BlendOntoWhite(0, 128), 127);  // (65025 - 128 * 255) / 255, truncated
    EXPECT_EQ(BlendOntoWhite(0, 1), 254);
    EXPECT_EQ(BlendOntoWhite(255, 77), 255);
    EXPECT_EQ(BlendOntoWhite(100, 254), 100);  // 65025 - 254*155 = 25655 -> 100.6 truncated
    EXPECT_EQ(BlendOntoWhite(100, 200), 133);

    uint32_t src[4] = {Argb(128, 0, 0, 0), Argb(0, 12, 200, 7), Argb(255, 255, 0, 255), Argb(255, 10, 20, 30)};
    uint32_t dst[4] = {};
    ArgbToKeyedDib(src, 4, 1, kKeyColourRef, dst);
    EXPECT_EQ(dst[0], 0x007F7F7Fu);
    EXPECT_EQ(dst[1], 0x00FF00FFu) << "alpha 0 is the key whatever its colour";
    EXPECT_EQ(dst[2], 0x00FF00FFu) << "opaque magenta stays magenta and so transparent";
    EXPECT_EQ(dst[3], 0x000A141Eu) << "opaque colours unchanged, fourth byte 0";
}

TEST(SkinKeying, RowsAreTurnedBottomUpAndTheKeyIsStoredInPixelOrder) {
    // 2 x 3 picture, top row first.
    // 2 x 3 picture, top row first: [1, 2], [3, 4], [transparent, 6] (red channel only).
    uint32_t src[6] = {Argb(255, 1, 0, 0), Argb(255, 2, 0, 0), Argb(255, 3, 0, 0),
                       Argb(255, 4, 0, 0), Argb(0, 5, 0, 0),   Argb(255, 6, 0, 0)};
    uint32_t dst[6] = {};
    // A key given as COLORREF RGB(1, 2, 3) is 0x00030201; as a DIB pixel it reads 0x00010203.
    ArgbToKeyedDib(src, 2, 3, 0x00030201u, dst);
    const uint32_t expected[6] = {0x00010203u, 0x00060000u,   // bottom DIB row = last source row
                                  0x00030000u, 0x00040000u,
                                  0x00010000u, 0x00020000u};  // top source row is the last DIB row
    for (int i = 0; i < 6; ++i) EXPECT_EQ(dst[i], expected[i]) << "pixel " << i;

    // A picture one pixel high keeps its single row.
    uint32_t one[3] = {Argb(255, 9, 8, 7), Argb(0, 0, 0, 0), Argb(255, 1, 1, 1)};
    uint32_t out[3] = {};
    ArgbToKeyedDib(one, 3, 1, kKeyColourRef, out);
    EXPECT_EQ(out[0], 0x00090807u);
    EXPECT_EQ(out[1], 0x00FF00FFu);
    EXPECT_EQ(out[2], 0x00010101u);
}

TEST(SkinFrame, StretchModeCopiesCornersAndStretchesEdgesAndCentre) {
    // A 96 x 96 picture over a 300 x 200 window, border 4, caption band 30.
    std::vector<Blit> pieces = SkinFramePieces(300, 200, 96, 96, 4, 30, true);
    std::vector<Blit> expected = {
        {0, 0, 4, 30, 0, 0, 4, 30, false},              // top-left
        {4, 0, 292, 30, 4, 0, 88, 30, true},            // top edge
        {296, 0, 4, 30, 92, 0, 4, 30, false},           // top-right
        {0, 30, 4, 166, 0, 30, 4, 62, true},            // left edge
        {296, 30, 4, 166, 92, 30, 4, 62, true},         // right edge
        {4, 30, 292, 166, 4, 30, 88, 62, true},         // centre
        {0, 196, 4, 4, 0, 92, 4, 4, false},             // bottom-left
        {4, 196, 292, 4, 4, 92, 88, 4, true},           // bottom edge
        {296, 196, 4, 4, 92, 92, 4, 4, false},          // bottom-right
    };
    EXPECT_EQ(pieces, expected);
}

TEST(SkinFrame, WithoutCaptionBandTheTopPiecesAreBorderHigh) {
    std::vector<Blit> pieces = SkinFramePieces(100, 80, 50, 40, 3, -1, true);
    ASSERT_EQ(pieces.size(), 9u);
    EXPECT_EQ(pieces[0], (Blit{0, 0, 3, 3, 0, 0, 3, 3, false}));
    EXPECT_EQ(pieces[3], (Blit{0, 3, 3, 74, 0, 3, 3, 34, true}));
}

TEST(SkinFrame, CopyModeKeepsThePictureAndFitsRightAndBottomEdges) {
    // The window is wider and higher than the picture: the picture goes on as it is, the
    // right edge and the bottom are moved to the window's edges.
    std::vector<Blit> pieces = SkinFramePieces(300, 200, 260, 170, 3, 0, false);
    std::vector<Blit> expected = {
        {0, 0, 260, 170, 0, 0, 260, 170, false},
        // top-right with a zero-high caption band is empty and left out
        {297, 0, 3, 197, 257, 0, 3, 167, true},
        {0, 197, 3, 3, 0, 167, 3, 3, false},
        {3, 197, 294, 3, 3, 167, 254, 3, true},
        {297, 197, 3, 3, 257, 167, 3, 3, false},
    };
    EXPECT_EQ(pieces, expected);
    // A window of exactly the picture's size is drawn from the picture 1:1 everywhere.
    for (const Blit& b : SkinFramePieces(260, 170, 260, 170, 3, 30, false)) {
        EXPECT_EQ(b.dw, b.sw);
        EXPECT_EQ(b.dh, b.sh);
        EXPECT_EQ(b.dx, b.sx);
        EXPECT_EQ(b.dy, b.sy);
    }
}

TEST(SkinRegion, MagentaTopLeftBlockIsCutAtAnyWindowSize) {
    const int w = 40, h = 30;
    auto key = [&](int x, int y) { return x < 2 && y < 2; };
    for (auto [Wd, Hd] : {std::pair{40, 30}, std::pair{300, 200}, std::pair{12, 900}}) {
        EXPECT_EQ(AsSet(RegionCutSquares(Wd, Hd, w, h, key)),
                  (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}, {1, 1}}))
            << Wd << "x" << Hd;
    }
}

TEST(SkinRegion, CornerPixelsKeepTheirDistanceFromTheWindowCorners) {
    const int w = 40, h = 30;
    // Magenta at the picture's very bottom-right pixel and two in from the right, one up;
    // a magenta pixel in the middle of the picture never shapes the outline.
    auto key = [&](int x, int y) {
        return (x == w - 1 && y == h - 1) || (x == w - 3 && y == h - 2) || (x == 20 && y == 15) ||
               (x == w - 9 && y == 0);
    };
    std::set<std::pair<int, int>> cuts = AsSet(RegionCutSquares(300, 200, w, h, key));
    EXPECT_EQ(cuts, (std::set<std::pair<int, int>>{{299, 199}, {297, 198}, {291, 0}}));
}

TEST(SkinRegion, ShortPicturesAreNotReadOutsideTheirRows) {
    // A picture lower than the 9-row corner block: every read stays inside it.
    const int w = 30, h = 5;
    bool outside = false;
    auto key = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) outside = true;
        return y == 4 && x == 0;
    };
    std::set<std::pair<int, int>> cuts = AsSet(RegionCutSquares(100, 50, w, h, key));
    EXPECT_FALSE(outside);
    // Row 4 is both in the top and in the bottom block: cut near both corners.
    EXPECT_TRUE(cuts.count({0, 4}));
    EXPECT_TRUE(cuts.count({0, 49}));
}

TEST(SkinCaption, TitleAndIconPositions) {
    EXPECT_EQ(CaptionTitleY(30, -11), 8);
    EXPECT_EQ(CaptionTitleY(30, -12), 7);
    EXPECT_EQ(CaptionTitleY(30, 12), 7) << "the height's size counts, not its sign";
    EXPECT_EQ(CaptionTitleY(-1, -12), 4) << "no band of its own";
    EXPECT_EQ(CaptionTitleY(0, -16), 4);
    EXPECT_EQ(CaptionIconY(30), 7);
    EXPECT_EQ(CaptionIconY(-1), 6);
    EXPECT_EQ(CaptionTitleX(4, false), 9);
    EXPECT_EQ(CaptionTitleX(4, true), 25);
}

TEST(SkinHitTest, ResizableBordersAndTheFixedTopBand) {
    const int W = 400, H = 300, B = 4, C = 30;
    auto hit = [&](int x, int y) { return SkinHitTest(x, y, W, H, B, C, true, false); };
    EXPECT_EQ(hit(200, 1), kHitTop) << "y = 1 is in the 3-pixel top band although the border is 4";
    EXPECT_EQ(hit(200, 3), kHitCaption);
    EXPECT_EQ(hit(200, 29), kHitCaption);
    EXPECT_EQ(hit(200, 30), kHitDefault);
    EXPECT_EQ(hit(0, 0), kHitTopLeft);
    EXPECT_EQ(hit(3, 3), kHitTopLeft);
    EXPECT_EQ(hit(3, 4), kHitLeft);
    EXPECT_EQ(hit(1, 296), kHitBottomLeft);
    EXPECT_EQ(hit(396, 0), kHitTopRight);
    EXPECT_EQ(hit(399, 150), kHitRight);
    EXPECT_EQ(hit(399, 299), kHitBottomRight);
    EXPECT_EQ(hit(200, 296), kHitBottom);
    EXPECT_EQ(hit(200, 295), kHitDefault);
    EXPECT_EQ(hit(200, 150), kHitDefault);
    // Without a band of its own the whole inside drags.
    EXPECT_EQ(SkinHitTest(200, 150, W, H, B, -1, true, false), kHitCaption);
    EXPECT_EQ(SkinHitTest(200, 298, W, H, B, -1, true, false), kHitCaption)
        << "the band test comes before the bottom border";
    // Maximised: the window system answers.
    EXPECT_EQ(SkinHitTest(200, 1, W, H, B, C, true, true), kHitDefault);
    EXPECT_EQ(SkinHitTest(0, 0, W, H, B, C, true, true), kHitDefault);
}

TEST(SkinHitTest, FixedSizeDialogsOnlyDrag) {
    const int W = 300, H = 200, B = 4;
    EXPECT_EQ(SkinHitTest(150, 100, W, H, B, -1, false, false), kHitCaption);
    EXPECT_EQ(SkinHitTest(0, 199, W, H, B, -1, false, false), kHitCaption);
    EXPECT_EQ(SkinHitTest(0, 0, W, H, B, 30, false, false), kHitCaption);
    EXPECT_EQ(SkinHitTest(150, 29, W, H, B, 30, false, false), kHitCaption);
    EXPECT_EQ(SkinHitTest(150, 30, W, H, B, 30, false, false), kHitDefault);
    EXPECT_EQ(SkinHitTest(299, 199, W, H, B, 30, false, false), kHitDefault);
}

TEST(SkinHitTest, BorderCodesResizeFromTheMatchingEdge) {
    // The window system's edge numbers: left, right, top, top-left, top-right, bottom,
    // bottom-left, bottom-right are 1 to 8.
    EXPECT_EQ(SizeEdgeForHit(kHitLeft), 1);
    EXPECT_EQ(SizeEdgeForHit(kHitRight), 2);
    EXPECT_EQ(SizeEdgeForHit(kHitTop), 3);
    EXPECT_EQ(SizeEdgeForHit(kHitTopLeft), 4);
    EXPECT_EQ(SizeEdgeForHit(kHitTopRight), 5);
    EXPECT_EQ(SizeEdgeForHit(kHitBottom), 6);
    EXPECT_EQ(SizeEdgeForHit(kHitBottomLeft), 7);
    EXPECT_EQ(SizeEdgeForHit(kHitBottomRight), 8);
    EXPECT_EQ(SizeEdgeForHit(kHitCaption), 0);
    EXPECT_EQ(SizeEdgeForHit(1), 0);
}

TEST(SkinPlacement, FirstRestoreRectangleCountsFromTheScreenOrigin) {
    EXPECT_EQ(InitialRestoreRect({0, 0, 1600, 900}), (Rect{200, 112, 1400, 788}));
    EXPECT_EQ(InitialRestoreRect({100, 0, 1700, 900}), (Rect{200, 112, 1500, 788}));
    EXPECT_EQ(InitialRestoreRect({0, 0, 1280, 994}), (Rect{160, 124, 1120, 870}));
}

TEST(SkinPlacement, MaximisedRectangleFillsOrCentresInTheWorkArea) {
    const Rect wa{0, 0, 1600, 900};
    EXPECT_EQ(MaximizedRect(wa, 1600, 900), wa);
    EXPECT_EQ(MaximizedRect(wa, 2000, 1000), wa) << "a larger limit never grows the window";
    EXPECT_EQ(MaximizedRect(wa, 1200, 900), (Rect{200, 0, 1400, 900}));
    EXPECT_EQ(MaximizedRect({100, 20, 1700, 920}, 1600, 700), (Rect{100, 120, 1700, 820}));
}

TEST(SkinProgress, FillTakesBothEndsOfTheBarPicture) {
    ProgressFill half = ComputeProgressFill(200, 0, 100, 50);
    EXPECT_EQ(half.leftWidth, 50);      // columns 0-49
    EXPECT_EQ(half.rightWidth, 50);
    EXPECT_EQ(half.rightSourceX, 150);  // columns 150-199

    ProgressFill odd = ComputeProgressFill(200, 0, 100, 33);  // 66 pixels
    EXPECT_EQ(odd.leftWidth + odd.rightWidth, 66);
    EXPECT_EQ(odd.leftWidth, 33);
    EXPECT_EQ(odd.rightSourceX, 167);

    ProgressFill full = ComputeProgressFill(200, 0, 100, 100);
    EXPECT_EQ(full.leftWidth, 100);
    EXPECT_EQ(full.rightSourceX, 100);

    ProgressFill third = ComputeProgressFill(100, 0, 3, 1);  // 33.33 truncated
    EXPECT_EQ(third.leftWidth + third.rightWidth, 33);
    EXPECT_EQ(third.leftWidth, 16);
    EXPECT_EQ(third.rightSourceX, 83);
}

TEST(SkinProgress, EmptyRangesAndPositionsOutsideTheRange) {
    ProgressFill none = ComputeProgressFill(200, 0, 0, 50);
    EXPECT_EQ(none.leftWidth + none.rightWidth, 0);
    none = ComputeProgressFill(200, 0, 100, 0);
    EXPECT_EQ(none.leftWidth + none.rightWidth, 0);
    ProgressFill over = ComputeProgressFill(200, 0, 100, 150);
    EXPECT_EQ(over.leftWidth + over.rightWidth, 200) << "never wider than the bar";
    ProgressFill shifted = ComputeProgressFill(200, 10, 110, 60);
    EXPECT_EQ(shifted.leftWidth + shifted.rightWidth, 100) << "counted from the lower bound";
}

namespace {
// Ten pixels a character, 50 for a 'W'.
int Measure(const std::wstring& s) {
    int w = 0;
    for (wchar_t c : s) w += c == L'W' ? 50 : 10;
    return w;
}
std::vector<std::wstring> Texts(const std::vector<TextLine>& lines) {
    std::vector<std::wstring> out;
    for (const TextLine& l : lines) out.push_back(l.text);
    return out;
}
}  // namespace

TEST(SkinStaticText, CrLfMakesTwoLinesLineHeightPlusSpacingApart) {
    const int L = 17;
    std::vector<TextLine> lines = WrapStaticText(L"你好\r\n世界", 200, 12, L, 3, Measure);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, L"你好");
    EXPECT_EQ(lines[1].text, L"世界");
    EXPECT_EQ(lines[0].top, 0);
    EXPECT_EQ(lines[1].top, L + 3);
    EXPECT_EQ(WrappedTextHeight(2, L, 3), 2 * L + 3);
    EXPECT_EQ(WrappedTextHeight(1, L, 3), L);
    EXPECT_EQ(WrappedTextHeight(3, L, 5), 3 * L + 10);
}

TEST(SkinStaticText, LongTextWrapsWhereTheNextCharacterWouldOverflow) {
    // 45 pixels hold four characters.
    std::vector<TextLine> lines = WrapStaticText(L"abcdefghij", 45, 10, 12, 3, Measure);
    EXPECT_EQ(Texts(lines), (std::vector<std::wstring>{L"abcd", L"efgh", L"ij"}));
    EXPECT_EQ(lines[2].top, 30);
    // A line feed on an empty line still makes a line; a final line feed leaves an empty one.
    EXPECT_EQ(Texts(WrapStaticText(L"a\n\nb\n", 45, 10, 12, 3, Measure)),
              (std::vector<std::wstring>{L"a", L"", L"b", L""}));
}

TEST(SkinStaticText, ACharacterTooWideForTheLineStandsAloneAndLayoutEnds) {
    EXPECT_EQ(Texts(WrapStaticText(L"aWb", 30, 10, 12, 3, Measure)),
              (std::vector<std::wstring>{L"a", L"W", L"b"}));
    EXPECT_EQ(Texts(WrapStaticText(L"WW", 30, 10, 12, 3, Measure)),
              (std::vector<std::wstring>{L"W", L"W"}));
    // An area narrower than one average character lays out nothing.
    EXPECT_TRUE(WrapStaticText(L"abc", 9, 10, 12, 3, Measure).empty());
    EXPECT_EQ(WrapStaticText(L"abc", 10, 10, 12, 3, Measure).size(), 3u);
}

TEST(SkinMessageBox, LinesAreCountedBySeparators) {
    EXPECT_EQ(CountMessageLines(L"一行"), 1);
    EXPECT_EQ(CountMessageLines(L"a\nb\nc"), 3);
    EXPECT_EQ(CountMessageLines(L"a\n"), 2);
    EXPECT_EQ(SplitMessageLines(L"a\n"), (std::vector<std::wstring>{L"a", L""}));
    EXPECT_EQ(SplitMessageLines(L"a\nbc\nd"), (std::vector<std::wstring>{L"a", L"bc", L"d"}));
    EXPECT_EQ(SplitMessageLines(L""), (std::vector<std::wstring>{L""}));
}

TEST(SkinMessageBox, WidthFollowsTheButtonsOrTheTextAndHeightTheLines) {
    const int BW = 76, BH = 26;
    EXPECT_EQ(MessageBoxSize(50, 17, 1, BW, BH), (Size{2 * BW + 60, 3 + 17 + BH + 90}));
    EXPECT_EQ(MessageBoxSize(212, 17, 1, BW, BH).cx, 212) << "not wider than the buttons' width + 60";
    EXPECT_EQ(MessageBoxSize(213, 17, 1, BW, BH).cx, 273);
    EXPECT_EQ(MessageBoxSize(400, 17, 1, BW, BH).cx, 460);
    // Three lines: three times 3 pixels.
    EXPECT_EQ(MessageBoxSize(100, 51, 3, BW, BH).cy, 9 + 51 + BH + 90);
    // No button picture: the text alone decides.
    EXPECT_EQ(MessageBoxSize(100, 17, 1, 0, 0), (Size{160, 110}));
}

TEST(SkinMessageBox, ButtonsSitAboveTheFootAroundTheMiddle) {
    MessageBoxButtons two = MessageBoxButtonRects(MsgBoxKind::YesNo, 212, 136, 76, 26);
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(two.first, (Rect{20, 80, 96, 106}));
    EXPECT_EQ(two.second, (Rect{116, 80, 192, 106}));
    EXPECT_EQ(MessageBoxButtonRects(MsgBoxKind::OkCancel, 212, 136, 76, 26).count, 2);
    MessageBoxButtons one = MessageBoxButtonRects(MsgBoxKind::Ok, 212, 136, 76, 26);
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(one.first, (Rect{68, 80, 144, 106}));
    EXPECT_EQ(MessageBoxButtonRects(static_cast<MsgBoxKind>(7), 212, 136, 76, 26).count, 1) << "unknown types show one button";
}

TEST(SkinMessageBox, TextLinesAreCentredAsABlockFrom55Down) {
    // Three lines of a 120 x 51 block in a 300-wide box.
    EXPECT_EQ(MessageBoxLineRect(0, 3, 300, 120, 51), (Rect{90, 55, 210, 72}));
    EXPECT_EQ(MessageBoxLineRect(1, 3, 300, 120, 51), (Rect{90, 75, 210, 92}));
    EXPECT_EQ(MessageBoxLineRect(2, 3, 300, 120, 51), (Rect{90, 95, 210, 112}));
}
