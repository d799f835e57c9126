// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/TBriskButton.h"

namespace {

using Log = std::vector<std::string>;

// Drag starts are recorded instead of running a drag loop, which would wait for the mouse.
class TDragRecordingButton : public TBriskButton {
public:
    using TBriskButton::TBriskButton;
    std::function<void()> onBeginDrag;
    void BeginDrag() override {
        if (onBeginDrag)
            onBeginDrag();
    }
};

// A 35 x 36 button at (10, 10) on a shown window; every event of the button is written to the log
// with the state it sees ("over0": OnCursorOver while Hovering was false).
class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() {
        window.resize(100, 60);
        button = new TDragRecordingButton(&window);
        button->setGeometry(10, 10, 35, 36);
        button->OnCursorOver = [this](QObject* sender) { record(sender, "over"); };
        button->OnCursorLeft = [this](QObject* sender) { record(sender, "left"); };
        button->OnClick = [this](QObject* sender) { record(sender, "click"); };
        button->OnMouseDown = [this](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            record(sender, "down");
        };
        button->OnMouseUp = [this](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            record(sender, "up");
        };
        button->OnLatchChanging = [this](QObject* sender, bool& allow) {
            record(sender, "changing");
            allow = allowLatch;
        };
        button->OnLatchChanged = [this](QObject* sender, bool& latch) {
            record(sender, latch ? "changed1" : "changed0");
        };
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void record(QObject* sender, const std::string& what) {
        EXPECT_EQ(sender, button);
        const bool withHover = what == "over" || what == "left";
        log.push_back(withHover ? what + (button->Hovering() ? "1" : "0") : what);
    }

    void send(QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held, int x, int y) {
        const QPointF local(x, y);
        QMouseEvent event(type, local, button->mapToGlobal(local), which, held, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    void move(int x, int y) { send(QEvent::MouseMove, Qt::NoButton, m_held, x, y); }
    void press(Qt::MouseButton which, int x, int y) {
        m_held |= which;
        send(QEvent::MouseButtonPress, which, m_held, x, y);
    }
    void release(Qt::MouseButton which, int x, int y) {
        m_held &= ~Qt::MouseButtons(which);
        send(QEvent::MouseButtonRelease, which, m_held, x, y);
    }
    void leave() {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(button, &event);
    }

    QWidget window;
    TDragRecordingButton* button = nullptr;
    bool allowLatch = true;
    Log log;

private:
    Qt::MouseButtons m_held;
};

struct HoverCase {
    int x, y;
    bool inside;
};

class HoverPlaces : public ButtonTest, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(HoverPlaces, InsideExcludesColumnAndRowZero) {
    move(GetParam().x, GetParam().y);
    EXPECT_EQ(button->Hovering(), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Places, HoverPlaces,
                         ::testing::Values(HoverCase{1, 1, true}, HoverCase{34, 35, true},
                                           HoverCase{17, 18, true}, HoverCase{0, 5, false},
                                           HoverCase{5, 0, false}, HoverCase{0, 0, false},
                                           HoverCase{35, 5, false}, HoverCase{5, 36, false},
                                           HoverCase{-1, 5, false}));

TEST_F(ButtonTest, HoverEventsSeeTheOldValueAndComeOnce) {
    move(5, 5);
    move(6, 6);
    EXPECT_TRUE(button->Hovering());
    move(0, 6); // onto column 0: outside
    EXPECT_FALSE(button->Hovering());
    move(0, 7);
    EXPECT_EQ(log, (Log{"over0", "left1"}));
}

TEST_F(ButtonTest, PointerLeavingEndsTheHover) {
    move(5, 5);
    leave();
    EXPECT_FALSE(button->Hovering());
    EXPECT_EQ(log, (Log{"over0", "left1"}));
}

TEST_F(ButtonTest, ClickEndsTheHoverUntilTheNextMovement) {
    move(5, 5);
    press(Qt::LeftButton, 5, 5);
    EXPECT_TRUE(button->PressedLook());
    release(Qt::LeftButton, 5, 5);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_FALSE(button->Hovering());
    EXPECT_EQ(log, (Log{"over0", "down", "left1", "up", "click"}));
    move(6, 6);
    EXPECT_TRUE(button->Hovering());
}

struct ReleaseCase {
    int x, y;
    bool clicks;
};

class ReleasePlaces : public ButtonTest, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(ReleasePlaces, ClickNeedsTheReleaseInsideWithTheBottomBoundIncluded) {
    press(Qt::LeftButton, 5, 5);
    release(Qt::LeftButton, GetParam().x, GetParam().y);
    const bool clicked = !log.empty() && log.back() == "click";
    EXPECT_EQ(clicked, GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(Places, ReleasePlaces,
                         ::testing::Values(ReleaseCase{5, 5, true}, ReleaseCase{34, 36, true},
                                           ReleaseCase{0, 0, true}, ReleaseCase{5, 37, false},
                                           ReleaseCase{35, 5, false}, ReleaseCase{-1, 5, false},
                                           ReleaseCase{5, -1, false}));

TEST_F(ButtonTest, LeavingAPressedButtonCancelsTheClick) {
    move(5, 5);
    press(Qt::LeftButton, 5, 5);
    move(40, 5);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_FALSE(button->Hovering());
    move(6, 6); // back over the button before the release
    release(Qt::LeftButton, 6, 6);
    EXPECT_EQ(log, (Log{"over0", "down", "left1", "over0", "left1", "up"}));
}

TEST_F(ButtonTest, RightPressWithoutCanDragDoesNothing) {
    bool dragged = false;
    button->onBeginDrag = [&] { dragged = true; };
    move(5, 5);
    press(Qt::RightButton, 5, 5);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_TRUE(button->Hovering());
    release(Qt::RightButton, 5, 5);
    EXPECT_FALSE(dragged);
    EXPECT_EQ(log, (Log{"over0", "up"})) << "no OnMouseDown, no click";
}

TEST_F(ButtonTest, RightPressWithCanDragStartsDraggingThenEndsTheHover) {
    button->SetCanDrag(true);
    button->onBeginDrag = [&] { log.push_back(button->Hovering() ? "drag1" : "drag0"); };
    move(5, 5);
    press(Qt::RightButton, 5, 5);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_EQ(log, (Log{"over0", "drag1", "left1"}));
}

TEST_F(ButtonTest, LatchingPressTogglesAndOnlyTheLatchingOneClicks) {
    button->SetCanLatch(true);
    press(Qt::LeftButton, 5, 5);
    release(Qt::LeftButton, 5, 5);
    EXPECT_TRUE(button->Latched());
    EXPECT_TRUE(button->PressedLook()) << "the pressed look follows the latch";
    EXPECT_EQ(log, (Log{"changing", "changed1", "down", "up", "click"}));
    log.clear();
    press(Qt::LeftButton, 5, 5);
    release(Qt::LeftButton, 5, 5);
    EXPECT_FALSE(button->Latched());
    EXPECT_FALSE(button->PressedLook());
    EXPECT_EQ(log, (Log{"changing", "changed0", "up"}));
}

TEST_F(ButtonTest, LatchedButtonStaysDownWhenThePointerLeaves) {
    button->SetCanLatch(true);
    move(5, 5);
    press(Qt::LeftButton, 5, 5);
    move(40, 5);
    EXPECT_TRUE(button->PressedLook());
    release(Qt::LeftButton, 40, 5);
    EXPECT_TRUE(button->Latched());
    EXPECT_EQ(log, (Log{"over0", "changing", "changed1", "down", "left1", "up"})) << "released outside";
}

TEST_F(ButtonTest, RefusedLatchLooksAsBeforeThePress) {
    button->SetCanLatch(true);
    allowLatch = false;
    press(Qt::LeftButton, 5, 5);
    EXPECT_TRUE(button->PressedLook()) << "pressed while held";
    release(Qt::LeftButton, 5, 5);
    EXPECT_FALSE(button->Latched());
    EXPECT_FALSE(button->PressedLook());
    EXPECT_EQ(log, (Log{"changing", "down", "up", "click"}));
}

TEST_F(ButtonTest, RefusedUnlatchStaysDown) {
    button->SetCanLatch(true);
    button->SetLatched(true);
    allowLatch = false;
    log.clear();
    press(Qt::LeftButton, 5, 5);
    release(Qt::LeftButton, 5, 5);
    EXPECT_TRUE(button->Latched());
    EXPECT_TRUE(button->PressedLook());
}

TEST_F(ButtonTest, RefusedLatchPressLeftLooksAsBefore) {
    button->SetCanLatch(true);
    allowLatch = false;
    move(5, 5);
    press(Qt::LeftButton, 5, 5);
    move(40, 5);
    EXPECT_FALSE(button->PressedLook());
    release(Qt::LeftButton, 40, 5);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_EQ(log, (Log{"over0", "changing", "down", "left1", "up"}));
}

TEST_F(ButtonTest, LatchedFromCodeWithoutAsking) {
    ASSERT_FALSE(button->CanLatch());
    button->SetLatched(true);
    EXPECT_TRUE(button->PressedLook());
    button->SetLatched(true);
    EXPECT_EQ(log, (Log{"changed1"}));
}

TEST_F(ButtonTest, ClearingCanLatchUnlatches) {
    button->SetCanLatch(true);
    button->SetLatched(true);
    log.clear();
    button->SetCanLatch(false);
    EXPECT_FALSE(button->Latched());
    EXPECT_FALSE(button->PressedLook());
    EXPECT_EQ(log, (Log{"changed0"}));
    button->SetCanLatch(true);
    button->SetCanLatch(false);
    EXPECT_EQ(log, (Log{"changed0"})) << "an unlatched button raises nothing";
}

TEST_F(ButtonTest, LatchChangedHandlerCannotChangeTheLatch) {
    std::vector<bool> seen;
    button->OnLatchChanged = [&](QObject*, bool& latch) {
        seen.push_back(latch);
        latch = !latch;
    };
    button->SetCanLatch(true);
    press(Qt::LeftButton, 5, 5);
    EXPECT_TRUE(button->Latched());
    EXPECT_TRUE(button->PressedLook());
    button->SetLatched(false);
    EXPECT_FALSE(button->Latched());
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(ButtonTest, MovementRaisesTheInheritedMouseMoveEvent) {
    std::vector<QPoint> moves;
    button->OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int x, int y) { moves.emplace_back(x, y); };
    move(3, 4);
    move(0, 4);
    EXPECT_EQ(moves, (std::vector<QPoint>{{3, 4}, {0, 4}}));
}

TEST_F(ButtonTest, RealPointerClickAndDragOut) {
    // Through Qt's own mouse dispatch: tracking, the implicit grab while pressed, leave events. On a
    // real display a pointer movement arrives asynchronously, hence the waits.
    const auto clicks = [&] { return std::count(log.begin(), log.end(), "click"); };
    QTest::mouseMove(button, QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->Hovering(); }, 2000));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks(), 1);
    log.clear();
    QTest::mouseMove(button, QPoint(8, 8));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->Hovering(); }, 2000));
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_TRUE(button->PressedLook());
    QTest::mouseMove(button, QPoint(60, 8));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->PressedLook(); }, 2000));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(60, 8));
    EXPECT_EQ(clicks(), 0);
    EXPECT_FALSE(button->Hovering());
}

TEST_F(ButtonTest, HintShowsOnlyWithShowHint) {
    button->SetHint("Exit track manager");
    const auto askForHint = [&] {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(askForHint(), QString());
    button->SetShowHint(true);
    EXPECT_EQ(askForHint(), "Exit track manager");
    QToolTip::hideText();
}

class AcceleratorTest : public ButtonTest {
protected:
    AcceleratorTest() {
        button->SetCaption("E&xit");
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    int clicksOf(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier) {
        log.clear();
        QTest::keyClick(&window, key, modifiers);
        return static_cast<int>(std::count(log.begin(), log.end(), "click"));
    }
};

TEST_F(AcceleratorTest, AltAndTheCharacterAfterTheAmpersandClicks) {
    EXPECT_EQ(clicksOf(Qt::Key_X), 1);
    EXPECT_EQ(clicksOf(Qt::Key_E), 0);
}

TEST_F(AcceleratorTest, DisabledOrHiddenButtonIsNotClicked) {
    button->setEnabled(false);
    EXPECT_EQ(clicksOf(Qt::Key_X), 0);
    button->setEnabled(true);
    button->hide();
    EXPECT_EQ(clicksOf(Qt::Key_X), 0);
}

TEST_F(AcceleratorTest, FollowsTheCaption) {
    button->SetCaption("Exit");
    EXPECT_EQ(clicksOf(Qt::Key_X), 0);
    button->SetCaption("Fetch && e&xit");
    EXPECT_EQ(clicksOf(Qt::Key_X), 1);
}

TEST_F(ButtonTest, ControlDragsOverTheButtonAskOnDragOver) {
    std::vector<TDragState> states;
    button->OnDragOver = [&](QObject*, QObject*, int, int, TDragState state, bool& accept) {
        states.push_back(state);
        accept = state == dsDragEnter;
    };
    QMimeData ours;
    ours.setData("application/x-track-manager-control", {});
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &ours, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent over(QPoint(6, 6), Qt::MoveAction, &ours, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(button, &over);
    EXPECT_FALSE(over.isAccepted());
    QMimeData files;
    files.setText("/tmp/track.env");
    QDragEnterEvent foreign(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &foreign);
    EXPECT_FALSE(foreign.isAccepted()) << "drags from other programs are not the button's";
    EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove}));
}

} // namespace
