// The station's quantity without any window: a text set on the station (as
// the box, automation and the handlers set it) is the count the run hands the
// automatic handler when Action starts its session.

#include "FakeRunHost.h"
#include "operation/RunCounters.h"

#include "../support/TestEnv.h"

#include "mainwindow/Station.h"

namespace {

class StationRunQuantityTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        host.Data().udtHandlerType = 1;
    }

    FakeRunHost host;
    RunCounters counters;
    OperationRun run{host.station, host, counters};
};

TEST_F(StationRunQuantityTest, TheRunStartsTheSessionWithTheCountTheTextGaveTheStation)
{
    // The automatic handler takes quantities beyond the manual limit; what
    // is no positive number is told and made 1 (an empty box by the run).
    const struct
    {
        const char* text;
        bool rangeBox;
        qint32 count;
        const char* shown;
    } cases[] = {{"12abc", false, 12, "12"}, {"", false, 1, "1"},  {"70000", false, 70000, "70000"},
                 {"0", true, 1, "1"},        {"-3", true, 1, "1"}, {"7", false, 7, "7"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        host.station.LoadQuantity(4);
        host.calls.clear();
        if (c.rangeBox)
            ui().Answer(vb::vbOK);
        host.station.SetQuantityText(QString::fromLatin1(c.text));
        EXPECT_EQ(ui().Remaining(), 0);
        run.ActionClicked();
        EXPECT_EQ(host.station.QuantityText(), QLatin1String(c.shown));
        EXPECT_EQ(host.station.NumCopies(), c.count);
        EXPECT_TRUE(host.calls.contains(QStringLiteral("handler StartSession %1").arg(c.count)))
            << host.calls.join('\n').toStdString();
    }
}

} // namespace
