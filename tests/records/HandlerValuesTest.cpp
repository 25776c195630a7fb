// The simulated handlers answer the values the job summary reads from their
// environment variables, so a trial shows the report of its choosing.

#include "ReportFixture.h"

#include "platform/Companion.h"

#include <QLibrary>

namespace {

long RegisterPlugin(const QString& file)
{
    QLibrary library(BinDir() + QLatin1Char('/') + file);
    const auto registerServer = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
    return registerServer ? registerServer() : -1;
}

class HandlerValuesTest : public ReportFixture
{
protected:
    void TearDown() override
    {
        qunsetenv("TARVO_H950_VALUES");
        qunsetenv("TARVO_MANUALHDL_VALUES");
        ReportFixture::TearDown();
    }
};

TEST_F(HandlerValuesTest, TheSummaryShowsTheHandlersConfiguredValues)
{
    ASSERT_EQ(RegisterPlugin("H950Hdlr.ocx"), 0);
    ASSERT_EQ(RegisterPlugin("ManualHdl.ocx"), 0);
    qputenv("TARVO_H950_VALUES",
            "HandlerValue3=98; HandlerValue4=2;AutoHandlerInUse=false;HandlerKind=1;"
            "BinCount=1;BinFlagAAt(0)=1;BinLabelAt(0)=Reject, bin 2;BinCountAt(0)=2;"
            "EmptySocketTestInterval=50;InspectionLabelAt(3)=Coplanarity;"
            "InspectionPassedAt(3)=97;NoSuchMember=1");
    qputenv("TARVO_MANUALHDL_VALUES", "SessionValue1004=1200");
    H950HdlrControl handler;
    handler.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
    ManualHdlControl manual;
    manual.Attach(companion::CreateControl(QString::fromLatin1(ManualHdlControl::ClassName)));
    ASSERT_TRUE(handler.IsAttached());
    ASSERT_TRUE(manual.IsAttached());
    EXPECT_EQ(manual.SessionValue1004(), 1200);
    EXPECT_FALSE(handler.AutoHandlerInUse());

    in.autoHandler = &handler;
    in.udtHandlerType = 1;
    const QStringList lines = Build();
    EXPECT_TRUE(lines.contains(Row("Successful operations:", "98")));
    EXPECT_TRUE(lines.contains(SubRow("Reject, bin 2", "2")));
    EXPECT_TRUE(lines.contains(Row("Empty Socket Test Interval:", "50")));
    EXPECT_TRUE(lines.contains(Row("    Coplanarity:", "Passed: 97\tFailed: 0")));
}

} // namespace
