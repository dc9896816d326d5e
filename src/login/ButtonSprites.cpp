#include "login/ButtonSprites.h"

void ButtonSprites::ButtonNormal(SpriteElement& e) {
    if (!m_capture.HasCapture()) ShowNormal(e);
}

void ButtonSprites::ButtonHover(SpriteElement& e) {
    if (m_capture.HasCapture()) return;
    if (e.IsDisabled()) return;
    ShowHover(e);
}

void ButtonSprites::ButtonPress(const std::shared_ptr<SpriteElement>& e) {
    if (!e || e->IsDisabled()) return;
    m_pPressedElement = e;
    m_capture.Capture();
    ShowPressed(*e);
}

void ButtonSprites::ButtonRelease(SpriteElement& e) {
    ButtonHover(e);
    e.Click();
}

bool ButtonSprites::OnButtonUp(long x, long y) {
    if (!m_capture.HasCapture()) return false;
    m_capture.Release();
    // Keep the element alive through its click, which may run page script.
    std::shared_ptr<SpriteElement> pressed = std::move(m_pPressedElement);
    m_pPressedElement.reset();
    if (pressed) {
        long left = pressed->OffsetLeft(), top = pressed->OffsetTop();
        long right = left + pressed->OffsetWidth(), bottom = top + pressed->OffsetHeight();
        // Right and bottom edges lie outside, as for any window rectangle.
        bool inside = x >= left && x < right && y >= top && y < bottom;
        if (inside) {
            ShowHover(*pressed);
            pressed->Click();
        } else {
            ShowNormal(*pressed);
        }
    }
    return true;
}
