// Operator and supervisor mode of a locked job on the station started in
// this process: the control table of each mode by handler type, the job
// buttons and menu titles around long commands, and the Sealbook menu's
// items with the dialogs they open.
#include "../mainwindow/MainWindowFixture.h"

#include "platform/UiService.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSKPwd.h"
#include "records/frmSealbookConfigure.h"
#include "records/frmSealbookNote.h"
#include "settings/ProgrammerClass.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

class SealbookModeTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(start());
        ASSERT_TRUE(operationWindow().SelectDevice(QStringLiteral("AM27C512")));
    }
    void TearDown() override
    {
        data().udtHandlerType = 0;
        MainWindowTest::TearDown();
    }
    ProgrammerClass& data() { return gMainForm->pgmrData(); }
    frmMain& main() { return *gMainForm; }

    // The controls the modes set, in the order of the expected states below.
    std::vector<std::pair<QString, std::function<bool()>>> Controls()
    {
        frmMain& m = main();
        auto action = [](QAction* a) { return std::function<bool()>([a] { return a->isEnabled(); }); };
        auto widget = [](QWidget* w) { return std::function<bool()>([w] { return w->isEnabled(); }); };
        return {
            {"mnuDefaultConfigure", action(m.mnuDefaultConfigure)},
            {"mnuLoadJob", action(m.mnuLoadJob)},
            {"mnuSaveJob", action(m.mnuSaveJob)},
            {"mnuSaveJobAs", action(m.mnuSaveJobAs)},
            {"mnuSealbookConfigure", action(m.mnuSealbookConfigure)},
            {"mnuJobChangePassword", action(m.mnuJobChangePassword)},
            {"cmdLoadJob", widget(m.cmdLoadJob)},
            {"cmdSaveJob", widget(m.cmdSaveJob)},
            {"OpenDataPattern", action(m.OpenDataPattern)},
            {"SaveDataPattern", action(m.SaveDataPattern)},
            {"SaveDataPatternAs", action(m.SaveDataPatternAs)},
            {"EditDataPattern", action(m.EditDataPattern)},
            {"DataPatternOptions", action(m.DataPatternOptions)},
            {"ClearDataPattern", action(m.ClearDataPattern)},
            {"mnuSelectDevice", action(m.mnuSelectDevice)},
            {"mnuDeviceNandOptions", action(m.mnuDeviceNandOptions)},
            {"mnuRecentFile(1)", action(m.mnuRecentFile[1])},
            {"DeviceButton", widget(operationWindow().DeviceButton)},
        };
    }
    void SetAll(bool enabled)
    {
        frmMain& m = main();
        for (QAction* a : {m.mnuDefaultConfigure, m.mnuLoadJob, m.mnuSaveJob, m.mnuSaveJobAs, m.mnuSealbookConfigure,
                           m.mnuJobChangePassword, m.OpenDataPattern, m.SaveDataPattern, m.SaveDataPatternAs,
                           m.EditDataPattern, m.DataPatternOptions, m.ClearDataPattern, m.mnuSelectDevice,
                           m.mnuDeviceNandOptions, m.mnuRecentFile[1]}) {
            // A hidden action reads as disabled whatever it was given.
            a->setVisible(true);
            a->setEnabled(enabled);
        }
        for (QWidget* w : {static_cast<QWidget*>(m.cmdLoadJob), static_cast<QWidget*>(m.cmdSaveJob),
                           static_cast<QWidget*>(operationWindow().DeviceButton)})
            w->setEnabled(enabled);
    }
    // "1" or "0" per control, in the order of Controls().
    QString States()
    {
        QString out;
        for (const auto& [name, enabled] : Controls())
            out += enabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
};

TEST_F(SealbookModeTest, EachModeSetsItsControlsByHandlerType)
{
    struct Case
    {
        const char* name;
        bool operatorMode;
        qint32 handlerType;
        bool loadButtonBefore;
        bool bufferEmpty = false;
        bool fileTypeSavable = true;
        bool vexalDevice = false;
        // mnuDefaultConfigure, mnuLoadJob, mnuSaveJob, mnuSaveJobAs,
        // mnuSealbookConfigure, mnuJobChangePassword, cmdLoadJob, cmdSaveJob,
        // Open, Save, SaveAs, Edit, Options, Clear (data pattern),
        // mnuSelectDevice, mnuDeviceNandOptions, a recent file, DeviceButton
        const char* states = "";
    };
    const Case cases[] = {
        {"operator, manual", true, 0, true, false, true, false,
         "010000"
         "10"
         "000000"
         "00"
         "0"
         "0"},
        {"operator, manual, load button off", true, 0, false, false, true, false,
         "010000"
         "00"
         "000000"
         "00"
         "0"
         "0"},
        {"operator, automatic 1", true, 1, true, false, true, false,
         "000000"
         "00"
         "000000"
         "00"
         "0"
         "0"},
        {"operator, automatic 2", true, 2, true, false, true, false,
         "000000"
         "00"
         "000000"
         "00"
         "0"
         "0"},
        {"supervisor, manual", false, 0, true, false, true, false,
         "111111"
         "11"
         "111111"
         "11"
         "1"
         "1"},
        {"supervisor, manual, load button off", false, 0, false, false, true, false,
         "111111"
         "00"
         "111111"
         "11"
         "1"
         "1"},
        {"supervisor, automatic 1, load button off", false, 1, false, false, true, false,
         "111111"
         "11"
         "111111"
         "11"
         "1"
         "1"},
        {"supervisor, automatic 2, load button off", false, 2, false, false, true, false,
         "111111"
         "11"
         "111111"
         "11"
         "1"
         "1"},
        {"supervisor, empty buffer", false, 0, true, true, true, false,
         "111111"
         "11"
         "100111"
         "11"
         "1"
         "1"},
        {"supervisor, file type not savable", false, 0, true, false, false, false,
         "111111"
         "11"
         "101111"
         "11"
         "1"
         "1"},
        {"supervisor, Vexal device", false, 0, true, false, true, true,
         "111111"
         "11"
         "111011"
         "11"
         "1"
         "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data().udtHandlerType = c.handlerType;
        data().blnBufferEmpty = c.bufferEmpty;
        engine.answers[QXPgmrId::FileTypeInfoAt] = VbBool(c.fileTypeSavable);
        engine.answers[QXPgmrId::DeviceIsVexal] = VbBool(c.vexalDevice);
        // Start from the other mode with the controls the other way round
        // (on for operator mode, off for supervisor mode), so that each row
        // must set its control itself.
        main().SetSKMode(!c.operatorMode);
        const QString expected = QString::fromLatin1(c.states);
        SetAll(c.operatorMode);
        main().cmdLoadJob->setEnabled(c.loadButtonBefore);
        main().QXH950AutoHandler.HandlerMode(!c.operatorMode);
        engine.calls.clear();

        main().SetSKMode(c.operatorMode);

        EXPECT_EQ(States().toStdString(), expected.toStdString());
        EXPECT_EQ(data().bStartInOperatorMode, c.operatorMode);
        EXPECT_EQ(main().mnuEnterNewMode->text(), c.operatorMode ? "&Enter Supervisor Mode" : "&Enter Operator Mode");
        // An automatic handler follows the mode; a manual one is not told.
        EXPECT_EQ(bool(main().QXH950AutoHandler.HandlerMode()), c.handlerType == 0 ? !c.operatorMode : c.operatorMode);
        EXPECT_EQ(engine.Calls({QXPgmrId::OperatorModeFlag}),
                  QStringList{QStringLiteral("OperatorModeFlag=%1").arg(c.operatorMode ? -1 : 0)});
    }
    engine.answers.remove(QXPgmrId::FileTypeInfoAt);
    engine.answers.remove(QXPgmrId::DeviceIsVexal);
    main().SetSKMode(false);
}

TEST_F(SealbookModeTest, LongCommandsGreyTheMenuTitlesAndJobButtonsAndTheModeOutlastsThem)
{
    struct Case
    {
        const char* name;
        bool operatorMode;
        qint32 handlerType;
        bool loadAfter, saveAfter, saveJobMenuAfter;
    };
    const Case cases[] = {
        {"supervisor, manual", false, 0, true, true, true},
        {"operator, manual", true, 0, true, false, false},
        {"operator, automatic", true, 1, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data().udtHandlerType = c.handlerType;
        main().SetSKMode(c.operatorMode);
        const bool sealbookConfigure = main().mnuSealbookConfigure->isEnabled();

        main().EnableMenu(false);
        for (QAction* title : main().menuBar()->actions())
            EXPECT_FALSE(title->isEnabled()) << title->text().toStdString();
        EXPECT_FALSE(main().cmdLoadJob->isEnabled());
        EXPECT_FALSE(main().cmdSaveJob->isEnabled());
        EXPECT_FALSE(main().txtNumCopies->isEnabled());
        // The items inside the menus keep their states.
        EXPECT_EQ(main().mnuSealbookConfigure->isEnabled(), sealbookConfigure);

        main().EnableMenu(true);
        for (QAction* title : main().menuBar()->actions())
            EXPECT_TRUE(title->isEnabled()) << title->text().toStdString();
        EXPECT_EQ(main().cmdLoadJob->isEnabled(), c.loadAfter);
        EXPECT_EQ(main().cmdSaveJob->isEnabled(), c.saveAfter);
        EXPECT_EQ(main().mnuSaveJob->isEnabled(), c.saveJobMenuAfter);
        EXPECT_TRUE(main().txtNumCopies->isEnabled());
    }
    data().udtHandlerType = 0;
    main().SetSKMode(false);
}

TEST_F(SealbookModeTest, OperatorModeOutlastsEveryPathThatUnlocksTheWindow)
{
    frmProgram& w = operationWindow();
    // What a locked job keeps from the operator.
    auto liveLockedControls = [&] {
        QStringList live;
        for (int row = 0; row < w.Check1.size(); ++row) {
            if (w.Check1[row]->isEnabled())
                live << QStringLiteral("Check1(%1)").arg(row);
            if (w.cboOperation[row]->isEnabled())
                live << QStringLiteral("cboOperation(%1)").arg(row);
        }
        for (QWidget* c : {static_cast<QWidget*>(w.DeviceButton), static_cast<QWidget*>(w.FileButton),
                           static_cast<QWidget*>(w.OptionsButton), static_cast<QWidget*>(w.cboDatPos),
                           static_cast<QWidget*>(w.cboBankNum)}) {
            if (c->isEnabled())
                live << c->objectName();
        }
        return live;
    };
    auto anyRowLive = [&] {
        for (int row = 0; row < w.cboOperation.size(); ++row) {
            if (w.cboOperation[row]->isVisible() && w.cboOperation[row]->isEnabled())
                return true;
        }
        return false;
    };

    // A job and its auto file, saved in supervisor mode.
    MarkBufferFromFile();
    const QString job = tempPath("modes.qx");
    const QString autoFile = tempPath("modes.qxa");
    bool ok = false;
    main().ExecSaveJobCmd(1, job, ok);
    ASSERT_TRUE(ok) << ui().Shown().join('\n').toStdString();
    auto saveAutoFile = [&] {
        qint32 result = -1;
        main().SaveSKAutoFile(autoFile, result, true);
        ASSERT_EQ(result, 0);
    };

    struct Path
    {
        const char* name;
        std::function<void()> prepare; // in supervisor mode
        std::function<void()> run;     // in the mode under test
    };
    const std::function<void()> nothing = [] {};
    qint32 result = 0;
    const Path paths[] = {
        {"job load", nothing, [&] { main().ExecLoadJobCmd(1, job, ok); }},
        {"auto-file load", saveAutoFile, [&] { main().LoadSKAutoFile(autoFile, result); }},
        {"auto-file load that fails", nothing,
         [&] {
             ui().Answer(vb::vbOK);
             main().LoadSKAutoFile(job, result); // a job file is no auto file
         }},
        {"job save", nothing,
         [&] {
             ui().Answer(1); // the note
             main().mnuSaveJob_Click();
         }},
        {"handler session end", nothing,
         [&] {
             ui().Answer(1); // the job summary
             w.HandlerSessionStopped();
         }},
        {"run end", nothing, [&] { w.ExecuteOperation(); }},
        {"tab change", nothing, [&] { w.SelectTab(2); }},
        {"device change", nothing, [&] { w.SelectDevice(QStringLiteral("NV29F040")); }},
        {"settings refresh", nothing, [&] { w.DisableCheckboxesAsNecessary(); }},
    };
    for (const qint32 handlerType : {0, 1}) {
        for (const bool operatorMode : {true, false}) {
            for (const Path& path : paths) {
                SCOPED_TRACE(std::string(path.name) + (operatorMode ? ", operator" : ", supervisor") + ", handler type "
                             + std::to_string(handlerType));
                data().udtHandlerType = handlerType;
                main().SetSKMode(false);
                ASSERT_TRUE(w.SelectDevice(QStringLiteral("AM27C512")));
                w.SelectTab(1);
                main().ExecLoadJobCmd(1, job, ok);
                ASSERT_TRUE(ok);
                MarkBufferFromFile();
                path.prepare();
                main().SetSKMode(operatorMode);
                path.run();
                if (operatorMode)
                    EXPECT_EQ(liveLockedControls().join(' ').toStdString(), "");
                else
                    EXPECT_TRUE(anyRowLive());
            }
        }
    }
    main().SetSKMode(false);
}

TEST_F(SealbookModeTest, SealbookMenuSwitchesModesAndOpensItsDialogs)
{
    main().SetSKMode(false);

    // Into operator mode without a question; back out through the password
    // the menu's own dialog has just set.
    main().mnuEnterNewMode->trigger();
    EXPECT_TRUE(data().bStartInOperatorMode);
    EXPECT_FALSE(main().mnuJobChangePassword->isEnabled());
    main().SetSKMode(false);

    ui().OnModal([](QDialog* dialog) {
        auto* pwd = qobject_cast<frmSKPwd*>(dialog);
        EXPECT_NE(pwd, nullptr);
        if (!pwd)
            return int(QDialog::Rejected);
        EXPECT_FALSE(pwd->txtSKPwd->isEnabled()); // none set yet
        pwd->txtNewSKPwd->setText(QStringLiteral("pw15"));
        pwd->txtVerifySKPwd->setText(QStringLiteral("pw15"));
        QTest::mouseClick(pwd->cmdOK, Qt::LeftButton);
        return pwd->result();
    });
    main().mnuJobChangePassword->trigger();
    EXPECT_TRUE(main().QXProgrammer.HasSealbookPassword());
    EXPECT_EQ(data().strOperatorPwd, "pw15");

    // Start-up enters the mode it was configured for without asking.
    main().SetSKMode(true);
    main().bInitialized = false;
    const qsizetype shown = ui().Shown().size();
    main().SetSKMode(false);
    main().bInitialized = true;
    EXPECT_FALSE(data().bStartInOperatorMode);
    EXPECT_EQ(ui().Shown().size(), shown);

    main().mnuEnterNewMode->trigger();
    ASSERT_TRUE(data().bStartInOperatorMode);
    ui().OnModal([](QDialog* dialog) {
        auto* prompt = qobject_cast<frmOperatorPwd*>(dialog);
        EXPECT_NE(prompt, nullptr);
        if (!prompt)
            return int(QDialog::Rejected);
        prompt->txtPwd->setText(QStringLiteral("pw15"));
        QTest::mouseClick(prompt->cmdOK, Qt::LeftButton);
        return prompt->result();
    });
    main().mnuEnterNewMode->trigger();
    EXPECT_FALSE(data().bStartInOperatorMode);

    // The note history, read only.
    data().strJobNote = QStringLiteral("saved by op7");
    ui().OnModal([](QDialog* dialog) {
        auto* note = qobject_cast<frmSealbookNote*>(dialog);
        EXPECT_NE(note, nullptr);
        if (!note)
            return int(QDialog::Rejected);
        EXPECT_EQ(note->windowTitle(), "Sealbook File Note");
        EXPECT_EQ(note->txtHistory->toPlainText(), "saved by op7");
        EXPECT_EQ(note->cmdOK->text(), "&Close");
        QTest::mouseClick(note->cmdOK, Qt::LeftButton);
        return note->result();
    });
    main().mnuViewNote->trigger();
    EXPECT_EQ(data().strJobNote, "saved by op7");
    main().QXProgrammer.ChangeSealbookPassword(QStringLiteral("pw15"), QString());
}

TEST_F(SealbookModeTest, SealbookOptionsComeFromTheEngineAndTheJobAndGoBackOnlyOnOk)
{
    main().SetSKMode(false);
    bool start = true, mark = true;
    main().QXProgrammer.SealbookConfigure210(start, QString(), mark);
    data().bVerifyChecksum = false;
    data().bRemindToVerifyChecksum = true;
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        engine.calls.clear();
        ui().OnModal([ok](QDialog* dialog) {
            auto* options = qobject_cast<frmSealbookConfigure*>(dialog);
            EXPECT_NE(options, nullptr);
            if (!options)
                return int(QDialog::Rejected);
            EXPECT_TRUE(options->oStartInOperatorMode->isChecked());
            EXPECT_TRUE(options->chkEnableMarkInput->isChecked());
            EXPECT_FALSE(options->chkVerifyChecksum->isChecked());
            EXPECT_TRUE(options->chkRemind->isChecked());
            QTest::mouseClick(options->oStartInOperatorMode, Qt::LeftButton);
            QTest::mouseClick(options->chkVerifyChecksum, Qt::LeftButton);
            QTest::mouseClick(options->chkRemind, Qt::LeftButton);
            QTest::mouseClick(ok ? options->cmdOK : options->cmdCancel, Qt::LeftButton);
            return options->result();
        });
        main().mnuSealbookConfigure->trigger();
        EXPECT_EQ(data().bVerifyChecksum, ok);
        EXPECT_EQ(data().bRemindToVerifyChecksum, !ok);
        EXPECT_EQ(bool(main().QXProgrammer.SealbookSetting211()), !ok);
        EXPECT_TRUE(main().QXProgrammer.SealbookSetting310());
        const QStringList written =
            ok ? QStringList{"SealbookConfigure210(0, , -1)", "SealbookSetting81=-1"} : QStringList();
        EXPECT_EQ(engine.Calls({QXPgmrId::SealbookConfigure210, QXPgmrId::SealbookSetting81}), written);
    }
    start = mark = false;
    main().QXProgrammer.SealbookConfigure210(start, QString(), mark);
}

} // namespace
