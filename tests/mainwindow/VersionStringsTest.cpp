// The engine's version as the caption, the splash and About windows and the
// logs show it; the start-up information block; the switch to the demo port.
#include "LogTestFixture.h"

#include "settings/ProgrammerClass.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "shell/frmTechSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

namespace {

using VersionStringsTest = LogTest;

TEST_F(VersionStringsTest, VersionTextsOfTheEngine)
{
    struct Case
    {
        qint32 packed;
        qint32 d1, d2;
        const char* software;
        const char* versionNDate;
        const char* about;
    };
    const Case cases[] = {
        {0x04420109, 20071015, 20071101, "V442.1.9", "V442.1.9  10/15/2007", "V442.1.9  10/15/2007"},
        // The About window calls every build but 9 a beta; the caption only
        // builds above 9.
        {0x04420105, 20071015, 20071101, "V442.1.5", "V442.1.5  10/15/2007", "V442.1.Beta  11/01/2007"},
        {0x0442010A, 20071015, 20071101, "V442.1.A", "V442.1.Beta  11/01/2007", "V442.1.Beta  11/01/2007"},
        {0x00010203, 20070308, 20070309, "V1.2.3", "V1.2.3  03/08/2007", "V1.2.Beta  03/09/2007"},
        {qint32(0xFFFF10FF), 20071231, 20080101, "VFFFF.10.FF", "VFFFF.10.Beta  01/01/2008",
         "VFFFF.10.Beta  01/01/2008"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.software);
        setEngineVersion(c.packed, 0x2A, c.d1, c.d2);
        EXPECT_EQ(GetSoftwareVersion(engine), QString::fromLatin1(c.software));
        EXPECT_EQ(GetVersionNDate(engine), QString::fromLatin1(c.versionNDate));

        frmAbout& about = frmAbout::Instance();
        EXPECT_EQ(about.lblVersion->text(), QString::fromLatin1(c.about));
        EXPECT_EQ(about.lblRevision->text(), QStringLiteral("Algo DB Rev. 2A"));
        EXPECT_FALSE(about.lblLegal->text().isEmpty());
        QTest::mouseClick(about.OK, Qt::LeftButton);
        EXPECT_FALSE(frmAbout::IsLoaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(VersionStringsTest, TextIsBuiltFromWhatTheEngineGives)
{
    setEngineVersion(0x04420109);
    control().On(QXPgmrId::EngineDatePart1,
                 [this](InvokeKind, QVariantList&) -> QVariant { control().Fail(5, QStringLiteral("no date")); });
    EXPECT_EQ(GetVersionNDate(engine), QStringLiteral("V442.1.9  //"));

    QXPgmrControl detached;
    EXPECT_EQ(GetSoftwareVersion(detached), QStringLiteral("V0.0.0"));
    EXPECT_EQ(SplashVersionLine(detached), QStringLiteral(" "));
}

TEST_F(VersionStringsTest, SplashStepsSetTheirTexts)
{
    setEngineVersion(0x04420109, 0x2A);
    frmSplash& splash = frmSplash::Instance();
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral(" "));

    splash.ShowInitStep(2);
    EXPECT_EQ(splash.lblStep->text(), QStringLiteral("Loading Algorithm Database..."));
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral(" "));

    splash.ShowInitStep(3);
    EXPECT_EQ(splash.lblStep->text(), QStringLiteral("Establishing Communication..."));
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("V442.1.9  Algo DB Rev. 2A  "));

    splash.ShowInitStep(4);
    EXPECT_EQ(splash.lblStep->text(), QStringLiteral("Establishing Communication..."));
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("V442.1.9  Algo DB Rev. 2A  "));
    frmSplash::Unload();
}

TEST_F(VersionStringsTest, SupportWindowShowsTheContactAndUnloadsOnOk)
{
    frmTechSupport& support = frmTechSupport::Instance();
    EXPECT_EQ(support.objectName(), QStringLiteral("frmTechSupport"));
    EXPECT_FALSE(support.lblContact->text().isEmpty());
    QTest::mouseClick(support.OK, Qt::LeftButton);
    EXPECT_FALSE(frmTechSupport::IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(VersionStringsTest, StartupInformationBlock)
{
    setEngineVersion(0x04420109, 0x2A);
    control().Store(QXPgmrId::IsVexalMode, VbBool(true));
    const QString savedUser = gUserName;
    gUserName = QStringLiteral("operator1");

    WriteStartupInformation(engine);
    gUserName = savedUser;

    const QByteArray bytes = readAll(logFile());
    EXPECT_TRUE(bytes.endsWith("  Log file folder: " + logFolder().toUtf8() + "\r\n\r\n\r\n")) << bytes.constData();
    const QStringList written = lines(logFile());
    ASSERT_EQ(written.size(), 8);
    EXPECT_EQ(written[0], QStringLiteral("Application Execution Information:"));
    EXPECT_EQ(written[1], QStringLiteral("  DTarvo V442.1.9  Algo DB Rev. 2A"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^  Date: \\d{1,2}/\\d{1,2}/\\d{4}$")).match(written[2]).hasMatch())
        << written[2].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^  Time: \\d{1,2}:\\d{2}:\\d{2} (AM|PM)$")).match(written[3]).hasMatch())
        << written[3].toStdString();
    EXPECT_EQ(written[4], QStringLiteral("  User: operator1"));
}

TEST_F(VersionStringsTest, DemoModeSwitchesModelAndPort)
{
    ProgrammerClass data(&engine);
    data.udtParallelPort = 2;
    control().Store(QXPgmrId::PortIndex, 2);
    qint32 selected = -1;
    control().On(QXPgmrId::SelectProgrammerModel, [&](InvokeKind, QVariantList& args) {
        selected = args.value(0).toInt();
        return QVariant();
    });
    QStringList windowSteps;

    SetDemoMode(22, data, engine, [&] { windowSteps << "caption and handler"; },
                [&](const QString& s) { windowSteps << s; });

    EXPECT_EQ(selected, 22);
    EXPECT_EQ(data.udtPgmrType, 22);
    EXPECT_EQ(data.udtParallelPort, 0);
    EXPECT_EQ(control().Stored(QXPgmrId::PortIndex).toInt(), 0);
    EXPECT_EQ(windowSteps, QStringList{"caption and handler"});
}

TEST_F(VersionStringsTest, FailedDemoModeIsReportedAndStops)
{
    ProgrammerClass data(&engine);
    control().Store(QXPgmrId::PortIndex, 2);
    control().On(QXPgmrId::SelectProgrammerModel,
                 [this](InvokeKind, QVariantList&) -> QVariant { control().Fail(7, QStringLiteral("no such model")); });
    QStringList windowSteps;

    // The status line logs itself, as the operation window's does: the
    // failure is logged once, not twice.
    SetDemoMode(99, data, engine, [&] { windowSteps << "caption and handler"; }, [&](const QString& s) {
        windowSteps << s;
        WriteLogInfo(s, true);
    });

    EXPECT_EQ(windowSteps, QStringList{"Failed to set the demo mode."});
    EXPECT_EQ(control().Stored(QXPgmrId::PortIndex).toInt(), 2);
    const QStringList written = lines(logFile());
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(isStamped(written[0], QStringLiteral("Failed to set the demo mode.")));
}

} // namespace
