// The main window's rules that need no window: where the tabs of the caption band lie, what
// a point in the strip hits, which tab is current, lit or pressed and what to repaint when
// that changes, where the page and the caption controls lie, the smallest size with tabs, the
// list of logged-in account keys, the account-key record a page process sends, and what a
// close request posted to the window leads to. No Windows header.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tabs {

constexpr int kTabLeft = 120;   // x of the first tab
constexpr int kTabWidth = 189;
constexpr int kTabTop = 3;
constexpr int kTabHeight = 22;  // background frame height; the strip's hit band is y 3..24
constexpr int kCloseSize = 13;
constexpr int kMaxTabs = 3;     // per main window, when a tab is asked for from that window

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const Box&) const = default;
};

// Tab i's background frame, (120+189i, 3) 189 x 22.
Box TabRect(int i);
// Where tab i's label is written: (136+189i, 8)-(296+189i, 22).
Box LabelRect(int i);
// Tab i's close button, 13 x 13 at (296+189i, 3).
Box CloseRect(int i);
// The rectangle to repaint for tabs 0..count-1: (120, 3)-(120+189·count, 25).
Box StripRect(int count);

// Where a client point falls in a strip of `count` tabs.
struct StripHit {
    int tab = -1;          // -1: outside the strip
    bool onClose = false;  // on that tab's close button
};
StripHit HitTestStrip(int x, int y, int count);

// The part of a lit tab the mouse is on.
enum class HotPart {
    None = -1,
    Tab = 0,            // anywhere on the tab but its close button
    Close = 1,          // on the close button
    ClosePressed = 2,   // on the close button with the left button down
};

// The boxes to repaint after a change of the strip's state (at most three).
struct Repaint {
    Box boxes[3];
    int count = 0;
    void Add(const Box& box) {
        if (count < 3) boxes[count++] = box;
    }
};

// What the tab strip's tooltip does after the mouse has moved.
enum class TipChange { Keep, Show, Hide };

// The strip's current, lit and pressed tab. The number of tabs is kept by the window and
// passed in; the state never names a tab that the count does not have once that count is
// passed in.
class StripState {
public:
    int Current() const { return m_current; }
    int Hot() const { return m_hot; }
    HotPart Part() const { return m_part; }
    bool TipShown() const { return m_tipShown; }

    // The mouse is over the window at a point that hits `hit` (with the left button down or
    // not). The tooltip shows the lit tab's label when the mouse comes onto a tab, goes when
    // it moves to another tab, and never shows over a close button.
    TipChange Hover(const StripHit& hit, bool leftDown, Repaint& repaint);
    // The mouse has left the window: no tab stays lit (the tooltip goes by itself).
    void Leave(Repaint& repaint);
    // The left button went down on `hit` (a tab). True when that tab is to be shown: it
    // became current, or it is current and the home page covers it (homeShown).
    bool Press(const StripHit& hit, bool homeShown, Repaint& repaint);
    // The next tab of `count` becomes current unless there is only one or the home page
    // covers the tabs. True when there is a current tab to show.
    bool Next(int count, bool homeShown, Repaint& repaint);
    // A tab was added at the end: it becomes current; `count` is the new number of tabs.
    void Added(int count, Repaint& repaint);
    // Tab `index` was closed; `count` is the number left (at least one). The tab now at its
    // place (or the last) becomes current; nothing stays lit.
    void Removed(int index, int count, Repaint& repaint);
    // The player kept tab `index` (the close was refused) or is being asked about the last
    // tab: nothing stays lit; `box` is the part of it to repaint.
    void Unlit(const Box& box, Repaint& repaint);

private:
    int m_current = 0;
    int m_hot = -1;
    HotPart m_part = HotPart::None;
    bool m_tipShown = false;
};

// Which tab a button released over `hit` closes: a middle click anywhere on a tab, a left
// click on its close button; -1: none.
int TabClosedByRelease(const StripHit& hit, bool middle);

// The band along the top that holds the caption's controls and the tabs; the page lies
// below it, inside a frame of kPageFrame pixels.
constexpr int kCaptionBand = 30;
constexpr int kPageFrame = 4;
// Where a shown page lies in a client area of width x height.
Box PageArea(int width, int height);

// The caption controls, right-aligned to the client width.
enum class CaptionControl { Hide, Sound, System, AddAccount };
constexpr int kCaptionControlCount = 4;
Box CaptionControlBox(CaptionControl control, int clientWidth);

// The smallest window with `count` tabs (none without tabs: 0 x 0).
struct MinSize {
    int width = 0, height = 0;
};
MinSize MinimumSize(int count);
// Raises a requested size to the minimum; unchanged without tabs.
void ClampToMinimum(int count, int& width, int& height);

// The account keys of the tabs, in tab order: the same account (exact, case-sensitive text)
// cannot have two tabs in one window.
class AccountKeys {
public:
    // False (and nothing added) when the key is already there or is empty.
    bool Add(const std::wstring& key);
    bool RemoveAt(std::size_t index);
    // False when the key is not there.
    bool Remove(const std::wstring& key);
    bool Contains(const std::wstring& key) const;
    std::size_t Size() const { return m_keys.size(); }
    const std::wstring& At(std::size_t index) const { return m_keys[index]; }
    const std::vector<std::wstring>& All() const { return m_keys; }

private:
    std::vector<std::wstring> m_keys;
};

// The largest record a login can send: a key of 255 bytes of account and server text makes
// far less than this; anything larger is not a login's.
constexpr std::size_t kMaxKeyRecordBytes = 1024;

// Reads the account key from a copy-data record of `bytes` bytes of UTF-16 text. Refused (false)
// when the size is zero, odd or above kMaxKeyRecordBytes, or when the text is empty. The text
// ends at its first terminator or at the end of the record, whichever comes first: nothing
// beyond `bytes` is read.
bool ReadKeyRecord(const void* data, std::size_t bytes, std::wstring& key);

// What a posted SC_CLOSE does to the main window, decided before it is dispatched.
enum class CloseAction {
    ExitNow,               // ExitProgram at once
    DropPendingPage,       // forget the page that did not make it; the message is consumed
    EndPendingAndExit,     // end the pending page process, then ExitProgram; consumed
    Normal,                // ordinary processing: the exit question when tabs exist
};
// marker: the message's lParam (7315 from a page whose login ended without a game, 0 from
// the window's own close button or the system).
CloseAction DecideClose(long long marker, int tabCount, bool pendingPage);

} // namespace tabs
