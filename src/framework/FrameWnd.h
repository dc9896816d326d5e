// The frame of a single-document window: a top-level (or re-parented) window whose client
// area is one view, and the document the view shows. Neither keeps more than that.
#pragma once
#include "framework/Window.h"

namespace fw {

class Document {
public:
    virtual ~Document() = default;
};

class FrameWnd : public Window {
public:
    Window* View() const { return m_pView; }

protected:
    // The view, a child of this frame, kept the size of its client area.
    void SetView(Window* view) { m_pView = view; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    Window* m_pView = nullptr;
};

} // namespace fw
