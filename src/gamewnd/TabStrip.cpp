#include "gamewnd/TabStrip.h"
#include "common/SelfPostMarker.h"

#include <algorithm>
#include <cstring>

namespace tabs {

Box TabRect(int i) {
    const int left = kTabLeft + kTabWidth * i;
    return {left, kTabTop, left + kTabWidth, kTabTop + kTabHeight};
}

Box LabelRect(int i) {
    const int left = kTabLeft + kTabWidth * i;
    return {left + 16, 8, left + 176, 22};
}

Box CloseRect(int i) {
    const int left = kTabLeft + kTabWidth * i + 176;
    return {left, kTabTop, left + kCloseSize, kTabTop + kCloseSize};
}

Box StripRect(int count) {
    return {kTabLeft, kTabTop, kTabLeft + kTabWidth * count, 25};
}

StripHit HitTestStrip(int x, int y, int count) {
    StripHit hit;
    if (count <= 0 || y < 3 || y > 24 || x <= kTabLeft || x >= kTabLeft + kTabWidth * count) return hit;
    hit.tab = (x - kTabLeft) / kTabWidth;
    const Box close = CloseRect(hit.tab);
    hit.onClose = x >= close.left && x < close.right && y < 16;
    return hit;
}

TipChange StripState::Hover(const StripHit& hit, bool leftDown, Repaint& repaint) {
    if (hit.tab < 0) {
        Leave(repaint);
        m_tipShown = false;
        return TipChange::Hide;
    }
    TipChange tip = TipChange::Keep;
    if (!m_tipShown) {
        tip = TipChange::Show;
        m_tipShown = true;
    } else if (hit.tab != m_hot) {
        tip = TipChange::Hide;
        m_tipShown = false;
    }
    HotPart part = HotPart::Tab;
    if (hit.onClose) {
        part = leftDown ? HotPart::ClosePressed : HotPart::Close;
        tip = TipChange::Hide;
        m_tipShown = false;
    }
    if (hit.tab != m_hot || part != m_part) {
        const int old = m_hot;
        if (old >= 0) repaint.Add(old != hit.tab ? TabRect(old) : CloseRect(old));
        if (old != hit.tab) repaint.Add(TabRect(hit.tab));
        m_hot = hit.tab;
        m_part = part;
    }
    return tip;
}

void StripState::Leave(Repaint& repaint) {
    if (m_hot >= 0) repaint.Add(TabRect(m_hot));
    m_hot = -1;
    m_part = HotPart::None;
}

bool StripState::Press(const StripHit& hit, bool homeShown, Repaint& repaint) {
    if (hit.tab < 0) return false;
    bool show = false;
    if (hit.tab != m_current) {
        repaint.Add(TabRect(m_current));
        repaint.Add(TabRect(hit.tab));
        m_current = hit.tab;
        show = true;
    } else if (homeShown) {
        show = true;
    }
    if (hit.onClose) {
        m_hot = hit.tab;
        m_part = HotPart::ClosePressed;
        repaint.Add(CloseRect(hit.tab));
    }
    return show;
}

bool StripState::Next(int count, bool homeShown, Repaint& repaint) {
    if (count <= 0) return false;
    if (count > 1 && !homeShown) {
        repaint.Add(TabRect(m_current));
        m_current = (m_current + 1) % count;
        repaint.Add(TabRect(m_current));
    }
    return m_current >= 0 && m_current < count;
}

void StripState::Added(int count, Repaint& repaint) {
    m_current = count - 1;
    repaint.Add(StripRect(count));
}

void StripState::Removed(int index, int count, Repaint& repaint) {
    const int last = count - 1;
    m_current = index > last ? last : index;
    repaint.Add(StripRect(count + 1));
    m_hot = -1;
    m_part = HotPart::None;
}

void StripState::Unlit(const Box& box, Repaint& repaint) {
    repaint.Add(box);
    m_hot = -1;
    m_part = HotPart::None;
}

int TabClosedByRelease(const StripHit& hit, bool middle) {
    return hit.tab >= 0 && (middle || hit.onClose) ? hit.tab : -1;
}

Box PageArea(int width, int height) {
    return {kPageFrame, kCaptionBand, width - kPageFrame, height - kPageFrame};
}

Box CaptionControlBox(CaptionControl control, int clientWidth) {
    // Offsets from the right edge and sizes, as the skin's pictures are drawn.
    struct Place {
        int fromRight, top, width, height;
    };
    static constexpr Place kPlaces[kCaptionControlCount] = {
        {114, 0, 27, 27},  // hide
        {141, 0, 27, 27},  // sound
        {185, 0, 44, 28},  // system menu
        {285, 7, 92, 16},  // "登录其他账号"
    };
    const Place& p = kPlaces[static_cast<int>(control)];
    const int left = clientWidth - p.fromRight;
    return {left, p.top, left + p.width, p.top + p.height};
}

MinSize MinimumSize(int count) {
    if (count <= 0) return {};
    return {483 + kTabWidth * count, 260};
}

void ClampToMinimum(int count, int& width, int& height) {
    const MinSize min = MinimumSize(count);
    width = std::max(width, min.width);
    height = std::max(height, min.height);
}

bool AccountKeys::Add(const std::wstring& key) {
    if (key.empty() || Contains(key)) return false;
    m_keys.push_back(key);
    return true;
}

bool AccountKeys::RemoveAt(std::size_t index) {
    if (index >= m_keys.size()) return false;
    m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool AccountKeys::Remove(const std::wstring& key) {
    const auto at = std::find(m_keys.begin(), m_keys.end(), key);
    if (at == m_keys.end()) return false;
    m_keys.erase(at);
    return true;
}

bool AccountKeys::Contains(const std::wstring& key) const {
    return std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end();
}

bool ReadKeyRecord(const void* data, std::size_t bytes, std::wstring& key) {
    key.clear();
    if (!data || bytes == 0 || bytes % 2 != 0 || bytes > kMaxKeyRecordBytes) return false;
    const std::size_t units = bytes / 2;
    // The record need not be aligned for wchar_t: copy it out unit by unit.
    std::wstring text(units, L'\0');
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < units; ++i) {
        const wchar_t c = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
        if (c == L'\0') {
            text.resize(i);
            break;
        }
        text[i] = c;
    }
    if (text.empty()) return false;
    key = std::move(text);
    return true;
}

CloseAction DecideClose(long long marker, int tabCount, bool pendingPage) {
    if (marker == kSelfPostMarker) {
        if (tabCount == 0) return CloseAction::ExitNow;
        return pendingPage ? CloseAction::DropPendingPage : CloseAction::Normal;
    }
    if (marker == 0 && tabCount == 0) return CloseAction::EndPendingAndExit;
    return CloseAction::Normal;
}

} // namespace tabs
