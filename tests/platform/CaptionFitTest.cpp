// Caption fitting on a window placed by hand: a caption that needs more room
// than designed gets it, the controls beside and below move out of its way
// keeping their gap, frames and the window grow to hold them, and what had
// room stays where it was.

#include "TestEnv.h"

#include "platform/CaptionFit.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using CaptionFitTest = TarvoTest;

TEST_F(CaptionFitTest, GrownCaptionsPushTheirNeighboursAndTheWindowGrows)
{
    QDialog window;
    window.setFixedSize(200, 60);
    auto* wide = new QPushButton(QStringLiteral("B&uffer Settings Of The Device"), &window);
    wide->setGeometry(8, 8, 40, 20);
    auto* next = new QPushButton(QStringLiteral("&OK"), &window);
    next->setGeometry(56, 8, 60, 20);
    auto* far = new QPushButton(QStringLiteral("..."), &window);
    far->setGeometry(150, 36, 30, 20); // beside the frame
    auto* frame = new QGroupBox(QStringLiteral("Files"), &window);
    frame->setGeometry(8, 36, 100, 20);
    auto* label = new QLabel(QStringLiteral("Auto Save Directory:"), frame);
    label->setGeometry(4, 2, 30, 12);
    auto* box = new QLineEdit(frame);
    box->setGeometry(36, 2, 50, 12);
    auto* check = new QCheckBox(frame);
    check->setGeometry(90, 2, 8, 8); // no caption: left as it is

    captionfit::FitCaptions(&window);

    const QSize wideNeed = wide->fontMetrics().size(Qt::TextShowMnemonic, wide->text());
    EXPECT_GT(wide->width(), wideNeed.width());
    EXPECT_GE(wide->height(), wideNeed.height());
    EXPECT_EQ(wide->pos(), QPoint(8, 8));                // its place as designed
    EXPECT_EQ(next->x(), wide->x() + wide->width() + 8); // the designed gap kept
    EXPECT_EQ(next->width(), 60);
    EXPECT_GE(label->width(), label->sizeHint().width());
    EXPECT_EQ(box->x(), label->x() + label->width() + 2);
    EXPECT_EQ(box->width(), 50);               // no caption, no wider
    EXPECT_EQ(box->height(), label->height()); // but as high as its row
    EXPECT_EQ(check->geometry(), QRect(box->x() + 50 + 4, 2, 8, 8));
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(box), static_cast<QWidget*>(check)})
        EXPECT_TRUE(frame->rect().contains(w->geometry())) << w->metaObject()->className();
    EXPECT_GE(frame->y(), wide->y() + wide->height()); // moved below the grown row
    EXPECT_GE(far->x(), frame->x() + frame->width());  // and what stood beside the frame still does
    for (QWidget* w : {static_cast<QWidget*>(wide), static_cast<QWidget*>(next), static_cast<QWidget*>(frame),
                       static_cast<QWidget*>(far)})
        EXPECT_TRUE(window.rect().contains(w->geometry())) << w->metaObject()->className();
    EXPECT_EQ(window.minimumSize(), window.maximumSize()); // still of fixed size, a larger one

    // Fitted once, everything has room: a second fit changes nothing.
    const QRect before[] = {wide->geometry(), next->geometry(), frame->geometry(), label->geometry(),
                            window.geometry()};
    captionfit::FitCaptions(&window);
    const QRect after[] = {wide->geometry(), next->geometry(), frame->geometry(), label->geometry(), window.geometry()};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(before[i], after[i]) << i;
}

TEST_F(CaptionFitTest, ControlsWithRoomStayAsDesigned)
{
    QDialog window;
    window.setFixedSize(400, 200);
    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    ok->setGeometry(300, 150, 90, 40);
    auto* hidden = new QPushButton(QStringLiteral("A caption far too long for its button"), &window);
    hidden->setGeometry(10, 10, 20, 10);
    hidden->hide();
    captionfit::FitCaptions(&window);
    EXPECT_EQ(ok->geometry(), QRect(300, 150, 90, 40));
    EXPECT_EQ(hidden->geometry(), QRect(10, 10, 20, 10));
    EXPECT_EQ(window.size(), QSize(400, 200));
}

} // namespace
