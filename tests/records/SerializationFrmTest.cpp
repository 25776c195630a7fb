// The serialization dialog through its controls: what it reads back from the
// engine, the checks in order, and the 14 arguments the engine receives.

#include "ReportFixture.h"
#include "../companions/CompanionFixture.h"

#include "mainwindow/BlackBoxLog.h"
#include "platform/AutomationError.h"
#include "records/SerializationFrm.h"
#include "settings/cRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class TestHost : public SerializationFrm::Host
{
public:
    explicit TestHost(QXPgmrControl& engine)
        : m_engine(engine)
    {
    }
    QXPgmrControl& Engine() override { return m_engine; }
    QString QuantityText() override { return quantity; }
    QString WorkingDirectoryAtLaunch() override { return workingDirectory; }
    void AddStatusTextLine(const QString& text) override { statusLines << text; }

    QString quantity = "1";
    QString workingDirectory;
    QStringList statusLines;

private:
    QXPgmrControl& m_engine;
};

class SerializationDialogTest : public ReportFixture
{
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        host = std::make_unique<TestHost>(engineAccessor());
        host->workingDirectory = tempPath("launch");
        QDir().mkpath(host->workingDirectory);
        SerializationFrm::SetHost(host.get());
        engine->On(QXPgmrId::IsValidHexText, [](InvokeKind, QVariantList& args) {
            return VbBool(QRegularExpression("^[0-9A-Fa-f]+$").match(args[0].toString()).hasMatch());
        });
        engine->On(QXPgmrId::IsValidDecimalText, [](InvokeKind, QVariantList& args) {
            return VbBool(QRegularExpression("^[0-9]+$").match(args[0].toString()).hasMatch());
        });
        engine->On(QXPgmrId::RunSerialization, [this](InvokeKind, QVariantList& args) {
            QStringList shown;
            for (const QVariant& arg : args)
                shown << arg.toString();
            received << shown.join('|');
            return QVariant(qint16(runResult));
        });
        engine->On(QXPgmrId::SerializationValueAt314,
                   [](InvokeKind, QVariantList& args) { return QVariant(args[0].toString().section(' ', 0, 0)); });
        engine->On(QXPgmrId::DisableSerialization, [this](InvokeKind, QVariantList&) {
            received << "DisableSerialization";
            return QVariant();
        });
        engine->Set(QXPgmrId::SerializationField238, 2);
        engine->Set(QXPgmrId::SerializationField237, qint32(4096));
        engine->Set(QXPgmrId::SerializationField234, "100");
        engine->Set(QXPgmrId::SerializationField235, "199");
        dialog = std::make_unique<SerializationFrm>();
    }
    void TearDown() override
    {
        dialog.reset();
        SerializationFrm::SetHost(nullptr);
        ReportFixture::TearDown();
    }

    QXPgmrControl& engineAccessor() { return *in.engine; }

    std::unique_ptr<TestHost> host;
    std::unique_ptr<SerializationFrm> dialog;
    QStringList received;
    int runResult = 0;
};

TEST_F(SerializationDialogTest, OkHandsEveryLayoutsSettingsToTheEngine)
{
    const QString program = host->workingDirectory + "/mkserial";
    QFile(program).open(QIODevice::WriteOnly);
    struct Case
    {
        const char* name;
        bool concurrent;
        QString quantity;
        bool stapl;
        int option; // 0 none, 1 simple, 2 complex
        std::function<void(SerializationFrm&)> enter;
        QString arguments;  // the 14 arguments, "|" between them
        bool verifyAfter;   // SerialVerifyEnabled afterwards
        QStringList status; // status lines written
    };
    const QList<Case> cases = {
        {"simple, size 3, hexadecimal, typed data file without extension",
         false,
         "1",
         false,
         1,
         [](SerializationFrm& d) {
             d.optHex->click();
             d.SerialNumSizeCombo->setCurrentIndex(2);
             d.Serial_DataFile->setText("/jobs/serial");
         },
         "0|3|/jobs/serial.dat|1000|0|0|0||0|1|100|199||0",
         false,
         {"dat extension added to /jobs/serial"}},
        {"simple on a concurrent programmer, quantity 5: verify forced on",
         true,
         "5",
         false,
         1,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs.old/serial");
             d.SerialLogFile->setText("/jobs/serial.");
             d.VerifySerNum->click();
         },
         "1|2|/jobs.old/serial.dat|4096|0|0|2|/jobs/serial.log|0|0|100|199||0",
         true,
         {"dat extension added to /jobs.old/serial", "log extension added to /jobs/serial."}},
        {"complex with a relative program and a hidden bad address",
         false,
         "1",
         false,
         2,
         [](SerializationFrm& d) {
             d.Buffer_Address->setText("zz");
             d.Serial_DataFile->setText("/jobs/serial.dat");
             d.SerializeProgram->setText("mkserial -lot 7");
             d.chkResumeSn->click();
             d.First_Ser_Num->setText("");
         },
         "2|2|/jobs/serial.dat|zz|0|0|0||0|0||199|mkserial -lot 7|1",
         false,
         {}},
        {"STAPL: size 1 and verify 0 whatever the hidden box says",
         true,
         "1",
         true,
         -1,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs/stapl.dat");
             d.SerialLogFile->setText("/jobs/stapl.log");
             d.oIndexRange->setText("1,3,5-12");
         },
         "4|1|/jobs/stapl.dat|4096|0|0|0|/jobs/stapl.log|0|0|1,3,5-12|199||0",
         false,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        received.clear();
        host->statusLines.clear();
        host->quantity = c.quantity;
        engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(c.concurrent));
        engine->Set(QXPgmrId::DeviceSupportsStaplSerialization, VbBool(c.stapl));
        engine->Set(QXPgmrId::SerialVerifyEnabled, VbBool(c.stapl)); // the hidden box ticked for STAPL
        engine->Set(QXPgmrId::SerialDataFilePath, QString());
        engine->Set(QXPgmrId::SerialLogFilePath, QString());
        // As the menu opens it: an option chosen (none for STAPL), then shown;
        // the operator fills the dialog and presses OK.
        ui().OnModal([&](QDialog*) {
            c.enter(*dialog);
            dialog->OK->click();
            return int(QDialog::Accepted);
        });
        if (c.option == 1)
            dialog->SelectOption(dialog->SimpleRadio);
        else if (c.option == 2)
            dialog->SelectOption(dialog->ComplexRadio);
        dialog->ShowDialog();
        ASSERT_EQ(received.size(), 1);
        EXPECT_EQ(received[0], c.arguments);
        EXPECT_EQ(IsVbTrue(engine->Stored(QXPgmrId::SerialVerifyEnabled)), c.verifyAfter);
        EXPECT_EQ(host->statusLines, c.status);
        EXPECT_FALSE(dialog->IsLoaded());
    }
}

TEST_F(SerializationDialogTest, ChecksStopOkInOrderWithTheDialogOpen)
{
    struct Case
    {
        const char* name;
        bool concurrent;
        int option; // 1 simple, 2 complex, -1 STAPL
        std::function<void(SerializationFrm&)> enter;
        QStringList messages; // in turn, each titled "Error"
        const char* focus;    // the box that has the focus afterwards
    };
    const QList<Case> cases = {
        {"both files empty: two messages, data file first",
         true,
         1,
         [](SerializationFrm&) {},
         {"Error, You must enter a Serialization Data File.", "Error, You must enter a Serialization Log File."},
         "SerialLogFile"},
        {"empty address",
         false,
         1,
         [](SerializationFrm& d) {
             d.Buffer_Address->clear();
             d.Serial_DataFile->setText("/jobs/a.dat");
         },
         {"Buffer address for Serial Number not specified. Please enter a value."},
         "Buffer_Address"},
        {"decimal address the engine refuses",
         false,
         1,
         [](SerializationFrm& d) {
             d.Buffer_Address->setText("12AB");
             d.Serial_DataFile->setText("/jobs/a.dat");
         },
         {"The Value Entered is not a Valid Decimal value, Please enter a new value."},
         "Buffer_Address"},
        {"no program",
         false,
         2,
         [](SerializationFrm& d) { d.Serial_DataFile->setText("/jobs/a.dat"); },
         {"Error, You must enter a Serialization Program File."},
         "SerializeProgram"},
        {"a program that does not exist",
         false,
         2,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs/a.dat");
             d.SerializeProgram->setText("absent -x");
         },
         {"Error, You must enter an existing Serialization Program File."},
         "SerializeProgram"},
        {"no first serial number",
         false,
         2,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs/a.dat");
             d.SerializeProgram->setText("mkserial");
             d.First_Ser_Num->clear();
         },
         {"Error, You must enter a starting serial number."},
         "First_Ser_Num"},
        {"no last serial number",
         false,
         2,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs/a.dat");
             d.SerializeProgram->setText("mkserial");
             d.Last_Ser_Num->clear();
         },
         {"Error, You must enter a last serial number."},
         "Last_Ser_Num"},
        {"no index range",
         true,
         -1,
         [](SerializationFrm& d) {
             d.Serial_DataFile->setText("/jobs/a.dat");
             d.SerialLogFile->setText("/jobs/a.log");
             d.oIndexRange->clear();
         },
         {"Error, You must enter valid index numbers and/or ranges."},
         "oIndexRange"},
    };
    QFile(host->workingDirectory + "/mkserial").open(QIODevice::WriteOnly);
    const QString cwd = QDir::currentPath();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        received.clear();
        engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(c.concurrent));
        engine->Set(QXPgmrId::DeviceSupportsStaplSerialization, VbBool(c.option < 0));
        const qsizetype before = ui().Shown().size();
        for (qsizetype i = 0; i < c.messages.size(); ++i)
            ui().Answer(vb::vbOK);
        QString focus;
        ui().OnModal([&](QDialog*) {
            dialog->show();
            c.enter(*dialog);
            dialog->OK->click();
            EXPECT_TRUE(dialog->IsLoaded());
            focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            dialog->Cancel->click();
            return int(QDialog::Rejected);
        });
        if (c.option > 0)
            dialog->SelectOption(c.option == 1 ? dialog->SimpleRadio : dialog->ComplexRadio);
        dialog->ShowDialog();
        EXPECT_TRUE(received.isEmpty());
        QStringList messages;
        for (const QString& line : ui().Shown().mid(before)) {
            if (line.section('\t', 2, 2) == "0")
                messages << line.section('\t', 0, 0) + ": " + line.section('\t', 1, 1);
        }
        QStringList expected;
        for (const QString& m : c.messages)
            expected << "Error: " + m;
        EXPECT_EQ(messages, expected);
        EXPECT_EQ(focus, c.focus);
    }
    EXPECT_EQ(QDir::currentPath(), cwd);
}

TEST_F(SerializationDialogTest, RadixSwitchConvertsTheAddressOrKeepsBoth)
{
    dialog->SelectOption(dialog->SimpleRadio);
    EXPECT_TRUE(dialog->optDec->isChecked());
    EXPECT_EQ(dialog->Buffer_Address->text(), "4096");
    dialog->optHex->click();
    EXPECT_EQ(dialog->Buffer_Address->text(), "1000");
    EXPECT_EQ(dialog->HexDisplay(), 1);
    dialog->Buffer_Address->setText("FFFFFFFF");
    dialog->optDec->click();
    EXPECT_EQ(dialog->Buffer_Address->text(), "-1");

    // Text that is not decimal: the message, and the address keeps its radix.
    dialog->Buffer_Address->setText("12AB");
    dialog->Buffer_Address->setCursorPosition(4);
    ui().Answer(vb::vbOK);
    dialog->optHex->click();
    EXPECT_TRUE(ui().Shown().last().startsWith("Radix\tIllegal character! Please check the settings.\t16"));
    EXPECT_TRUE(dialog->optDec->isChecked());
    EXPECT_EQ(dialog->HexDisplay(), 0);
    EXPECT_EQ(dialog->Buffer_Address->text(), "12AB");
    EXPECT_EQ(dialog->Buffer_Address->selectedText(), "12AB");
}

TEST_F(SerializationDialogTest, LoadShowsTheEngineSettingsWithinWhatTheControlsCanShow)
{
    engine->Set(QXPgmrId::SerializationField238, 9);
    engine->Set(QXPgmrId::SerializationField241, 5);
    engine->Set(QXPgmrId::SerializationField243, -1);
    engine->Set(QXPgmrId::SerializationField240, 1);
    engine->Set(QXPgmrId::SerializationField242, 3);
    engine->Set(QXPgmrId::SerialLogFilePath, "/engine/serial.log");
    dialog->SelectOption(dialog->ComplexRadio);
    EXPECT_EQ(dialog->SerialNumSizeCombo->currentIndex(), 5);
    EXPECT_EQ(dialog->Attempt_Retry->checkState(), Qt::Checked);
    EXPECT_EQ(dialog->chkResumeSn->checkState(), Qt::Checked);
    EXPECT_FALSE(dialog->First_Ser_Num->isEnabled());
    EXPECT_EQ(dialog->ByteOrderCombo->currentText(), "Forward");
    EXPECT_TRUE(dialog->optHex->isChecked());
    EXPECT_EQ(dialog->Buffer_Address->text(), "1000");
    // Not concurrent: the log path is not read, and its box is disabled.
    EXPECT_EQ(dialog->SerialLogFile->text(), "");
    EXPECT_FALSE(dialog->SerialLogFile->isEnabled());
    // 7000 twips in whole pixels, and more where the frames' rows moved
    // below their titles.
    EXPECT_GE(dialog->HeightTwips(), 6990);
    dialog->Cancel->click();
    EXPECT_FALSE(dialog->IsLoaded());

    // The None layout turns serialization off only through its own OK.
    dialog->SelectOption(dialog->None);
    EXPECT_TRUE(dialog->OK2->isVisibleTo(dialog.get()));
    EXPECT_FALSE(dialog->OK->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->HeightTwips(), 1890);
    dialog->OK2->click();
    EXPECT_EQ(received, QStringList{"DisableSerialization"});
}

// Each layout fits a 1024 x 768 screen with room for a title bar and a
// panel, and every label of a frame stands inside the frame, below its
// title and clear of its border.
TEST_F(SerializationDialogTest, EachLayoutFitsASmallScreenWithItsLabelsInsideTheirFrames)
{
    for (QRadioButton* option : {dialog->SimpleRadio, dialog->ComplexRadio}) {
        SCOPED_TRACE(option->objectName().toStdString());
        dialog->SelectOption(option);
        dialog->show();
        EXPECT_LE(dialog->height(), 768 - 96);
        for (const QGroupBox* frame : dialog->findChildren<QGroupBox*>()) {
            if (!frame->isVisibleTo(dialog.get()))
                continue;
            QStyleOptionGroupBox o;
            o.initFrom(frame);
            o.text = frame->title();
            o.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect inside =
                frame->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxContents, frame);
            for (const QLabel* label : frame->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (label->isVisibleTo(dialog.get()) && !label->text().isEmpty())
                    EXPECT_TRUE(inside.contains(label->geometry()))
                        << frame->title().toStdString() << ": " << label->text().toStdString();
            }
        }
        const QString picture = qEnvironmentVariable("TARVO_SCREENSHOT");
        if (!picture.isEmpty())
            dialog->grab().save(picture + option->objectName() + ".png");
        dialog->Cancel->click();
    }
}

TEST_F(SerializationDialogTest, AnEngineFailureIsReportedAndLeavesVerifyAlone)
{
    runResult = 3;
    engine->Set(QXPgmrId::SerialVerifyEnabled, VbBool(true));
    dialog->SelectOption(dialog->SimpleRadio);
    dialog->Serial_DataFile->setText("/jobs/a.dat");
    dialog->VerifySerNum->click(); // off
    ui().Answer(vb::vbOK);
    dialog->OK->click();
    EXPECT_EQ(received.size(), 1);
    EXPECT_EQ(ui().Shown().last(), "SEVERE\tError in Serialization Process. Please Contact Customer Support\t0\t1");
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_TRUE(IsVbTrue(engine->Stored(QXPgmrId::SerialVerifyEnabled)));
}

TEST_F(SerializationDialogTest, FieldTipsFollowTheMouse)
{
    engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
    dialog->SelectOption(dialog->ComplexRadio);
    dialog->MouseOver(dialog->VerifySerNum);
    EXPECT_TRUE(dialog->txtVerifySerialNumberTip->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->txtVerifySerialNumberTip->toPlainText().split('\n').size(), 5);
    dialog->MouseOver(dialog->Serial_DataFile);
    EXPECT_TRUE(dialog->txtSerialDataFileTip->toPlainText().contains("IMPORTANT"));
    EXPECT_TRUE(dialog->txtVerifySerialNumberTip->isVisibleTo(dialog.get()));
    dialog->MouseOver(dialog->BrowseDataFile);
    EXPECT_FALSE(dialog->txtSerialDataFileTip->isVisibleTo(dialog.get()));
    dialog->MouseOver(dialog->Attempt_Retry);
    EXPECT_FALSE(dialog->txtVerifySerialNumberTip->isVisibleTo(dialog.get()));
    EXPECT_TRUE(dialog->txtAttemptRetryTip->toPlainText().endsWith("those serial numbers."));
    dialog->MouseOver(dialog.get());
    EXPECT_FALSE(dialog->txtAttemptRetryTip->isVisibleTo(dialog.get()));
}

TEST_F(SerializationDialogTest, TheMouseOnTheWindowsBackgroundPutsEveryTipAway)
{
    engine->Set(QXPgmrId::IsConcurrentProgrammer, VbBool(true));
    dialog->SelectOption(dialog->SimpleRadio);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    // A point of the window where no control or frame lies.
    QPoint background(-1, -1);
    for (int y = 2; y < dialog->height() && background.x() < 0; y += 3)
        for (int x = 2; x < dialog->width(); x += 3)
            if (!dialog->childAt(QPoint(x, y))) {
                background = QPoint(x, y);
                break;
            }
    ASSERT_GE(background.x(), 0);
    struct Case
    {
        QWidget* control;
        QPlainTextEdit* tip;
    };
    for (const Case& c : {Case{dialog->VerifySerNum, dialog->txtVerifySerialNumberTip},
                          Case{dialog->Attempt_Retry, dialog->txtAttemptRetryTip},
                          Case{dialog->Serial_DataFile, dialog->txtSerialDataFileTip}}) {
        SCOPED_TRACE(c.control->objectName().toStdString());
        QTest::mouseMove(c.control, c.control->rect().center());
        EXPECT_TRUE(c.tip->isVisible());
        QTest::mouseMove(dialog.get(), background);
        EXPECT_FALSE(c.tip->isVisible());
    }
}

TEST_F(SerializationDialogTest, AnEngineErrorIsShownInItsOwnWordsAndLogged)
{
    const QString logFolder = tempPath("logs");
    QDir().mkpath(logFolder);
    cRegistry().ValueEx(cRegistry::HKEY_LOCAL_MACHINE, "Software\\Corvane\\Tarvo\\Directory Paths", "Log",
                        cRegistry::REG_SZ, QString(), logFolder);
    engine->On(QXPgmrId::RunSerialization, [](InvokeKind, QVariantList&) -> QVariant {
        throw AutomationError(qint32(0x80004005u), "QXPGMRLib.QXPgmr", "The serial data file is locked.");
    });
    engine->Set(QXPgmrId::SerialVerifyEnabled, VbBool(true));
    dialog->SelectOption(dialog->SimpleRadio);
    dialog->Serial_DataFile->setText("/jobs/a.dat");
    dialog->VerifySerNum->click(); // off
    ui().Answer(vb::vbOK);
    dialog->OK->click();
    EXPECT_EQ(ui().Shown().last(), "Error\tThe serial data file is locked.\t16\t1");
    EXPECT_FALSE(dialog->IsLoaded());
    EXPECT_TRUE(IsVbTrue(engine->Stored(QXPgmrId::SerialVerifyEnabled)));
    QFile log(logFolder + "/BlackBox.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("The serial data file is locked."));
}

TEST_F(SerializationDialogTest, BrowsingReplacesTheFileOnlyWhenOneIsChosen)
{
    dialog->SelectOption(dialog->ComplexRadio);
    dialog->Serial_DataFile->setText("/jobs/old.dat");
    ui().Answer("");
    dialog->BrowseDataFile->click();
    EXPECT_EQ(dialog->Serial_DataFile->text(), "/jobs/old.dat");
    ui().Answer("/jobs/new.dat");
    dialog->BrowseDataFile->click();
    EXPECT_EQ(dialog->Serial_DataFile->text(), "/jobs/new.dat");
    EXPECT_EQ(dialog->sSerialDataFile, "/jobs/new.dat");
    ui().Answer("/opt/mk");
    dialog->BrowseSerialProgram->click();
    EXPECT_EQ(dialog->SerializeProgram->text(), "/opt/mk");
    EXPECT_TRUE(ui().Shown().last().contains(host->workingDirectory));
}

// The simple layout on the simulated engine: OK takes the settings (the
// layout has no serial numbers of its own), no "SEVERE" box.
class SerializationOnTheEngineTest : public CompanionFixture
{};

TEST_F(SerializationOnTheEngineTest, SimpleLayoutOkIsTakenByTheEngine)
{
    ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
    QXPgmrControl engine;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    engine.StartupValue108(BinDir());
    ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    QString device = QStringLiteral("AM27C512");
    ASSERT_EQ(engine.SelectDeviceByName(device, false), 0);
    TestHost host(engine);
    SerializationFrm::SetHost(&host);
    {
        SerializationFrm dialog;
        const QString dataFile = tempPath("serial/numbers.dat");
        ui().OnModal([&](QDialog*) {
            dialog.Buffer_Address->setText(QStringLiteral("100"));
            dialog.Serial_DataFile->setText(dataFile);
            dialog.OK->click();
            return int(QDialog::Accepted);
        });
        dialog.SelectOption(dialog.SimpleRadio);
        dialog.ShowDialog();
        EXPECT_FALSE(dialog.IsLoaded());
    }
    SerializationFrm::SetHost(nullptr);
    // The dialog itself, and no box.
    EXPECT_EQ(ui().Shown().size(), 1) << ui().Shown().join('\n').toStdString();
    EXPECT_EQ(engine.SerializationValueAt245(qint32(0)), 1); // serialization is on
    EXPECT_EQ(engine.SerialDataFilePath(), tempPath("serial/numbers.dat"));
}

} // namespace
