// Three-state sprite buttons of the operator's pages. A "button" element's background image
// holds Normal, Hover and Pressed side by side, each as wide as the element; the state is
// shown by moving the image left. A press takes the mouse capture for the dialog so that the
// release is seen even outside the page element. No window code here: the page element and
// the capture are reached through the two interfaces below.
#pragma once
#include <memory>

// What the sprites need of a page element.
class SpriteElement {
public:
    virtual ~SpriteElement() = default;
    // The attribute "disabled" reads as a boolean true.
    virtual bool IsDisabled() = 0;
    virtual long OffsetLeft() = 0;
    virtual long OffsetTop() = 0;
    virtual long OffsetWidth() = 0;
    virtual long OffsetHeight() = 0;
    // Sets the style's background-position-x; an element without a style stays as it is.
    virtual void SetBackgroundPositionX(long x) = 0;
    virtual void Click() = 0;
};

// The dialog window's hold on the mouse.
class MouseCapture {
public:
    virtual ~MouseCapture() = default;
    virtual bool HasCapture() = 0;
    virtual void Capture() = 0;
    virtual void Release() = 0;
};

class ButtonSprites {
public:
    explicit ButtonSprites(MouseCapture& capture) : m_capture(capture) {}

    static void ShowNormal(SpriteElement& e) { e.SetBackgroundPositionX(0); }
    static void ShowHover(SpriteElement& e) { e.SetBackgroundPositionX(-e.OffsetWidth()); }
    static void ShowPressed(SpriteElement& e) { e.SetBackgroundPositionX(-2 * e.OffsetWidth()); }

    // Mouse out: Normal unless a press holds the capture.
    void ButtonNormal(SpriteElement& e);
    // Mouse over: Hover, unless a press holds the capture or the element is disabled.
    void ButtonHover(SpriteElement& e);
    // Mouse down: an enabled element becomes the pressed one, takes the capture, shows Pressed.
    void ButtonPress(const std::shared_ptr<SpriteElement>& e);
    // Mouse up reaching the element itself: Hover by the mouse-over rules, then a click.
    void ButtonRelease(SpriteElement& e);

    // A left or right button release seen by the dialog window, at (x, y) in its client
    // coordinates. While the dialog holds the capture: the capture goes, the pressed
    // element clicks when the point lies inside it and otherwise shows Normal, and true is
    // returned (the release is consumed). Without the capture nothing happens.
    bool OnButtonUp(long x, long y);

    SpriteElement* Pressed() const { return m_pPressedElement.get(); }
    // Lets go of the pressed element (the dialog is going).
    void Reset() { m_pPressedElement.reset(); }

private:
    MouseCapture& m_capture;
    std::shared_ptr<SpriteElement> m_pPressedElement;
};
