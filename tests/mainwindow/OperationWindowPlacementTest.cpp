// The operation window inside the main window: Action and Stop stay within
// the operator's reach whatever the size of the main window, through the
// inner area's scroll bars when it is too small to show them.
#include "MainWindowFixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>

namespace {

// The part of a control the inner area shows: the control's rectangle in the
// area's viewport, cut by every window and frame around it.
QRect ShownPart(QMdiArea* area, QWidget* control)
{
    QWidget* viewport = area->viewport();
    QRect shown(control->mapTo(viewport, QPoint(0, 0)), control->size());
    for (QWidget* w = control->parentWidget(); w && w != viewport; w = w->parentWidget())
        shown &= QRect(w->mapTo(viewport, QPoint(0, 0)), w->size());
    return shown & viewport->rect();
}

// Scrolls one bar so that the span [from, to] of the viewport comes into
// view, as the operator would; False when the span lies outside and the bar
// is not there to reach it.
bool ScrollInto(QScrollBar* bar, int from, int to, int length)
{
    int move = 0;
    if (to > length)
        move = to - length;
    if (from + move < 0)
        move = from;
    if (move == 0)
        return true;
    if (!bar->isVisible())
        return false;
    bar->setValue(bar->value() + move);
    return true;
}

// True when the control is shown whole in the inner area, after scrolling
// to it with the scroll bars the area shows.
::testing::AssertionResult Reachable(QMdiArea* area, QWidget* control)
{
    QApplication::processEvents();
    if (!control->isVisibleTo(area))
        return ::testing::AssertionFailure() << control->objectName().toStdString() << " is hidden";
    const QRect whole(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
    const QSize view = area->viewport()->size();
    if (!ScrollInto(area->horizontalScrollBar(), whole.left(), whole.right() + 1, view.width())
        || !ScrollInto(area->verticalScrollBar(), whole.top(), whole.bottom() + 1, view.height()))
        return ::testing::AssertionFailure() << control->objectName().toStdString() << " lies outside the inner area "
                                             << view.width() << "x" << view.height() << " with no scroll bar to reach it";
    QApplication::processEvents();
    const QRect shown = ShownPart(area, control);
    if (shown.size() != control->size())
        return ::testing::AssertionFailure() << control->objectName().toStdString() << " shows "
                                             << shown.width() << "x" << shown.height() << " of "
                                             << control->width() << "x" << control->height();
    return ::testing::AssertionSuccess();
}

using OperationWindowPlacementTest = MainWindowTest;

TEST_F(OperationWindowPlacementTest, ActionAndStopAreReachableAtEverySize)
{
    ASSERT_TRUE(start());
    QMdiArea* area = gMainForm->mdiArea;
    frmProgram& p = operationWindow();
    const QSize startSize = gMainForm->size();

    // The start size, a main window made small, one only narrow, one only
    // low, then the start size again.
    const QSize sizes[] = {startSize, {260, 220}, {260, startSize.height()}, {startSize.width(), 220}, startSize};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        gMainForm->resize(size);
        QApplication::processEvents();
        // The operator can make the main window that small.
        EXPECT_EQ(gMainForm->size(), size);
        // Never smaller than its controls need.
        QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(p.parentWidget());
        ASSERT_NE(sub, nullptr);
        EXPECT_GE(p.width(), p.minimumWidth());
        EXPECT_GE(p.height(), p.minimumHeight());
        EXPECT_TRUE(Reachable(area, p.btnAction));
        EXPECT_TRUE(Reachable(area, p.btnStop));
    }

    // Big enough again: no scroll bar, the window fills the inner area from
    // its origin.
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    EXPECT_EQ(p.parentWidget()->geometry(), QRect(QPoint(0, 0), area->viewport()->size()));
}

TEST_F(OperationWindowPlacementTest, AWindowThatNeedsMoreThanTheInnerAreaIsScrolledTo)
{
    ASSERT_TRUE(start());
    frmProgram& p = operationWindow();
    QMdiArea* area = gMainForm->mdiArea;
    // The operation window says it needs more than the inner area holds, as
    // it does when a device brings more option rows.
    const QSize inner = area->viewport()->size();
    p.setMinimumSize(inner.width() + 150, inner.height() + 200);
    gMainForm->resize(gMainForm->size() + QSize(1, 1));
    QApplication::processEvents();

    EXPECT_GE(p.width(), inner.width() + 150);
    EXPECT_GE(p.height(), inner.height() + 200);
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(Reachable(area, p.btnAction));
    EXPECT_TRUE(Reachable(area, p.btnStop));
    // Scrolled to the end, its bottom and right edges (the status list) come
    // into view, and it keeps its size.
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    const QRect placed = p.parentWidget()->geometry();
    EXPECT_EQ(placed.bottomRight(), area->viewport()->rect().bottomRight());
    EXPECT_GE(p.height(), inner.height() + 200);
}

TEST_F(OperationWindowPlacementTest, MoreOptionRowsStayReachable)
{
    ASSERT_TRUE(start());
    frmProgram& p = operationWindow();
    const int heightBefore = p.minimumHeight();
    // Twelve option rows, as a device with that many custom-action steps
    // shows them.
    p.ResizeOptionsFrame(12);
    if (p.minimumHeight() <= heightBefore)
        GTEST_SKIP() << "the operation window's minimum size does not follow its option rows yet";

    for (const QSize& size : {gMainForm->size(), QSize(300, 260)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        gMainForm->resize(size);
        QApplication::processEvents();
        EXPECT_TRUE(Reachable(gMainForm->mdiArea, p.btnAction));
        EXPECT_TRUE(Reachable(gMainForm->mdiArea, p.btnStop));
    }
}

} // namespace
