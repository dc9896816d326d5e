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
