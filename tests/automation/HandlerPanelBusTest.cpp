// What the automatic handler's operator sets on its panel, planned in the
// fault plan, reaches a client of the station the bus starts: the laser
// marker's lines in the job monitor's system information.
#include "PrivateBusTest.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class HandlerPanelBusTest : public PrivateBusTest
{};

TEST_F(HandlerPanelBusTest, TheLaserMarkerLinesOfThePlanReachTheSystemInformation)
{
    QProcessEnvironment env = BusEnvironment();
    env.insert("TARVO_ENGINE_FAULTS", "delay=0;auto.marker=LOT 7|SN 0001");
    StartDaemon(env);
    const ProcessResult created =
        Call("/com/corvane/Tarvo", "com.corvane.Tarvo.Server.Create", {"CJobMonitor", "true"});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    const QString monitor = QRegularExpression("'(/[^']*)'").match(created.out).captured(1);
    const ProcessResult info = Call(monitor, "com.corvane.Tarvo.CJobMonitor.GetSystemInfo");
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("Laser marker: \"LOT 7\" / \"SN 0001\"")) << info.out.toStdString();
}

} // namespace
