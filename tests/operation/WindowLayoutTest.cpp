// The operation window's layout: its areas in order at the minimum size and
// larger, and one site box per site inside the concurrent frame, arranged as
// the site layout computes it.
#include "OperationFixture.h"
#include "SitePicture.h"

#include "operation/TabStrip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>
#include <tuple>

namespace {

QRect PixelsOf(const QRect& twips)
{
    const auto px = [](int t) { return int(std::floor(t / 15.0)); };
    const int x = px(twips.left());
    const int y = px(twips.top());
    return QRect(x, y, px(twips.left() + twips.width()) - x, px(twips.top() + twips.height()) - y);
}

class WindowLayoutTest : public OperationWindowTest
{
protected:
    // A programmer of that many sites, shown for a concurrent session.
    void ShowSites(int sites, qint16 perGroup, qint32 handler, QSize size)
    {
        engine->Set(QXPgmrId::SiteCount, sites);
        engine->Set(QXPgmrId::SiteSlotCount, perGroup);
        LoadAndShow(size.width(), size.height());
        data().udtHandlerType = handler;
        window->ConcurrentOperationBegan();
    }

    std::vector<QRect> BoxGeometry() const
    {
        std::vector<QRect> boxes;
        for (const auto& box : window->SiteBox)
            boxes.push_back(box->Control()->Widget()->geometry());
        return boxes;
    }

    // Every site has its box, shown, whole and inside the frame, placed where
    // the site layout puts it for the frame's size.
    void ExpectEverySiteShown(int sites, qint16 perGroup, qint32 handler)
    {
        ASSERT_EQ(int(window->SiteBox.size()), sites);
        ASSERT_EQ(window->GetSiteCount(), sites);
        const QRect frame = window->TwipsGeometry(window->fraConcurrent);
        // The layout keeps 1000 twips below the boxes for the counters; where
        // these stand in more rows than that holds, the boxes give up the
        // rest and end 100 twips above them.
        int countersTop = frame.height();
        for (const QLabel* label : window->fraConcurrent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            countersTop = std::min(countersTop, window->TwipsGeometry(label).top());
        const int height = std::min(frame.height(), countersTop - 100 + 1000);
        CSiteLayout expected;
        expected.SetupLayout(height, frame.width(), sites, perGroup, handler);
        const std::vector<CSiteLayout::Placement> places = expected.Placements();
        for (int k = 0; k < sites; ++k) {
            SiteBoxControl& box = *window->SiteBox[size_t(k)];
            QWidget* widget = box.Control()->Widget();
            EXPECT_TRUE(box.Visible()) << "site " << k + 1;
            EXPECT_FALSE(widget->isHidden()) << "site " << k + 1;
            EXPECT_EQ(widget->parentWidget(), window->fraConcurrent);
            EXPECT_EQ(box.SiteLabel(), QString::number(k + 1));
            const CSiteLayout::Placement& p = places[size_t(k)];
            EXPECT_EQ(widget->geometry(), PixelsOf(QRect(p.left, p.top, p.width, p.height))) << "site " << k + 1;
            EXPECT_FALSE(widget->geometry().isEmpty()) << "site " << k + 1;
            EXPECT_TRUE(window->fraConcurrent->rect().contains(widget->geometry())) << "site " << k + 1;
        }
    }
};

using SiteCase = std::tuple<int, qint32, QSize>;

class EverySiteShown : public WindowLayoutTest, public ::testing::WithParamInterface<SiteCase>
{};

TEST_P(EverySiteShown, InsideTheConcurrentFrame)
{
    const auto [sites, handler, size] = GetParam();
    ShowSites(sites, 1, handler, size);
    ExpectEverySiteShown(sites, 1, handler);
}

INSTANTIATE_TEST_SUITE_P(Models, EverySiteShown,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16, 32), ::testing::Values(0, 1, 2),
                                            ::testing::Values(QSize(450, 372), QSize(1200, 900))));

struct PictureCase
{
    int sites;
    qint16 perGroup;
    qint32 handler;
    QStringList picture;
};

void PrintTo(const PictureCase& c, std::ostream* os)
{
    *os << c.sites << " sites, " << c.perGroup << " per group, handler " << c.handler;
}

class SitesInTheirPlaces : public WindowLayoutTest, public ::testing::WithParamInterface<PictureCase>
{};

TEST_P(SitesInTheirPlaces, AtTheMinimumSize)
{
    const PictureCase& c = GetParam();
    ShowSites(c.sites, c.perGroup, c.handler, QSize(450, 372));
    ExpectEverySiteShown(c.sites, c.perGroup, c.handler);
    EXPECT_EQ(ArrangementPicture(BoxGeometry(), c.perGroup), c.picture);
}

INSTANTIATE_TEST_SUITE_P(Cases, SitesInTheirPlaces,
                         ::testing::Values(PictureCase{3, 2, 0, {"1/2 3"}}, PictureCase{5, 2, 0, {"1/2 3/4", "5"}},
                                           PictureCase{8, 2, 1, {"1+2 3+4 5+6 7+8"}},
                                           PictureCase{9, 1, 2, {". 9", "5 6 7 8", "1 2 3 4"}},
                                           PictureCase{12, 1, 2, {"9 10 11 12", "5 6 7 8", "1 2 3 4"}}));

// While the concurrent frame shows the sites, the counters below the boxes
// show their values whole inside the frame, five digits included: in one row
// where the frame is wide, in two where it is narrower. (At the window's
// smallest size the frame of eight sites is too small for any of it.)
TEST_F(WindowLayoutTest, TheConcurrentFrameHoldsItsCountersWhole)
{
    for (const QSize size : {QSize(640, 480), QSize(1000, 700)}) {
        SCOPED_TRACE(size.width());
        ShowSites(8, 1, 0, size);
        for (const qint32 count : {12, 65535}) {
            window->UpdateJobRunStatistics(count, count, count, count, 0, 0);
            const QList<QLabel*> labels = window->fraConcurrent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
            for (const QLabel* label : labels) {
                SCOPED_TRACE(label->objectName().toStdString() + " " + label->text().toStdString());
                EXPECT_GE(label->width(), label->sizeHint().width());
                EXPECT_TRUE(window->fraConcurrent->rect().contains(label->geometry()));
                for (const QLabel* other : labels)
                    EXPECT_TRUE(other == label || !other->geometry().intersects(label->geometry()))
                        << other->objectName().toStdString();
            }
            // Below the site boxes.
            for (const auto& box : window->SiteBox)
                for (const QLabel* label : labels)
                    EXPECT_FALSE(box->Control()->Widget()->geometry().intersects(label->geometry()))
                        << label->objectName().toStdString();
        }
    }
}

TEST_F(WindowLayoutTest, ANewProgrammerModelGetsItsOwnNumberOfBoxes)
{
    ShowSites(8, 1, 0, QSize(800, 600));
    ExpectEverySiteShown(8, 1, 0);
    engine->Set(QXPgmrId::SiteCount, 2);
    window->ConcurrentOperationBegan();
    ExpectEverySiteShown(2, 1, 0);
}

TEST_F(WindowLayoutTest, BoxesFollowTheWindowSize)
{
    ShowSites(4, 1, 0, QSize(450, 372));
    const QRect small = window->SiteBox[3]->Control()->Widget()->geometry();
    window->resize(1400, 1000);
    ExpectEverySiteShown(4, 1, 0);
    const QRect large = window->SiteBox[3]->Control()->Widget()->geometry();
    EXPECT_GT(large.width(), small.width());
    EXPECT_GT(large.height(), small.height());
}

TEST_F(WindowLayoutTest, NoSiteBoxesBeforeASessionPreparesTheFrame)
{
    engine->Set(QXPgmrId::SiteCount, 8);
    LoadAndShow();
    // Only the designed box exists, hidden, and the frame is hidden.
    EXPECT_EQ(window->GetSiteCount(), 1);
    EXPECT_FALSE(window->SiteBox[0]->Visible());
    EXPECT_TRUE(window->fraConcurrent->isHidden());
}

TEST_F(WindowLayoutTest, ASmallerWindowSnapsBackToTheMinimumBeforeTheLayout)
{
    LoadAndShow(100, 80);
    EXPECT_EQ(window->size(), QSize(450, 372));
    // The layout was computed for 6750 x 5580 twips.
    const QRect status = window->TwipsGeometry(window->cboStatus);
    EXPECT_EQ(status.top() + status.height(), 5580 - 100);
    EXPECT_EQ(status.left() + status.width(), 6750 - 100);
}

TEST_F(WindowLayoutTest, AreasKeepTheirOrderAndSpacing)
{
    for (const QSize size : {QSize(450, 372), QSize(1024, 768)}) {
        LoadAndShow(size.width(), size.height());
        window->resize(size);
        window->Form_Resize();
        const qint32 width = size.width() * 15;
        const qint32 height = size.height() * 15;
        const auto tw = [&](QWidget* w) { return window->TwipsGeometry(w); };
        const auto bottom = [&](QWidget* w) { return tw(w).top() + tw(w).height(); };
        const auto right = [&](QWidget* w) { return tw(w).left() + tw(w).width(); };

        // Summary lines above the tab strip, which stands above the status list.
        EXPECT_LT(bottom(window->txtDevice), tw(window->txtFile).top());
        EXPECT_LT(bottom(window->txtFile), tw(window->txtOptions).top());
        EXPECT_LT(bottom(window->txtOptions), tw(window->tabOperation).top());
        EXPECT_EQ(bottom(window->cboStatus), height - 100);
        EXPECT_EQ(bottom(window->tabOperation), tw(window->cboStatus).top() - 100);
        for (QWidget* w : {static_cast<QWidget*>(window->txtDevice), static_cast<QWidget*>(window->txtFile),
                           static_cast<QWidget*>(window->txtOptions), static_cast<QWidget*>(window->tabOperation),
                           static_cast<QWidget*>(window->cboStatus)})
            EXPECT_EQ(right(w), width - 100) << w->objectName().toStdString();

        // The option frame covers the tab strip's client area; the buttons
        // stand 45 twips below the option rows; bars and the concurrent frame
        // keep their margins.
        const QRect operation = tw(window->fraOperation);
        EXPECT_GT(operation.top(), tw(window->tabOperation).top());
        EXPECT_LE(operation.top() + operation.height(), bottom(window->tabOperation));
        EXPECT_EQ(tw(window->fraButtons).top(), bottom(window->fraOptions) + 45);
        EXPECT_EQ(bottom(window->fraProgressBar), operation.height() - 120);
        EXPECT_EQ(right(window->fraProgressBar), operation.width() - 60);
        for (QProgressBar* bar : window->ProgressBar1)
            EXPECT_EQ(tw(bar).width(), operation.width() - tw(window->fraProgressBar).left() - 300);
        EXPECT_EQ(bottom(window->fraConcurrent), operation.height() - 120);
        EXPECT_EQ(tw(window->fraConcurrent).width(), operation.width() - tw(window->fraProgressBar).left() - 180);
        EXPECT_TRUE(window->fraOperation->rect().contains(window->fraButtons->geometry()));

        // The counters share one row at the frame's foot, a quarter each,
        // where the frame holds them so (a narrower one puts them in two
        // rows, as the test of the concurrent frame shows).
        const QRect frame = tw(window->fraConcurrent);
        if (frame.width() < 6000)
            continue;
        const qint32 column = qint32(std::nearbyint(frame.width() / 4.0));
        const QLabel* captions[] = {window->oStaticLabelPassed, window->oStaticLabelFailed, window->oStaticLabelActive,
                                    window->oStaticLabelRemaining};
        const QLabel* values[] = {window->m_sDevicesPassedValue, window->m_sDevicesFailedValue,
                                  window->m_sDevicesActiveValue, window->m_sDevicesRemainingValue};
        const qint32 lefts[] = {100, column, 2 * column, 3 * column};
        for (int i = 0; i < 4; ++i) {
            const QRect caption = window->TwipsGeometry(captions[i]);
            EXPECT_EQ(caption.top(), frame.height() - caption.height() - 100);
            EXPECT_EQ(caption.left(), lefts[i]);
            EXPECT_EQ(window->TwipsGeometry(values[i]).left(), caption.left() + caption.width() + 50);
            EXPECT_EQ(window->TwipsGeometry(values[i]).top(), caption.top());
        }
    }
}

TEST_F(WindowLayoutTest, SetsFrameSitsBetweenTheOptionsLineAndTheRightEdge)
{
    LoadAndShow(700, 500);
    engine->Set(QXPgmrId::DeviceSupportsSetsAndBanks, true);
    engine->Set(QXPgmrId::SetWidth, 4);
    engine->Set(QXPgmrId::BankCount, 2);
    engine->Set(QXPgmrId::SetMode, 0);
    window->SetDisplayInfo();
    ASSERT_FALSE(window->fraSets->isHidden());
    const QRect options = window->TwipsGeometry(window->txtOptions);
    const QRect sets = window->TwipsGeometry(window->fraSets);
    const QRect file = window->TwipsGeometry(window->txtFile);
    EXPECT_EQ(options.left() + options.width() + 100, sets.left());
    EXPECT_EQ(sets.left() + sets.width(), file.left() + file.width());

    // In sets mode the frame goes and the options line takes the whole width.
    engine->Set(QXPgmrId::SetMode, 1);
    window->SetDisplayInfo();
    EXPECT_TRUE(window->fraSets->isHidden());
    EXPECT_EQ(window->TwipsGeometry(window->txtOptions).width(), file.width());
}

TEST_F(WindowLayoutTest, OptionRowsBeyondTheDesignedFiveAreCreatedHiddenAtLoad)
{
    LoadAndShow();
    ASSERT_EQ(window->Check1.size(), 17);
    ASSERT_EQ(window->cboOperation.size(), 17);
    ASSERT_EQ(window->ProgressBar1.size(), 17);
    for (int row = 0; row < 17; ++row) {
        // The rows made at run time start hidden (the designed five follow
        // the selected tab: with no device they are hidden too).
        if (row >= 5) {
            EXPECT_TRUE(window->Check1[row]->isHidden()) << row;
            EXPECT_TRUE(window->cboOperation[row]->isHidden()) << row;
            EXPECT_TRUE(window->ProgressBar1[row]->isHidden()) << row;
        }
        // One row pitch apart, the same pitch in all three columns.
        EXPECT_EQ(window->TwipsGeometry(window->cboOperation[row]).top(), row * 360) << row;
        EXPECT_EQ(window->TwipsGeometry(window->Check1[row]).top(), row * 360) << row;
        EXPECT_EQ(window->TwipsGeometry(window->ProgressBar1[row]).top(), row * 360) << row;
        EXPECT_EQ(window->TwipsGeometry(window->cboOperation[row]).left(),
                  window->TwipsGeometry(window->cboOperation[0]).left());
    }
}

} // namespace
