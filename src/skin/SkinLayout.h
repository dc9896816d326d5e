// The arithmetic of the skinned user-interface kit: colour keying, how a background picture
// is laid over a window, the window outline, hit codes, maximise and restore places,
// progress fill, static text wrapping and the message box's geometry. No window system here:
// the Win32 side feeds in sizes and pixels and carries out what comes back.
#pragma once
#include "skin/MsgBoxKind.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skin {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// The transparent colour of every skin picture, magenta, as a COLORREF (0x00BBGGRR).
constexpr uint32_t kKeyColourRef = 0x00FF00FF;

// ---- Colour keying of decoded pictures ----

// One colour channel c of a pixel with alpha a laid onto white, truncated.
int BlendOntoWhite(int c, int a);

// Converts top-down 32-bit ARGB pixels (0xAARRGGBB, as the image decoder hands them out)
// into a bottom-up 32-bit DIB (0x00RRGGBB in memory order B, G, R, 0). Opaque pixels keep
// their colour, fully transparent ones become `keyColourRef`, the rest are blended onto white.
// `dst` holds width * height values.
void ArgbToKeyedDib(const uint32_t* src, int width, int height, uint32_t keyColourRef, uint32_t* dst);

// ---- Background picture over a window ----

// One block transfer: from the picture's (sx, sy, sw, sh) to the window's (dx, dy, dw, dh).
// A copy (stretch false) has sw == dw and sh == dh.
struct Blit {
    int dx, dy, dw, dh;
    int sx, sy, sw, sh;
    bool stretch;
    bool operator==(const Blit&) const = default;
};

// The pieces that lay a picture of imgW x imgH over a window of winW x winH: corners copied,
// edges and centre stretched (stretch mode), or the picture copied as it is with only the
// right and bottom edges fitted (copy mode). `captionHeight` -1 means the top pieces are
// `border` high. Empty pieces are left out.
std::vector<Blit> SkinFramePieces(int winW, int winH, int imgW, int imgH, int border,
                                  int captionHeight, bool stretchMode);

// The 1x1 squares to cut from a winW x winH window: magenta pixels of the picture's four
// 9x9 corner blocks, mapped to the same distances from the window's corners.
std::vector<Point> RegionCutSquares(int winW, int winH, int imgW, int imgH,
                                    const std::function<bool(int x, int y)>& isKey);

// ---- Caption band ----

// Where the small icon and the title go in the caption band.
int CaptionIconY(int captionHeight);
int CaptionTitleY(int captionHeight, int fontHeight);  // fontHeight: the font's lfHeight
int CaptionTitleX(int border, bool iconDrawn);

// Hit codes, with the values of the window system's HT constants.
enum HitCode : int {
    kHitDefault = -1,  // let the window system answer
    kHitCaption = 2,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
};

// The hit code of client point (x, y) in a skinned window of w x h.
int SkinHitTest(int x, int y, int w, int h, int border, int captionHeight, bool resizable,
                bool maximized);

// The edges a window is resized from, with the values of the window system's sizing edges
// (WMSZ_...): the size command of an edge is the system's size command plus the edge.
enum SizeEdge : int {
    kSizeNone = 0,
    kSizeLeft = 1,
    kSizeRight = 2,
    kSizeTop = 3,
    kSizeTopLeft = 4,
    kSizeTopRight = 5,
    kSizeBottom = 6,
    kSizeBottomLeft = 7,
    kSizeBottomRight = 8,
};

// The edge that a press on a border hit code resizes from; kSizeNone for other codes.
SizeEdge SizeEdgeForHit(int hitCode);

// The first restore place: an eighth of the work area's size in from each side, the left
// and top counted from the screen's origin.
Rect InitialRestoreRect(const Rect& workArea);

// The maximised place: the work area, shrunk evenly to at most maxWidth x maxHeight.
Rect MaximizedRect(const Rect& workArea, int maxWidth, int maxHeight);

// ---- Progress bar ----

struct ProgressFill {
    int leftWidth = 0;     // columns [0, leftWidth) of the bar picture, drawn at the bar's left
    int rightWidth = 0;    // then the picture's last rightWidth columns, right after them
    int rightSourceX = 0;  // first column of that right part in the bar picture
};

// The fill of a bar `barWidth` wide at position `pos` of [lower, upper].
ProgressFill ComputeProgressFill(int barWidth, int lower, int upper, int pos);

// ---- Static text wrapping ----

struct TextLine {
    std::wstring text;
    int top = 0;  // offset from the text area's top
};

// Breaks `text` into lines that fit `areaWidth`: CR is skipped, LF ends a line, a character
// that would overflow a non-empty line starts the next one, and a character too wide even
// for an empty line stays there alone. Lines are lineHeight + lineSpacing apart. Nothing is
// laid out when the area is narrower than one average character.
std::vector<TextLine> WrapStaticText(const std::wstring& text, int areaWidth, int averageCharWidth,
                                     int lineHeight, int lineSpacing,
                                     const std::function<int(const std::wstring&)>& measure);

// The height that n wrapped lines need.
int WrappedTextHeight(int lines, int lineHeight, int lineSpacing);

// ---- Message box ----

// 1 + the number of line feeds.
int CountMessageLines(const std::wstring& text);
// The lines between line feeds; a trailing line feed gives an empty last line.
std::vector<std::wstring> SplitMessageLines(const std::wstring& text);

struct Size {
    int cx = 0, cy = 0;
    bool operator==(const Size&) const = default;
};

// The box's size for a text block of textW x textH in `lines` lines and push buttons of
// buttonW x buttonH.
Size MessageBoxSize(int textW, int textH, int lines, int buttonW, int buttonH);

struct MessageBoxButtons {
    int count = 1;
    Rect first, second;
};

// Where the push buttons go in a client area of clientW x clientH: two with a 20-pixel gap
// in the middle for OK/Cancel and Yes/No, one centred otherwise, bottoms 30 pixels above
// the foot.
MessageBoxButtons MessageBoxButtonRects(MsgBoxKind kind, int clientW, int clientH, int buttonW, int buttonH);

// The rectangle of text line i of a block textW x textH in `lines` lines, centred in a
// client area clientW wide, starting 55 pixels down.
Rect MessageBoxLineRect(int index, int lines, int clientW, int textW, int textH);

}  // namespace skin
