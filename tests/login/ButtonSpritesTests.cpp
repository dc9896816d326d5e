#include "login/ButtonSprites.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class FakeElement : public SpriteElement {
public:
    FakeElement(long left, long top, long width, long height)
        : left(left), top(top), width(width), height(height) {}
    bool IsDisabled() override { return disabled; }
    long OffsetLeft() override { return left; }
    long OffsetTop() override { return top; }
    long OffsetWidth() override { return width; }
    long OffsetHeight() override { return height; }
    void SetBackgroundPositionX(long x) override {
        if (!hasStyle) return;
        positionX = x;
        ++writes;
    }
    void Click() override { ++clicks; }

    long left, top, width, height;
    bool disabled = false;
    bool hasStyle = true;
    long positionX = 12345;  // untouched
    int writes = 0;
    int clicks = 0;
};

class FakeCapture : public MouseCapture {
public:
    bool HasCapture() override { return held; }
    void Capture() override { held = true; ++captures; }
    void Release() override { held = false; ++releases; }
    bool held = false;
    int captures = 0;
    int releases = 0;
};

struct Sprites : ::testing::Test {
    FakeCapture capture;
    ButtonSprites sprites{capture};
    std::shared_ptr<FakeElement> button = std::make_shared<FakeElement>(100, 50, 80, 30);
};

TEST_F(Sprites, HoverAndNormalMoveTheImageByTheElementWidth) {
    sprites.ButtonHover(*button);
    EXPECT_EQ(button->positionX, -80);
    sprites.ButtonNormal(*button);
    EXPECT_EQ(button->positionX, 0);
    sprites.ButtonPress(button);
    EXPECT_EQ(button->positionX, -160);
}

TEST_F(Sprites, PressCapturesAndHoldsTheElementUntilTheRelease) {
    sprites.ButtonPress(button);
    EXPECT_TRUE(capture.held);
    EXPECT_EQ(sprites.Pressed(), button.get());
    EXPECT_EQ(button.use_count(), 2);  // one counted reference held

    // While the capture is held, leaving and re-entering the element changes nothing.
    sprites.ButtonNormal(*button);
    sprites.ButtonHover(*button);
    EXPECT_EQ(button->positionX, -160);

    // Released inside: Hover, a click, the capture and the element let go.
    EXPECT_TRUE(sprites.OnButtonUp(120, 60));
    EXPECT_EQ(button->positionX, -80);
    EXPECT_EQ(button->clicks, 1);
    EXPECT_FALSE(capture.held);
    EXPECT_EQ(sprites.Pressed(), nullptr);
    EXPECT_EQ(button.use_count(), 1);
}

TEST_F(Sprites, ReleaseOutsideThePressedElementRestoresNormalWithoutClick) {
    sprites.ButtonPress(button);
    EXPECT_TRUE(sprites.OnButtonUp(99, 60));  // one left of the element
    EXPECT_EQ(button->positionX, 0);
    EXPECT_EQ(button->clicks, 0);
    EXPECT_FALSE(capture.held);
    EXPECT_EQ(sprites.Pressed(), nullptr);

    // Right and bottom edges are outside too.
    sprites.ButtonPress(button);
    EXPECT_TRUE(sprites.OnButtonUp(180, 60));
    EXPECT_EQ(button->clicks, 0);
    sprites.ButtonPress(button);
    EXPECT_TRUE(sprites.OnButtonUp(150, 80));
    EXPECT_EQ(button->clicks, 0);
    sprites.ButtonPress(button);
    EXPECT_TRUE(sprites.OnButtonUp(179, 79));
    EXPECT_EQ(button->clicks, 1);
}

TEST_F(Sprites, DisabledButtonNeitherCapturesNorChanges) {
    button->disabled = true;
    sprites.ButtonPress(button);
    sprites.ButtonHover(*button);
    EXPECT_FALSE(capture.held);
    EXPECT_EQ(capture.captures, 0);
    EXPECT_EQ(sprites.Pressed(), nullptr);
    EXPECT_EQ(button->writes, 0);
    // Nothing holds the capture, so a release is not ours to take.
    EXPECT_FALSE(sprites.OnButtonUp(120, 60));
    EXPECT_EQ(button->clicks, 0);
}

TEST_F(Sprites, SecondPressReplacesTheFirstElement) {
    auto other = std::make_shared<FakeElement>(0, 0, 10, 10);
    sprites.ButtonPress(button);
    sprites.ButtonPress(other);
    EXPECT_EQ(sprites.Pressed(), other.get());
    EXPECT_EQ(button.use_count(), 1);
    EXPECT_TRUE(sprites.OnButtonUp(5, 5));
    EXPECT_EQ(other->clicks, 1);
    EXPECT_EQ(button->clicks, 0);
}

TEST_F(Sprites, ReleaseWithoutCaptureIsLeftToTheWindow) {
    EXPECT_FALSE(sprites.OnButtonUp(120, 60));
    EXPECT_EQ(capture.releases, 0);
    // A capture taken by something else still ends, even with no pressed element.
    capture.held = true;
    EXPECT_TRUE(sprites.OnButtonUp(120, 60));
    EXPECT_FALSE(capture.held);
}

TEST_F(Sprites, MouseUpOnTheElementShowsHoverThenClicks) {
    sprites.ButtonRelease(*button);
    EXPECT_EQ(button->positionX, -80);
    EXPECT_EQ(button->clicks, 1);
    // A disabled element keeps its look but the click still reaches it (the page decides).
    button->disabled = true;
    button->positionX = 0;
    sprites.ButtonRelease(*button);
    EXPECT_EQ(button->positionX, 0);
    EXPECT_EQ(button->clicks, 2);
}

TEST_F(Sprites, ElementWithoutStyleIsLeftUnchanged) {
    button->hasStyle = false;
    sprites.ButtonHover(*button);
    sprites.ButtonPress(button);
    EXPECT_EQ(button->positionX, 12345);
    EXPECT_TRUE(capture.held);  // the press itself still counts
}

} // namespace
