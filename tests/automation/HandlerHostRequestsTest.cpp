// The automatic handler's requests that reach the main window, on the
// station started in this process with the simulated engine and handler:
// its status texts, the label editor, the Sealbook auto file it saves and
// loads (with the handler's own settings inside) and the job it asks to
// load.
#include "../mainwindow/MainWindowFixture.h"

#include "automation/frmH950HdlrContainer.h"
#include "engine/H950HdlrControl.h"
#include "mainwindow/Station.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>

namespace {

class HandlerHostRequestsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartReadyForJobs());
    }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    frmMain& main() { return *gMainForm; }
    H950HdlrControl& handler() { return gMainForm->QXH950AutoHandler; }
    QVariantList Fire(const char* event, QVariantList args = {})
    {
        main().frmH950->Fire(QLatin1String(event), args);
        return args;
    }
    static QStringList BlackBoxLines()
    {
        QFile log(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                  + QStringLiteral("/Corvane/QXEngine/DATALOG/BlackBox.log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString SaveJob(const QString& name)
    {
        const QString path = tempPath(name);
        bool ok = false;
        main().ExecSaveJobCmd(1, path, ok);
        EXPECT_TRUE(ok) << ui().Shown().join('\n').toStdString();
        return path;
    }
};

TEST_F(HandlerHostRequestsTest, StatusTextsAreLoggedAndShownWhileEventsAndStatusMessagesAreOn)
{
    const struct
    {
        bool enableEvent, statusMessages, shown;
    } cases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    int n = 0;
    for (const auto& c : cases) {
        const QString text = QStringLiteral("Tray %1 empty").arg(++n);
        SCOPED_TRACE(text.toStdString());
        main().bEnableEvent = c.enableEvent;
        main().EnablePgmrStatusMessage(c.statusMessages);
        const qsizetype before = BlackBoxLines().size();
        Fire("HandlerStatusText11", {text});
        EXPECT_EQ(statusLines().contains(text), c.shown);
        const QStringList log = BlackBoxLines().mid(before);
        EXPECT_EQ(log.filter(QStringLiteral(" Status Text ") + text).size(), 1) << log.join('\n').toStdString();
    }
    main().bEnableEvent = true;
    main().EnablePgmrStatusMessage(true);
}

TEST_F(HandlerHostRequestsTest, TheHandlersQuantityEventsGoThroughTheQuantityRule)
{
    Station& station = main().station();
    data().udtHandlerType = 1;
    // Its quantity change: beyond the manual box's range, the automatic
    // handler counts it.
    Fire("HandlerQuantityChanged", {qint32(70000)});
    EXPECT_EQ(station.NumCopies(), 70000);
    EXPECT_EQ(station.QuantityText(), "70000");
    // The handler changed its own quantity; its check of the box brings it
    // back in step with the count the next run uses.
    station.SetQuantityText(QStringLiteral("12"));
    handler().Quantity(qint32(5));
    Fire("HandlerEvent16");
    EXPECT_EQ(station.NumCopies(), 12);
    EXPECT_EQ(qint32(handler().Quantity()), 12);
    data().udtHandlerType = 0;
}

TEST_F(HandlerHostRequestsTest, LabelRequestsReachTheLabelMembers)
{
    // No editor is there: each member says in the black box what it could
    // not do, which shows which member the request reached and with what.
    engine.answers[QXPgmrId::LabelPrinterDirectory] = tempPath("no-editor-here");
    const struct
    {
        const char* event;
        QVariantList args;
        QString line; // a black-box line the request writes holds this
    } cases[] = {
        {"InitLabelPrintRequest",
         {QStringLiteral("start")},
         QStringLiteral("The label editor cannot be started: ") + tempPath("no-editor-here") + QStringLiteral("/")},
        {"HandlerEvent17", {}, QStringLiteral("PrintLabel: the \"P-touch EDITOR\" window cannot be activated")},
        {"HandlerEvent19", {}, QStringLiteral("SaveLabelFile: the \"P-touch EDITOR\" window cannot be activated")},
        {"HandlerEvent20", {qint32(7)}, QStringLiteral("MoveLabelText: direction 7 is not 0 to 3; no keys sent.")},
        {"HandlerEvent20", {qint32(1)}, QStringLiteral("MoveLabelText: the \"P-touch EDITOR\" window cannot be")},
        {"OpenLabelFileRequest",
         {QStringLiteral("/labels/lot.lbx")},
         QStringLiteral("OpenLabelFile: the \"P-touch EDITOR\" window cannot be activated")},
        {"HandlerEvent22", {}, QStringLiteral("Exception happens when the Tarvo tries to close PTouch Editor.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        const qsizetype before = BlackBoxLines().size();
        Fire(c.event, c.args);
        const QStringList log = BlackBoxLines().mid(before);
        EXPECT_FALSE(log.filter(c.line).isEmpty()) << log.join('\n').toStdString();
    }
}

TEST_F(HandlerHostRequestsTest, AnAutoFileSavedAndLoadedByTheHandlerCarriesItsJobAndTheHandlersSettings)
{
    const QString job = SaveJob("line4.qx");
    const QString autoFile = tempPath("line4.qxa");
    handler().PrimarySource(QStringLiteral("TRAY3"));
    handler().AlternateDestination(QStringLiteral("TUBE2"));
    handler().Marker(QStringLiteral("LASER"));
    handler().Package(QStringLiteral("PLCC44"));

    // Asked with the note: the note window comes; cancelled, nothing is saved.
    int notes = 0;
    ui().OnModal([&](QDialog* dialog) {
        ++notes;
        dialog->reject();
        return dialog->result();
    });
    Fire("HandlerMessage46", {autoFile, qint32(0), qint32(0)});
    EXPECT_EQ(notes, 1);
    EXPECT_FALSE(QFile::exists(autoFile));
    // Asked without the note.
    Fire("HandlerMessage46", {autoFile, qint32(0), qint32(-1)});
    ASSERT_TRUE(QFile::exists(autoFile)) << ui().Shown().join('\n').toStdString();

    // Another job and other settings; the auto file brings back its own.
    SaveJob("other.qx");
    handler().PrimarySource(QStringLiteral("SHUTTLE1"));
    handler().AlternateDestination(QStringLiteral("SHUTTLE2"));
    handler().Marker(QString());
    handler().Package(QStringLiteral("TSOP32"));
    Fire("LoadSealbookAutoFileRequest", {autoFile, qint32(0)});
    EXPECT_EQ(data().strJobName, job) << statusLines().join('\n').toStdString();
    EXPECT_EQ(handler().PrimarySource(), QStringLiteral("TRAY3"));
    EXPECT_EQ(handler().AlternateDestination(), QStringLiteral("TUBE2"));
    EXPECT_EQ(handler().Marker(), QStringLiteral("LASER"));
    EXPECT_EQ(handler().Package(), QStringLiteral("PLCC44"));
}

TEST_F(HandlerHostRequestsTest, TheHandlersJobRequestOpensTheLoadDialog)
{
    const QString job = SaveJob("line4.qx");
    SaveJob("other.qx");
    ui().Answer(job);
    Fire("HandlerEvent27");
    EXPECT_EQ(data().strJobName, job);
}

} // namespace
