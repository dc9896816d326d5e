// The account-key record a page process sends its main window by copy-data, the list of keys
// the window keeps, the geometry of the tab strip those keys label, and the strip's state
// machine driven by a run of mouse and tab events.
#include "FuzzText.h"
#include "gamewnd/TabStrip.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the record's end.
    std::vector<std::uint8_t> record(data, data + size);
    std::wstring key = L"stale";
    const bool ok = tabs::ReadKeyRecord(record.empty() ? nullptr : record.data(), record.size(), key);
    if (ok) {
        FUZZ_CHECK(size % 2 == 0 && size <= tabs::kMaxKeyRecordBytes);
        FUZZ_CHECK(!key.empty() && key.size() <= size / 2 && key.find(L'\0') == std::wstring::npos);
        for (std::size_t i = 0; i < key.size(); ++i)
            FUZZ_CHECK(unsigned(key[i]) == unsigned(data[2 * i] | (data[2 * i + 1] << 8)));
        tabs::AccountKeys keys;
        FUZZ_CHECK(keys.Add(key) && !keys.Add(key) && keys.Contains(key) && keys.Size() == 1);
        FUZZ_CHECK(keys.RemoveAt(0) && !keys.RemoveAt(0));
    } else {
        FUZZ_CHECK(key.empty());
    }
    if (size >= 12) {
        int x, y, count;
        std::memcpy(&x, data, 4);
        std::memcpy(&y, data + 4, 4);
        std::memcpy(&count, data + 8, 4);
        count = count % (tabs::kMaxTabs + 1);
        if (count < 0) count = -count;
        const tabs::StripHit hit = tabs::HitTestStrip(x, y, count);
        FUZZ_CHECK(hit.tab >= -1 && hit.tab < count);
        // A hit lies on the tab it names, and on its close button when it says so.
        auto inside = [](const tabs::Box& b, int px, int py) {
            return px >= b.left && px < b.right && py >= b.top && py < b.bottom;
        };
        if (hit.tab >= 0) FUZZ_CHECK(inside(tabs::TabRect(hit.tab), x, y) && inside(tabs::StripRect(count), x, y));
        if (hit.onClose) FUZZ_CHECK(hit.tab >= 0 && inside(tabs::CloseRect(hit.tab), x, y));
        // Every tab's body past its left edge hits that tab; nothing outside the strip hits.
        for (int i = 0; i < count; ++i)
            if (inside(tabs::TabRect(i), x, y) && x > tabs::TabRect(i).left) FUZZ_CHECK(hit.tab == i);
        if (!inside(tabs::StripRect(count), x, y)) FUZZ_CHECK(hit.tab == -1);
        // A window with tabs never gets smaller than their minimum; a larger one keeps its size.
        int width = x, height = y;
        tabs::ClampToMinimum(count, width, height);
        const tabs::MinSize min = tabs::MinimumSize(count);
        FUZZ_CHECK(width >= min.width && height >= min.height);
        FUZZ_CHECK(width == (x > min.width ? x : min.width) && height == (y > min.height ? y : min.height));
        if (count > 0) FUZZ_CHECK(min.width >= tabs::StripRect(count).right);
        tabs::DecideClose((long long)x * y, count, data[8] & 1);
    }
    // Events, 4 bytes each: kind, x (a third of it), y, flag. The window's tab count moves as tabs
    // are added and closed, as the window keeps it.
    tabs::StripState state;
    int open = 0;
    for (std::size_t at = 12; at + 4 <= size; at += 4) {
        const int px = data[at + 1] * 3, py = data[at + 2] % 32;
        const bool flag = data[at + 3] & 1;
        const tabs::StripHit hit = tabs::HitTestStrip(px, py, open);
        tabs::Repaint repaint;
        const int before = open;
        switch (data[at] % 7) {
        case 0: {
            const tabs::TipChange tip = state.Hover(hit, flag, repaint);
            // No tooltip over a close button or off the strip.
            if (hit.tab < 0 || hit.onClose) FUZZ_CHECK(tip == tabs::TipChange::Hide && !state.TipShown());
            FUZZ_CHECK(state.Hot() == hit.tab);
            if (hit.tab >= 0)
                FUZZ_CHECK(state.Part() == (!hit.onClose ? tabs::HotPart::Tab
                                                         : flag ? tabs::HotPart::ClosePressed : tabs::HotPart::Close));
            break;
        }
        case 1:
            state.Leave(repaint);
            FUZZ_CHECK(state.Hot() == -1);
            break;
        case 2: {
            const int current = state.Current();
            const bool show = state.Press(hit, flag, repaint);
            if (hit.tab >= 0) FUZZ_CHECK(state.Current() == hit.tab && show == (hit.tab != current || flag));
            else FUZZ_CHECK(!show && state.Current() == current && repaint.count == 0);
            break;
        }
        case 3:
            if (open > 0) FUZZ_CHECK(state.Next(open, flag, repaint));
            break;
        case 4:
            if (open < tabs::kMaxTabs) state.Added(++open, repaint);
            break;
        case 5: {
            const int index = px % (open > 0 ? open : 1);
            if (open > 1) state.Removed(index, --open, repaint);
            break;
        }
        case 6:
            if (open > 0) state.Unlit(tabs::TabRect(state.Current()), repaint);
            break;
        }
        // The current tab is one the window has; a lit tab was one when it was lit; every box
        // to repaint lies in the strip as it was or is now.
        if (open > 0) FUZZ_CHECK(state.Current() >= 0 && state.Current() < open);
        FUZZ_CHECK(state.Hot() >= -1 && state.Hot() < open);
        FUZZ_CHECK((state.Hot() == -1) == (state.Part() == tabs::HotPart::None));
        FUZZ_CHECK(repaint.count >= 0 && repaint.count <= 3);
        const tabs::Box strip = tabs::StripRect(before > open ? before : open);
        for (int i = 0; i < repaint.count; ++i) {
            const tabs::Box& b = repaint.boxes[i];
            FUZZ_CHECK(b.left >= strip.left && b.right <= strip.right && b.top >= strip.top &&
                       b.bottom <= strip.bottom && b.left < b.right && b.top < b.bottom);
        }
    }
    return 0;
}
