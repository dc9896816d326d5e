#include "skin/SkinLayout.h"

#include <algorithm>
#include <cstdlib>

namespace skin {

int BlendOntoWhite(int c, int a) { return (255 * 255 - a * (255 - c)) / 255; }

void ArgbToKeyedDib(const uint32_t* src, int width, int height, uint32_t keyColourRef, uint32_t* dst) {
    // A COLORREF is 0x00BBGGRR; a DIB pixel read as a 32-bit value is 0x00RRGGBB.
    const uint32_t key = ((keyColourRef & 0xFF) << 16) | (keyColourRef & 0xFF00) |
                         ((keyColourRef >> 16) & 0xFF);
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = src + static_cast<size_t>(y) * width;
        uint32_t* out = dst + static_cast<size_t>(height - 1 - y) * width;
        for (int x = 0; x < width; ++x) {
            uint32_t p = in[x];
            int a = static_cast<int>(p >> 24);
            if (a == 255) {
                out[x] = p & 0x00FFFFFF;
            } else if (a == 0) {
                out[x] = key;
            } else {
                int r = BlendOntoWhite((p >> 16) & 0xFF, a);
                int g = BlendOntoWhite((p >> 8) & 0xFF, a);
                int b = BlendOntoWhite(p & 0xFF, a);
                out[x] = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                         static_cast<uint32_t>(b);
            }
        }
    }
}

std::vector<Blit> SkinFramePieces(int Wd, int Hd, int w, int h, int B, int captionHeight,
                                  bool stretchMode) {
    const int T = captionHeight == -1 ? B : captionHeight;
    std::vector<Blit> out;
    auto copy = [&](int dx, int dy, int sx, int sy, int cw, int ch) {
        if (cw > 0 && ch > 0) out.push_back({dx, dy, cw, ch, sx, sy, cw, ch, false});
    };
    auto stretch = [&](int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        if (dw > 0 && dh > 0 && sw > 0 && sh > 0) out.push_back({dx, dy, dw, dh, sx, sy, sw, sh, true});
    };
    if (stretchMode) {
        copy(0, 0, 0, 0, B, T);
        stretch(B, 0, Wd - 2 * B, T, B, 0, w - 2 * B, T);
        copy(Wd - B, 0, w - B, 0, B, T);
        stretch(0, T, B, Hd - T - B, 0, T, B, h - T - B);
        stretch(Wd - B, T, B, Hd - T - B, w - B, T, B, h - T - B);
        stretch(B, T, Wd - 2 * B, Hd - T - B, B, T, w - 2 * B, h - T - B);
    } else {
        // The picture as it is; the part of the window beyond it is not drawn by this piece.
        copy(0, 0, 0, 0, std::min(Wd, w), std::min(Hd, h));
        copy(Wd - B, 0, w - B, 0, B, T);
        stretch(Wd - B, T, B, Hd - T - B, w - B, T, B, h - T - B);
    }
    copy(0, Hd - B, 0, h - B, B, B);
    stretch(B, Hd - B, Wd - 2 * B, B, B, h - B, w - 2 * B, B);
    copy(Wd - B, Hd - B, w - B, h - B, B, B);
    return out;
}

std::vector<Point> RegionCutSquares(int Wd, int Hd, int w, int h,
                                    const std::function<bool(int, int)>& isKey) {
    std::vector<Point> cuts;
    const int cols = std::min(w, 9);
    for (int y = 0; y < std::min(h, 9); ++y) {
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) cuts.push_back({x, y});
            if (isKey(w - 1 - x, y)) cuts.push_back({Wd - 1 - x, y});
        }
    }
    // A picture lower than nine rows has no rows above its top to read.
    for (int y = std::max(h - 9, 0); y < h; ++y) {
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) cuts.push_back({x, Hd - h + y});
            if (isKey(w - 1 - x, y)) cuts.push_back({Wd - 1 - x, Hd - h + y});
        }
    }
    return cuts;
}

int CaptionIconY(int captionHeight) { return captionHeight == -1 ? 6 : (captionHeight - 15) / 2; }

int CaptionTitleY(int captionHeight, int fontHeight) {
    int t = (captionHeight - std::abs(fontHeight) + 1) / 2;
    if (t < 0) t = 6;
    return t - 2;
}

int CaptionTitleX(int border, bool iconDrawn) { return border + 5 + (iconDrawn ? 16 : 0); }

int SkinHitTest(int x, int y, int Wd, int Hd, int B, int C, bool resizable, bool maximized) {
    if (maximized) return kHitDefault;
    if (!resizable) return (C == -1 || (y >= 0 && y < C)) ? kHitCaption : kHitDefault;
    if (x >= 0 && x < B) {
        if (y >= 0 && y < B) return kHitTopLeft;
        if (y >= Hd - B && y < Hd) return kHitBottomLeft;
        return kHitLeft;
    }
    if (x >= Wd - B && x < Wd) {
        if (y >= 0 && y < B) return kHitTopRight;
        if (y >= Hd - B && y < Hd) return kHitBottomRight;
        return kHitRight;
    }
    // The top resize band is a fixed three pixels so that the caption stays easy to grab.
    if (y >= 0 && y < 3) return kHitTop;
    if (y >= 3 && y < C) return kHitCaption;
    if (C == -1) return kHitCaption;
    if (y >= Hd - B && y < Hd) return kHitBottom;
    return kHitDefault;
}

SizeEdge SizeEdgeForHit(int hitCode) {
    switch (hitCode) {
    case kHitLeft: return kSizeLeft;
    case kHitRight: return kSizeRight;
    case kHitTop: return kSizeTop;
    case kHitTopLeft: return kSizeTopLeft;
    case kHitTopRight: return kSizeTopRight;
    case kHitBottom: return kSizeBottom;
    case kHitBottomLeft: return kSizeBottomLeft;
    case kHitBottomRight: return kSizeBottomRight;
    default: return kSizeNone;
    }
}

Rect InitialRestoreRect(const Rect& wa) {
    int W = wa.Width(), H = wa.Height();
    return {W / 8, H / 8, wa.right - W / 8, wa.bottom - H / 8};
}

Rect MaximizedRect(const Rect& wa, int maxWidth, int maxHeight) {
    Rect r = wa;
    if (maxWidth < r.Width()) {
        int d = (r.Width() - maxWidth) / 2;
        r.left += d;
        r.right -= d;
    }
    if (maxHeight < r.Height()) {
        int d = (r.Height() - maxHeight) / 2;
        r.top += d;
        r.bottom -= d;
    }
    return r;
}

ProgressFill ComputeProgressFill(int barWidth, int lower, int upper, int pos) {
    ProgressFill fill;
    if (upper <= lower || barWidth <= 0) return fill;
    // Counted from the lower bound so that a range not starting at 0 fills correctly.
    int p = std::clamp(pos, lower, upper) - lower;
    int f = static_cast<int>(static_cast<double>(barWidth) / (upper - lower) * p);
    f = std::clamp(f, 0, barWidth);
    fill.leftWidth = f / 2;
    fill.rightWidth = f - f / 2;
    fill.rightSourceX = barWidth - fill.rightWidth;
    return fill;
}

std::vector<TextLine> WrapStaticText(const std::wstring& text, int areaWidth, int averageCharWidth,
                                     int lineHeight, int lineSpacing,
                                     const std::function<int(const std::wstring&)>& measure) {
    std::vector<TextLine> lines;
    if (areaWidth < averageCharWidth) return lines;
    const int step = lineHeight + lineSpacing;
    std::wstring line;
    int top = 0;
    auto newLine = [&] {
        lines.push_back({line, top});
        line.clear();
        top += step;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r') continue;
        if (c == L'\n') {
            newLine();
            continue;
        }
        line.push_back(c);
        if (line.size() > 1 && measure(line) > areaWidth) {
            line.pop_back();
            newLine();
            line.push_back(c);  // the same character opens the next line, even when it alone is too wide
        }
    }
    lines.push_back({line, top});
    return lines;
}

int WrappedTextHeight(int lines, int lineHeight, int lineSpacing) {
    if (lines < 1) return 0;
    return lineHeight + (lines - 1) * (lineHeight + lineSpacing);
}

int CountMessageLines(const std::wstring& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
}

std::vector<std::wstring> SplitMessageLines(const std::wstring& text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    for (;;) {
        size_t nl = text.find(L'\n', start);
        if (nl == std::wstring::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
}

Size MessageBoxSize(int textW, int textH, int lines, int buttonW, int buttonH) {
    Size s;
    s.cx = (2 * buttonW + 60 < textW) ? textW + 60 : 2 * buttonW + 60;
    s.cy = lines * 3 + textH + buttonH + 90;
    return s;
}

MessageBoxButtons MessageBoxButtonRects(MsgBoxKind kind, int CW, int CH, int BW, int BH) {
    MessageBoxButtons b;
    const int bottom = CH - 30, top = bottom - BH;
    if (kind == MsgBoxKind::OkCancel || kind == MsgBoxKind::YesNo) {
        b.count = 2;
        b.first = {CW / 2 - 10 - BW, top, CW / 2 - 10, bottom};
        b.second = {CW / 2 + 10, top, CW / 2 + 10 + BW, bottom};
    } else {
        b.count = 1;
        b.first = {(CW - BW) / 2, top, (CW - BW) / 2 + BW, bottom};
    }
    return b;
}

Rect MessageBoxLineRect(int index, int lines, int CW, int textW, int textH) {
    const int lh = lines > 0 ? textH / lines : textH;
    const int left = (CW - textW) / 2;
    const int top = 55 + index * (lh + 3);
    return {left, top, left + textW, top + lh};
}

}  // namespace skin
