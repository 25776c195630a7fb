// The site layout: the arrangement of the site boxes as a plain computation,
// and what it puts into the site controls of its window.
#include "SitePicture.h"
#include "TestEnv.h"

#include "engine/SiteBoxControl.h"
#include "operation/CSiteLayout.h"
#include "platform/DispatchObject.h"

#include <QVariant>
#include <memory>

namespace {

std::vector<QRect> Boxes(const CSiteLayout& layout)
{
    std::vector<QRect> boxes;
    for (const CSiteLayout::Placement& p : layout.Placements())
        boxes.emplace_back(p.left, p.top, p.width, p.height);
    return boxes;
}

struct ArrangementCase
{
    int sites;
    qint16 sitesPerGroup;
    qint32 handlerType;
    QStringList picture;
};

void PrintTo(const ArrangementCase& c, std::ostream* os)
{
    *os << c.sites << " sites, " << c.sitesPerGroup << " per group, handler " << c.handlerType;
}

class SiteArrangement : public ::testing::TestWithParam<ArrangementCase>
{};

TEST_P(SiteArrangement, GroupsFillRowsInTheirOrder)
{
    const ArrangementCase& c = GetParam();
    CSiteLayout layout;
    layout.SetupLayout(6000, 24000, c.sites, c.sitesPerGroup, c.handlerType);
    EXPECT_EQ(ArrangementPicture(Boxes(layout), c.sitesPerGroup), c.picture)
        << c.sites << " sites, " << c.sitesPerGroup << " per group, handler " << c.handlerType;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SiteArrangement,
    ::testing::Values(
        ArrangementCase{1, 1, 0, {"1"}}, ArrangementCase{2, 1, 0, {"1 2"}}, ArrangementCase{4, 1, 0, {"1 2", "3 4"}},
        ArrangementCase{8, 1, 0, {"1 2 3 4", "5 6 7 8"}},
        // The sites of a group are stacked with the manual handler...
        ArrangementCase{8, 2, 0, {"1/2 3/4", "5/6 7/8"}},
        // ...and stand side by side with an automatic one.
        ArrangementCase{8, 2, 1, {"1+2 3+4 5+6 7+8"}},
        ArrangementCase{16, 4, 1, {"1+2+3+4 5+6+7+8 9+10+11+12 13+14+15+16"}},
        ArrangementCase{
            32, 1, 0, {"1 2 3 4 5 6 7 8 9 10 11", "12 13 14 15 16 17 18 19 20 21 22", "23 24 25 26 27 28 29 30 31 32"}},
        // A last group with fewer sites still shows all of them.
        ArrangementCase{3, 2, 0, {"1/2 3"}}, ArrangementCase{5, 2, 0, {"1/2 3/4", "5"}},
        ArrangementCase{5, 2, 2, {"1+2 3+4 5"}},
        // Handler type 2: from the bottom row upward, four groups a row; a
        // short top row starts one column in.
        ArrangementCase{9, 1, 2, {". 9", "5 6 7 8", "1 2 3 4"}},
        ArrangementCase{10, 1, 2, {". 9 10", "5 6 7 8", "1 2 3 4"}},
        ArrangementCase{12, 1, 2, {"9 10 11 12", "5 6 7 8", "1 2 3 4"}},
        ArrangementCase{16, 1, 2, {"13 14 15 16", "9 10 11 12", "5 6 7 8", "1 2 3 4"}},
        ArrangementCase{6, 1, 2, {"5 6", "1 2 3 4"}}, ArrangementCase{4, 1, 2, {"1 2 3 4"}},
        // No sites per group reported: one site a group.
        ArrangementCase{4, 0, 0, {"1 2", "3 4"}}));

TEST(SiteLayoutSizes, EachGroupTakesNineTenthsOfItsCell)
{
    CSiteLayout layout;
    layout.SetupLayout(5000, 8000, 8, 1, 0);
    EXPECT_EQ(layout.Rows(), 2);
    EXPECT_EQ(layout.GroupsPerRow(), 4);
    EXPECT_EQ(layout.RowPitch(), 2000); // 1000 twips stay free for the counters
    EXPECT_EQ(layout.ColumnPitch(), 2000);
    EXPECT_EQ(layout.BoxHeight(), 1800);
    EXPECT_EQ(layout.BoxWidth(), 1800);
    EXPECT_EQ(layout.Placements()[5].top, 200 + 2000);
    EXPECT_EQ(layout.Placements()[5].left, 100 + 2000);

    // Stacked pairs share the row's nine tenths.
    layout.SetupLayout(5000, 8000, 8, 2, 0);
    EXPECT_TRUE(layout.Stacked());
    EXPECT_FALSE(layout.GroupedSlots());
    EXPECT_EQ(layout.BoxHeight(), 900);
    EXPECT_EQ(layout.BoxWidth(), 3600);
    EXPECT_EQ(layout.Placements()[1].top, 200 + 900);

    // Side by side the pair shares the column's nine tenths.
    layout.SetupLayout(5000, 8000, 8, 2, 1);
    EXPECT_FALSE(layout.Stacked());
    EXPECT_TRUE(layout.GroupedSlots());
    EXPECT_EQ(layout.BoxHeight(), 3600);
    EXPECT_EQ(layout.BoxWidth(), 900);

    // Halves round to even: 2150 * 0.9 / 2 = 967.5.
    layout.SetupLayout(5300, 8000, 8, 2, 0);
    EXPECT_EQ(layout.RowPitch(), 2150);
    EXPECT_EQ(layout.BoxHeight(), 968);
}

// Whatever the frame, every site has its box, no box leaves the frame or
// has a negative size, and no two boxes overlap.
TEST(SiteLayoutSizes, EveryBoxFitsInAnyFrame)
{
    const QSize frames[] = {{0, 0}, {150, 80}, {900, 900}, {1500, 2000}, {2570, 2440}, {6000, 20000}, {24000, 9000}};
    for (const QSize& frame : frames) {
        for (int sites = 0; sites <= 40; ++sites) {
            for (qint16 perGroup : {qint16(-1), qint16(0), qint16(1), qint16(2), qint16(3), qint16(4), qint16(8)}) {
                for (qint32 handler : {0, 1, 2}) {
                    CSiteLayout layout;
                    layout.SetupLayout(frame.height(), frame.width(), sites, perGroup, handler);
                    const std::vector<QRect> boxes = Boxes(layout);
                    ASSERT_EQ(int(boxes.size()), sites);
                    const QRect inside(0, 0, frame.width(), frame.height());
                    for (size_t k = 0; k < boxes.size(); ++k) {
                        const QRect& b = boxes[k];
                        const auto where = [&] {
                            return testing::Message()
                                << sites << " sites, " << perGroup << " per group, handler " << handler << ", frame "
                                << frame.width() << "x" << frame.height() << ", site " << k + 1;
                        };
                        ASSERT_GE(b.width(), 0) << where();
                        ASSERT_GE(b.height(), 0) << where();
                        ASSERT_TRUE(b.left() >= 0 && b.top() >= 0 && b.left() + b.width() <= frame.width()
                                    && b.top() + b.height() <= frame.height())
                            << where();
                        for (size_t j = 0; j < k; ++j)
                            ASSERT_FALSE(b.intersects(boxes[j])) << where() << " overlaps site " << j + 1;
                    }
                }
            }
        }
    }
}

// A site control that records what its host puts into it.
class RecordingSiteBox : public DispatchObject
{
public:
    RecordingSiteBox()
        : DispatchObject(QString::fromLatin1(SiteBoxControl::ClassName), SiteBoxControl::Members())
    {
        AnswerUndeclaredAsFake();
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        if (kind == InvokeKind::PropertyPut)
            puts << qMakePair(dispid, args.last());
        return DispatchObject::Invoke(dispid, kind, args);
    }
    QList<QPair<int, QVariant>> puts;
};

class FakeHost : public CSiteLayout::Host
{
public:
    std::vector<std::unique_ptr<SiteBoxControl>> boxes;
    std::vector<RecordingSiteBox*> controls;
    qint32 siteCount = 1;
    qint16 slotCount = 1;
    qint32 handlerType = 0;

    FakeHost() { LoadSiteBox(0); }
    int SiteBoxCount() const override { return int(boxes.size()); }
    bool LoadSiteBox(int index) override
    {
        if (index != int(boxes.size()))
            return false;
        auto control = std::make_unique<RecordingSiteBox>();
        controls.push_back(control.get());
        boxes.push_back(std::make_unique<SiteBoxControl>());
        boxes.back()->Attach(std::move(control));
        return true;
    }
    void UnloadSiteBox(int index) override
    {
        boxes.erase(boxes.begin() + index);
        controls.erase(controls.begin() + index);
    }
    SiteBoxControl& SiteBoxAt(int index) override { return *boxes.at(size_t(index)); }
    qint32 EngineSiteCount() override { return siteCount; }
    qint16 EngineSiteSlotCount() override { return slotCount; }
    qint32 HandlerType() override { return handlerType; }
};

TEST(SiteLayoutControls, NothingIsArrangedBeforeTheBoxesAreLoaded)
{
    FakeHost host;
    CSiteLayout layout(&host);
    layout.RefreshLayout(5000, 8000);
    EXPECT_TRUE(host.controls[0]->puts.isEmpty());
    EXPECT_FALSE(layout.Loaded());
}

TEST(SiteLayoutControls, LoadCreatesOneBoxPerSiteAndKeepsTheDesignedOne)
{
    FakeHost host;
    RecordingSiteBox* designed = host.controls[0];
    CSiteLayout layout(&host);
    host.siteCount = 4;
    layout.LoadControls();
    ASSERT_EQ(host.SiteBoxCount(), 4);
    EXPECT_TRUE(layout.Loaded());

    host.siteCount = 2; // another programmer model
    layout.LoadControls();
    ASSERT_EQ(host.SiteBoxCount(), 2);
    EXPECT_EQ(host.controls[0], designed);
}

TEST(SiteLayoutControls, EachBoxGetsItsPlaceGroupingNumberAndVisibilityInThatOrder)
{
    FakeHost host;
    host.siteCount = 4;
    host.slotCount = 2;
    host.handlerType = 1;
    CSiteLayout layout(&host);
    layout.LoadControls();
    layout.RefreshLayout(5000, 8000);

    using namespace SiteBoxId;
    const std::vector<CSiteLayout::Placement> places = layout.Placements();
    for (int k = 0; k < 4; ++k) {
        const auto& puts = host.controls[size_t(k)]->puts;
        ASSERT_EQ(puts.size(), 8) << "site " << k + 1;
        const int order[] = {Top, Left, Height, Width, SiteGroupedLayout, SiteSlotsPerGroup, SiteNumber, Visible};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(puts[i].first, order[i]) << "site " << k + 1 << ", put " << i;
        EXPECT_EQ(puts[0].second.toDouble(), places[size_t(k)].top);
        EXPECT_EQ(puts[1].second.toDouble(), places[size_t(k)].left);
        EXPECT_EQ(puts[2].second.toDouble(), places[size_t(k)].height);
        EXPECT_EQ(puts[3].second.toDouble(), places[size_t(k)].width);
        EXPECT_TRUE(IsVbTrue(puts[4].second)); // two sites a group side by side
        EXPECT_EQ(puts[5].second.toInt(), 2);
        EXPECT_EQ(puts[6].second.toInt(), k + 1);
        EXPECT_TRUE(IsVbTrue(puts[7].second));
    }
}

} // namespace
