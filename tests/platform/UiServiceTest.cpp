#include "TestEnv.h"

#include "platform/PrintTarget.h"
#include "platform/QtUiService.h"
#include "platform/ScriptedUiService.h"
#include "platform/UiService.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vb;

namespace {

QString ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

// A dialog that notes whether its own confirm or cancel code ran.
class ProbeDialog : public QDialog
{
public:
    bool accepted = false;
    bool rejected = false;
    void accept() override
    {
        accepted = true;
        QDialog::accept();
    }
    void reject() override
    {
        rejected = true;
        QDialog::reject();
    }
};

// A scripted service whose failure handler records instead of failing.
struct Recorder
{
    QStringList failures;
    std::unique_ptr<ScriptedUiService> make(QStringList answers, ScriptedUiService::WhenExhausted mode)
    {
        auto service = std::make_unique<ScriptedUiService>(std::move(answers), mode);
        service->SetFailureHandler([this](const QString& what) { failures.append(what); });
        return service;
    }
};

struct DefaultCase
{
    int buttons;
    int answer;
};

// The default button of each button set, with the default-button bits, an
// icon mixed in, and a default button the set does not have.
const DefaultCase kDefaults[] = {
    {vbOKOnly, vbOK},
    {vbOKCancel, vbOK},
    {vbOKCancel + vbDefaultButton2, vbCancel},
    {vbAbortRetryIgnore, vbAbort},
    {vbAbortRetryIgnore + vbDefaultButton3, vbIgnore},
    {vbYesNoCancel + vbDefaultButton2, vbNo},
    {vbYesNoCancel + vbDefaultButton3 + vbExclamation, vbCancel},
    {vbYesNo + vbQuestion, vbYes},
    {vbYesNo + vbQuestion + vbDefaultButton2, vbNo},
    {vbRetryCancel + vbCritical, vbRetry},
    {vbOKOnly + vbInformation + vbDefaultButton3, vbOK},
    {vbYesNo + vbDefaultButton3, vbYes},
};

class UiServiceTest : public TarvoTest
{};

} // namespace

TEST_F(UiServiceTest, ButtonSetsAndTheirDefaults)
{
    EXPECT_EQ(ButtonAnswers(vbYesNoCancel + vbQuestion), (QList<int>{vbYes, vbNo, vbCancel}));
    EXPECT_EQ(ButtonAnswers(vbAbortRetryIgnore + vbDefaultButton2), (QList<int>{vbAbort, vbRetry, vbIgnore}));
    EXPECT_EQ(ButtonAnswers(vbRetryCancel), (QList<int>{vbRetry, vbCancel}));
    for (const DefaultCase& c : kDefaults)
        EXPECT_EQ(DefaultAnswer(c.buttons), c.answer) << "buttons " << c.buttons;
}

TEST_F(UiServiceTest, ScriptAnswersEveryKindOfBoxInOrder)
{
    Recorder recorder;
    auto service = recorder.make({"7", "typed text", "/data/job 1.qx", "/data/out.hex", "/data", "1", "2"},
                                 ScriptedUiService::WhenExhausted::Fail);
    ProbeDialog dialog;

    EXPECT_EQ(service->MsgBox("Save changes?", vbYesNo + vbQuestion, "Job"), vbNo);
    bool cancelled = true;
    EXPECT_EQ(service->InputBox("Quantity:", "Job", "1", &cancelled), "typed text");
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(service->GetOpenFileName({"Open Job", "Job files (*.qx)", "/data", ""}), "/data/job 1.qx");
    EXPECT_EQ(service->GetSaveFileName({"Save Pattern", "", "", "out.hex"}), "/data/out.hex");
    EXPECT_EQ(service->BrowseForFolder("Log folder", "/tmp"), "/data");
    EXPECT_TRUE(service->ShowPrinter("Print Summary"));
    EXPECT_EQ(service->ShowModal(&dialog), QDialog::Rejected);
    EXPECT_TRUE(dialog.rejected);

    EXPECT_EQ(service->Remaining(), 0);
    EXPECT_TRUE(recorder.failures.isEmpty()) << recorder.failures.join("; ").toStdString();
    ASSERT_EQ(service->Shown().size(), 7);
    EXPECT_EQ(service->Shown().at(0), "Job\tSave changes?\t36\t7");
}

TEST_F(UiServiceTest, ScriptedPrintDialogSetsUpAPdfFileAPrinterOrNothing)
{
    Recorder recorder;
    auto service = recorder.make({"/data/summary.PDF", "/data/part.pdf", "Cancel", "2", ""},
                                 ScriptedUiService::WhenExhausted::Fail);
    // The targets come from the print support plug-in, as the station's do.
    const std::unique_ptr<PrintTarget> whole = CreatePrintTarget();
    ASSERT_TRUE(whole);
    ASSERT_TRUE(service->ShowPrinter(*whole, {"Print", false}));
    EXPECT_EQ(whole->PdfFile(), "/data/summary.PDF");
    EXPECT_EQ(whole->GetRange(), PrintTarget::Range::AllPages);

    // With text selected only the selection prints.
    const std::unique_ptr<PrintTarget> part = CreatePrintTarget();
    ASSERT_TRUE(service->ShowPrinter(*part, {"Print", true}));
    EXPECT_EQ(part->PdfFile(), "/data/part.pdf");
    EXPECT_EQ(part->GetRange(), PrintTarget::Range::Selection);

    for (int i = 0; i < 3; ++i) {
        const std::unique_ptr<PrintTarget> cancelled = CreatePrintTarget();
        EXPECT_FALSE(service->ShowPrinter(*cancelled, {"Print", true})) << i;
        EXPECT_TRUE(cancelled->PdfFile().isEmpty());
    }
    EXPECT_EQ(service->Shown().at(0), "Print\t\tPrint\t/data/summary.PDF");
    EXPECT_EQ(service->Shown().at(2), "Print\t\tPrint\t2");
    EXPECT_TRUE(recorder.failures.isEmpty()) << recorder.failures.join("; ").toStdString();
}

TEST(DefaultExtensionTest, OnlyANameTypedWithoutExtensionGetsTheTypes)
{
    const struct
    {
        const char* typed;
        const char* extension;
        const char* saved;
    } cases[] = {
        {"/data/job1", "qx", "/data/job1.qx"},
        {"/data/lot.7/job1", "qx", "/data/lot.7/job1.qx"}, // a dot in the folder is no extension
        {"/data/job1.qx", "qx", "/data/job1.qx"},
        {"/data/summary.log", "txt", "/data/summary.log"}, // an extension of the operator's own stays
        {"/data/job1.", "qx", "/data/job1."},
        {"/data/job1", "", "/data/job1"}, // no type: as typed
        {"", "qx", ""},                   // cancelled stays cancelled
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithDefaultExtension(c.typed, c.extension), c.saved) << c.typed;
}

// The save dialogs of both services give the name with the type's extension;
// the real dialog adds it before it asks whether to replace a file, so the
// question names the file that will be written.
TEST_F(UiServiceTest, SaveDialogsAddTheDefaultExtension)
{
    Recorder recorder;
    auto scripted = recorder.make({"/data/job1", "/data/job1"}, ScriptedUiService::WhenExhausted::Fail);
    EXPECT_EQ(scripted->GetSaveFileName({"Save Job As", "", "", "", "qx"}), "/data/job1.qx");
    EXPECT_EQ(scripted->GetSaveFileName({"Save Job As", "", "", ""}), "/data/job1");

    const QString folder = tempPath("dialog");
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteAll(folder + "/job1.qx", "earlier job");
    QtUiService qt;
    QStringList asked;
    const auto typeName = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("job1"));
        // The replace question: note it and answer Yes.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked << box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        QTest::keyClick(name, Qt::Key_Return);
    };
    QTimer::singleShot(0, typeName);
    EXPECT_EQ(qt.GetSaveFileName({"Save Job As", "QX Job File (*.qx)", folder, "", "qx"}), folder + "/job1.qx");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains("job1.qx")) << asked[0].toStdString();
}

TEST(QtFileFilterTest, CommonDialogFiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter("QX Job Summary File (*.txt)|*.txt|All Files (*.*)|*.*"),
              "QX Job Summary File (*.txt);;All Files (*)");
    EXPECT_EQ(QtFileFilter("Data|*.hex;*.s19"), "Data (*.hex *.s19)");
}

TEST_F(UiServiceTest, ExhaustedScriptTakesDefaultsInDefaultMode)
{
    Recorder recorder;
    auto service = recorder.make({}, ScriptedUiService::WhenExhausted::DefaultAnswer);
    for (const DefaultCase& c : kDefaults)
        EXPECT_EQ(service->MsgBox("Continue?", c.buttons, "Box"), c.answer) << "buttons " << c.buttons;

    bool cancelled = true;
    EXPECT_EQ(service->InputBox("Quantity:", "Job", "25", &cancelled), "25"); // OK on the proposed text
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(service->GetOpenFileName({"Open Job", "", "/data", "a.qx"}), "");
    EXPECT_EQ(service->GetSaveFileName({"Save Job", "", "", ""}), "");
    EXPECT_EQ(service->BrowseForFolder("Log folder", "/tmp"), "");
    EXPECT_FALSE(service->ShowPrinter("Print"));
    ProbeDialog dialog;
    EXPECT_EQ(service->ShowModal(&dialog), QDialog::Rejected);
    EXPECT_TRUE(dialog.rejected);
    EXPECT_FALSE(dialog.accepted);
    EXPECT_TRUE(recorder.failures.isEmpty());
}

TEST_F(UiServiceTest, FailModeNamesTheUnansweredBoxAndStillAnswersItsDefault)
{
    Recorder recorder;
    auto service = recorder.make({}, ScriptedUiService::WhenExhausted::Fail);

    EXPECT_EQ(
        service->MsgBox("Only one instance of this application could be run at a time!", vbCritical, "Instance Error"),
        vbOK);
    ASSERT_EQ(recorder.failures.size(), 1);
    EXPECT_TRUE(recorder.failures.at(0).contains("Only one instance of this application could be run at a time!"));
    EXPECT_TRUE(recorder.failures.at(0).contains("Instance Error"));

    EXPECT_EQ(service->MsgBox("Overwrite?", vbYesNo + vbDefaultButton2, "Save"), vbNo);
    EXPECT_EQ(service->InputBox("Serial number:", "Serialization", "0001"), "0001");
    EXPECT_EQ(service->GetOpenFileName({"Open Pattern", "", "", ""}), "");
    ASSERT_EQ(recorder.failures.size(), 4);
    EXPECT_TRUE(recorder.failures.at(2).contains("Serial number:"));
    EXPECT_TRUE(recorder.failures.at(2).contains("Serialization"));
    EXPECT_TRUE(recorder.failures.at(3).contains("Open Pattern"));
}

TEST_F(UiServiceTest, AnswerThatIsNoButtonOfTheBoxIsReported)
{
    Recorder recorder;
    auto service = recorder.make({"6", "Yes"}, ScriptedUiService::WhenExhausted::Fail);
    // A Yes meant for a question must not pass for the OK of a notice.
    EXPECT_EQ(service->MsgBox("Done.", vbOKOnly, "Info"), vbOK);
    EXPECT_EQ(service->MsgBox("Go on?", vbYesNo + vbDefaultButton2, "Question"), vbNo);
    ASSERT_EQ(recorder.failures.size(), 2);
    EXPECT_TRUE(recorder.failures.at(0).contains("Done."));
    EXPECT_TRUE(recorder.failures.at(1).contains("Go on?"));
}

TEST_F(UiServiceTest, ModalWindowsGoToHandlersBeforeTheScript)
{
    Recorder recorder;
    auto service = recorder.make({"1"}, ScriptedUiService::WhenExhausted::Fail);
    ProbeDialog first, second;
    first.setWindowTitle("Serialization");
    first.setObjectName("frmSerialize");
    QDialog* seen = nullptr;
    service->OnModal([&seen](QDialog* d) {
        seen = d;
        return int(QDialog::Accepted);
    });

    EXPECT_EQ(service->ShowModal(&first), QDialog::Accepted);
    EXPECT_EQ(seen, &first);
    EXPECT_EQ(service->Remaining(), 1); // the handler, not the script, answered
    // The scripted "1" confirms through the window's own accept().
    EXPECT_EQ(service->ShowModal(&second), QDialog::Accepted);
    EXPECT_TRUE(second.accepted);
    EXPECT_EQ(service->Remaining(), 0);
    EXPECT_TRUE(recorder.failures.isEmpty());
    EXPECT_EQ(service->Shown().at(0), "Serialization\tfrmSerialize\tModal\t1");
}

TEST_F(UiServiceTest, LogLinesKeepOneBoxPerLine)
{
    EXPECT_EQ(
        ScriptedUiService::LogLine("Command Line Options", "Available:\r\n\r\n-SK <Job File Name>\r\n", "64", "1"),
        "Command Line Options\tAvailable:\\r\\n\\r\\n-SK <Job File Name>\\r\\n\t64\t1");
    EXPECT_EQ(ScriptedUiService::LogLine("T", "a\tb\nc", "InputBox", "x"), "T\ta\\tb\\nc\tInputBox\tx");

    const QString log = tempPath("ui.log");
    WriteAll(log, "earlier line\n");
    ScriptedUiService service({"2", "name"}, ScriptedUiService::WhenExhausted::DefaultAnswer);
    service.SetLogFile(log);
    service.MsgBox("Line one\r\nLine two", vbOKCancel + vbExclamation, "Warning");
    service.InputBox("Name:", "Ask", "");
    EXPECT_EQ(ReadAll(log),
              "earlier line\n"
              "Warning\tLine one\\r\\nLine two\t49\t2\n"
              "Ask\tName:\tInputBox\tname\n");
}

TEST_F(UiServiceTest, DefaultServiceFollowsTheEnvironment)
{
    // Puts the test's own service and environment back however the test ends.
    struct Restore
    {
        std::unique_ptr<UiService> saved;
        ~Restore()
        {
            qunsetenv("TARVO_UI_SCRIPT");
            qunsetenv("TARVO_UI_LOG");
            SetUi(std::move(saved));
        }
    } restore;

    const QString script = tempPath("script.txt");
    const QString log = tempPath("boxes.log");
    // CR LF line ends, an empty answer for the input box, then nothing left.
    WriteAll(script, "7\r\n\r\n");
    qputenv("TARVO_UI_SCRIPT", script.toUtf8());
    qputenv("TARVO_UI_LOG", log.toUtf8());
    restore.saved = SetUi(nullptr);
    EXPECT_EQ(restore.saved.get(), &ui());

    EXPECT_NE(dynamic_cast<ScriptedUiService*>(&Ui()), nullptr);
    EXPECT_EQ(Ui().MsgBox("Save the job?", vbYesNo, "Job"), vbNo);
    EXPECT_EQ(Ui().InputBox("Name:", "Ask", "proposed"), "");
    EXPECT_EQ(Ui().MsgBox("Insert next device", vbOKCancel + vbDefaultButton2, "Program"), vbCancel);
    EXPECT_EQ(Ui().InputBox("Name:", "Ask", "proposed"), "proposed");
    EXPECT_EQ(Ui().GetOpenFileName({"Open", "", "", ""}), "");
    EXPECT_EQ(ReadAll(log),
              "Job\tSave the job?\t4\t7\n"
              "Ask\tName:\tInputBox\t\n"
              "Program\tInsert next device\t257\t2\n"
              "Ask\tName:\tInputBox\tproposed\n"
              "Open\t\tOpen\t\n");

    // Without a script the station shows real dialogs.
    qunsetenv("TARVO_UI_SCRIPT");
    qunsetenv("TARVO_UI_LOG");
    SetUi(nullptr);
    EXPECT_NE(dynamic_cast<QtUiService*>(&Ui()), nullptr);
}

// A job that waits in a box is ended from outside (its client's Abort): the
// real box takes its cancel answer, whatever its default, and a dialog is
// cancelled.
TEST_F(UiServiceTest, CancellingOpenBoxesAnswersEachWithItsCancelButton)
{
    const struct
    {
        int buttons;
        int answer;
    } cases[] = {
        {vbOKOnly, vbOK},
        {vbOKCancel, vbCancel}, // OK is the default: "Insert next device" must not go on
        {vbYesNoCancel + vbDefaultButton1, vbCancel},
        {vbYesNo, vbNo},
        {vbAbortRetryIgnore + vbDefaultButton2, vbAbort},
        {vbRetryCancel, vbCancel},
    };
    QtUiService service;
    for (const auto& c : cases) {
        EXPECT_EQ(CancelAnswer(c.buttons), c.answer) << c.buttons;
        QTimer::singleShot(0, [&] { service.CancelOpenBoxes(); });
        EXPECT_EQ(service.MsgBox("Waiting", c.buttons, "Job"), c.answer) << c.buttons;
    }
    ProbeDialog dialog;
    QTimer::singleShot(0, [&] { service.CancelOpenBoxes(); });
    EXPECT_EQ(service.ShowModal(&dialog), int(QDialog::Rejected));
    EXPECT_TRUE(dialog.rejected);
}
