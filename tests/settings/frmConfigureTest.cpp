// The configuration dialog on a running station: what it shows for each kind
// of programmer, edition, port, handler and mode; OK committing all of its
// choices or none of them; the master module surviving a restart.
#include "ConfigureFixture.h"

#include "automation/CQxProgrammerData.h"
#include "platform/Registry.h"
#include "platform/Twips.h"
#include "platform/ScriptedUiService.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

namespace {

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void Choose(QComboBox* combo, const QString& text)
{
    const int at = combo->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    combo->setCurrentIndex(at);
}

const QStringList kPorts{"DEMO", "LPT1", "LPT2", "LPT3"};
const QStringList kVexal{"VX-100", "VX-400/4", "VX-800/8"};
const QStringList kHandlers{"Manual", "RH-600 series", "RH-800 series"};

struct LayoutCase
{
    const char* name;
    int model;
    int port;
    bool oem;
    bool operatorMode;
    // what the dialog shows
    QString modelText;
    int modelCount;
    QStringList ports; // {} : the four parallel ports
    bool handlerShown;
    QStringList modules; // {} : no master-site row
    QString module;
    int masterTop; // -1 when the row is hidden
    int jobIdTop;
    int psLogTop;
    int height;
};

// Design tops: master site 1680, job ID 2160, power-supply frame 4560; the
// height 6400 without the OEM log frame, 6880 with it. Each hidden row takes
// 480 twips off what lies below it and off the height.
const LayoutCase kLayoutCases[] = {
    {"single", 0, 1, false, false, "RA-210", 22, {}, true, {}, {}, -1, 1680, 4080, 5920},
    {"concurrent", 12, 1, false, false, "RG-1160/16", 22, {}, true, {"1", "2", "3", "4"}, "1", 1680, 2160, 4560, 6400},
    {"concurrent on DEMO", 12, 0, false, false, "RG-1160/16", 22, {}, true, {}, {}, -1, 1680, 4080, 5920},
    {"concurrent in operator mode", 12, 1, false, true, "RG-1160/16", 22, {}, true, {}, {}, -1, 1680, 4080, 5920},
    {"usb", 7, 1, false, false, "RE-620/USB", 22, {"USB"}, true, {}, {}, -1, 1680, 4080, 5920},
    {"Marbrix shows model 6", 19, 1, false, false, "RE-610", 22, {}, true, {}, {}, -1, 1680, 4080, 5920},
    {"VX-100", 22, 1, false, false, "VX-100", 3, {"USB"}, false, {}, {}, -1, 1200, 3600, 5440},
    {"VX-400/4", 23, 1, false, false, "VX-400/4", 3, {"USB"}, false, {"1"}, "1", 1200, 1680, 4080, 5920},
    {"VX-800/8", 24, 1, false, false, "VX-800/8", 3, {"USB"}, false, {"1", "2"}, "1", 1200, 1680, 4080, 5920},
    {"OEM edition", 0, 1, true, false, "VX-100", 3, {}, false, {}, {}, -1, 1200, 3600, 5920},
};

class ConfigureLayoutTest : public ConfigureTest, public ::testing::WithParamInterface<LayoutCase>
{};

TEST_P(ConfigureLayoutTest, RowsListsTopsAndHeight)
{
    const LayoutCase& c = GetParam();
    ASSERT_TRUE(start(c.model));
    gbChiseloEdition = c.oem;
    engine().PortIndex(qint32(c.port));
    data().bStartInOperatorMode = c.operatorMode;

    const auto dialog = open();
    const ConfigureLayout& layout = dialog->Layout();

    EXPECT_EQ(dialog->cboProgrammerModel->currentText(), c.modelText);
    EXPECT_EQ(dialog->cboProgrammerModel->count(), c.modelCount);
    const QStringList models = Items(dialog->cboProgrammerModel);
    if (c.modelCount == 3)
        EXPECT_EQ(models, kVexal);
    else
        EXPECT_FALSE(models.contains("Marbrix") || models.contains("Marbrix_II") || models.contains("Marbrix_III"));

    const bool usb = c.ports == QStringList{"USB"};
    EXPECT_EQ(Items(dialog->cboLPTPort), usb ? c.ports : kPorts);
    EXPECT_EQ(dialog->cboLPTPort->isEnabled(), !usb);
    EXPECT_EQ(dialog->cboProgrammerModel->isEnabled(), !usb);
    if (!usb) {
        EXPECT_EQ(dialog->cboLPTPort->currentIndex(), c.port);
    }

    EXPECT_EQ(!dialog->cboHandlerType->isHidden(), c.handlerShown);
    EXPECT_EQ(!dialog->Label1->isHidden(), c.handlerShown);
    if (c.handlerShown)
        EXPECT_EQ(Items(dialog->cboHandlerType), kHandlers); // the handler stand-in is of the automatic family
    else
        EXPECT_EQ(dialog->cboHandlerType->currentIndex(), 0);

    const bool masterShown = c.masterTop >= 0;
    EXPECT_EQ(!dialog->cboMasterSite->isHidden(), masterShown);
    EXPECT_EQ(!dialog->lblMasterSite->isHidden(), masterShown);
    if (masterShown) {
        EXPECT_EQ(Items(dialog->cboMasterSite), c.modules);
        EXPECT_EQ(dialog->cboMasterSite->currentText(), c.module);
        EXPECT_EQ(layout.Top("cboMasterSite"), c.masterTop);
        EXPECT_EQ(dialog->cboMasterSite->toolTip(), "Select the master site.");
    }

    EXPECT_EQ(!dialog->chkJobID->isHidden(), !c.operatorMode);
    EXPECT_EQ(!dialog->AutoSaveSK_Check->isHidden(), !c.operatorMode);
    EXPECT_EQ(!dialog->fraLogFile->isHidden(), c.oem);
    EXPECT_EQ(layout.Top("chkJobID"), c.jobIdTop);
    EXPECT_EQ(layout.Top("fraPSLogFile"), c.psLogTop);
    EXPECT_EQ(layout.Height(), c.height);
    // The window stands where its layout says.
    EXPECT_EQ(dialog->fraPSLogFile->y(), twips::ToPixels(c.psLogTop));
    EXPECT_EQ(dialog->height(), twips::ToPixels(c.height));
    EXPECT_EQ(dialog->windowTitle(), "Configure");
}

INSTANTIATE_TEST_SUITE_P(Models, ConfigureLayoutTest, ::testing::ValuesIn(kLayoutCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

TEST_F(ConfigureTest, DemoHidesTheMasterSiteRowAndARealPortBringsItBack)
{
    ASSERT_TRUE(start(12));
    engine().PortIndex(qint32(1));
    const auto dialog = open();
    ASSERT_FALSE(dialog->cboMasterSite->isHidden());
    dialog->cboMasterSite->setEditText("3");

    Choose(dialog->cboLPTPort, "DEMO");
    dialog->cboLPTPort_Click();
    EXPECT_TRUE(dialog->cboMasterSite->isHidden());
    EXPECT_EQ(dialog->Layout().Top("chkJobID"), 1680);
    EXPECT_EQ(dialog->Layout().Height(), 5920);

    Choose(dialog->cboLPTPort, "LPT2");
    dialog->cboLPTPort_Click();
    EXPECT_FALSE(dialog->cboMasterSite->isHidden());
    EXPECT_EQ(dialog->Layout().Top("chkJobID"), 2160);
    EXPECT_EQ(dialog->Layout().Height(), 6400);
    // Hiding the row put the stored module back into it.
    EXPECT_EQ(dialog->cboMasterSite->currentText(), QString::number(data().lngMasterSiteID));

    // A single-site model chosen from the list hides it again.
    Choose(dialog->cboProgrammerModel, "RB-310");
    dialog->cboProgrammerModel_Click();
    EXPECT_TRUE(dialog->cboMasterSite->isHidden());
}

// An operator opens Configure and takes OK without touching the auto-save
// options (on by default, no folder stored): the next job's summary is saved
// in the folder Configure showed, and no job ends in a failed save.
TEST_F(ConfigureTest, OkOnTheDefaultsLeavesTheJobSummarySavedAfterEachJob)
{
    ASSERT_TRUE(start(0));
    QString shownFolder;
    ui().OnModal([&](QDialog* dialog) {
        auto* configure = qobject_cast<frmConfigure*>(dialog);
        EXPECT_NE(configure, nullptr);
        if (!configure)
            return int(QDialog::Rejected);
        EXPECT_TRUE(configure->AutoSaveSK_Check->isChecked());
        shownFolder = configure->AutoSaveSK_Dir->text();
        EXPECT_EQ(configure->AutoSaveSK_Dir->cursorPosition(), 0); // the folder's start shows
        configure->btnOK->click();
        return configure->result();
    });
    gMainForm->mnuFileConfigure->trigger();
    ASSERT_FALSE(shownFolder.isEmpty());
    EXPECT_TRUE(QFileInfo(shownFolder).isDir());
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "AutoSaveSK_Enable", "").toString(), "1");

    frmProgram& p = *gMainForm->frmP;
    ASSERT_TRUE(p.SelectDevice(QStringLiteral("AM27C512")));
    // A job of two devices ends in its summary.
    gMainForm->station().SetQuantityText(QStringLiteral("2"));
    ui().Answer(vb::vbOK); // Insert next device
    int summaries = 0;
    const auto pressOk = [&](QDialog* dialog) {
        ++summaries;
        // The job summary's own OK hands the report to auto-saving.
        if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("btnOK")))
            ok->click();
        return dialog->result();
    };
    ui().OnModal(pressOk);
    p.btnAction->click();
    EXPECT_EQ(p.lngNumPassed, 2);
    EXPECT_EQ(summaries, 1);
    const QStringList saved = QDir(shownFolder).entryList({QStringLiteral("JobSummary_*.txt")}, QDir::Files);
    EXPECT_EQ(saved.size(), 1) << shownFolder.toStdString();

    // A station that an earlier Configure left with auto-saving on and no
    // folder saves its summaries there too.
    SaveSettingValue("Tarvo", "Application", "AutoSaveSK_Dir", QString());
    for (const QString& name : saved)
        QFile::remove(QDir(shownFolder).filePath(name));
    ui().Answer(vb::vbOK); // Insert next device
    ui().OnModal(pressOk);
    p.btnAction->click();
    EXPECT_EQ(summaries, 2);
    EXPECT_EQ(QDir(shownFolder).entryList({QStringLiteral("JobSummary_*.txt")}, QDir::Files).size(), 1);
    for (const QString& shown : ui().Shown())
        EXPECT_FALSE(shown.contains(QStringLiteral("cannot be saved"))) << shown.toStdString();
}

// A station that was never configured saves its job summaries where
// Configure would show them, from its first job on: what the dialog shows
// is what the station does.
TEST_F(ConfigureTest, AFreshStationSavesItsSummariesWhereConfigureShows)
{
    ASSERT_TRUE(start(0));
    ASSERT_EQ(GetSettingValue("Tarvo", "Application", "AutoSaveSK_Enable", "absent").toString(), "absent");
    frmProgram& p = *gMainForm->frmP;
    ASSERT_TRUE(p.SelectDevice(QStringLiteral("AM27C512")));
    gMainForm->station().SetQuantityText(QStringLiteral("2"));
    const auto pressOk = [](QDialog* dialog) {
        if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("btnOK")))
            ok->click();
        return dialog->result();
    };
    for (int job = 0; job < 2; ++job) {
        ui().Answer(vb::vbOK); // Insert next device
        ui().OnModal(pressOk);
        p.btnAction->click();
    }
    EXPECT_EQ(p.lngNumPassed, 2);
    const QString folder = ProgrammerClass::UsersOwnFolder();
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("JobSummary_*.txt")}, QDir::Files).size(), 2)
        << folder.toStdString();

    bool shownOn = false;
    QString shownFolder;
    ui().OnModal([&](QDialog* dialog) {
        if (auto* configure = qobject_cast<frmConfigure*>(dialog)) {
            shownOn = configure->AutoSaveSK_Check->isChecked();
            shownFolder = configure->AutoSaveSK_Dir->text();
        }
        return int(QDialog::Rejected);
    });
    gMainForm->mnuFileConfigure->trigger();
    EXPECT_TRUE(shownOn);
    EXPECT_EQ(shownFolder, folder);
    EXPECT_EQ(ui().Remaining(), 0);
}

TEST_F(ConfigureTest, OpeningHandsTheEnginesPortBackAsItStands)
{
    ASSERT_TRUE(start(0));
    const auto portPuts = [this] {
        QList<QVariant> values;
        for (const auto& [dispid, value] : std::as_const(faults.puts))
            if (dispid == QXPgmrId::PortIndex)
                values << value;
        return values;
    };
    for (const qint32 port : {2, 0}) {
        engine().PortIndex(port);
        faults.puts.clear();
        const auto dialog = open();
        EXPECT_EQ(portPuts(), QList<QVariant>{QVariant(port)});
        EXPECT_EQ(engine().PortIndex(), port);
    }
    // A port the engine cannot tell is not written: 0 would be DEMO.
    engine().PortIndex(qint32(3));
    faults.puts.clear();
    faults.failingReads.insert(QXPgmrId::PortIndex);
    const auto dialog = open();
    faults.failingReads.clear();
    EXPECT_TRUE(portPuts().isEmpty());
    EXPECT_EQ(engine().PortIndex(), 3);
}

TEST_F(ConfigureTest, AutomaticHandlersForceExperiencedByMouseAndByKeyboard)
{
    ASSERT_TRUE(start(0));
    data().udtHandlerType = 2;
    data().bNoviceMode = true;
    auto dialog = open();
    EXPECT_EQ(dialog->cboHandlerType->currentText(), "RH-800 series");
    EXPECT_FALSE(data().bNoviceMode);
    EXPECT_TRUE(dialog->optExperienced->isChecked());
    EXPECT_FALSE(dialog->optNovice->isEnabled());

    // Back to Manual: Novice may be chosen again, but is not chosen for the
    // operator.
    Choose(dialog->cboHandlerType, "Manual");
    dialog->cboHandlerType_Click();
    EXPECT_TRUE(dialog->optNovice->isEnabled());
    EXPECT_TRUE(dialog->optExperienced->isChecked());

    // With an automation client attached, Manual does not allow Novice either,
    // whichever way the handler was chosen.
    CQxProgrammerData::Instance().AttachProgrammer();
    for (auto handler : {&frmConfigure::cboHandlerType_Click, &frmConfigure::cboHandlerType_KeyPress}) {
        dialog->optNovice->setEnabled(true);
        (dialog.get()->*handler)();
        EXPECT_FALSE(dialog->optNovice->isEnabled());
    }
    CQxProgrammerData::Instance().ReleaseProgrammer();
}

TEST_F(ConfigureTest, StoredCheckBoxValuesOtherThanZeroOrOneShowTheDefault)
{
    struct Case
    {
        const char* stored;
        bool autoSave; // default on
        bool jobId;    // default off
    };
    const Case cases[] = {{"1", true, true},   {"0", false, false},  {"1 (on)", true, true}, {"2", true, false},
                          {"-1", true, false}, {"yes", true, false}, {"", true, false}};
    ASSERT_TRUE(start(0));
    for (const Case& c : cases) {
        for (const char* name : {"AutoSaveSK_Enable", "JobID_Enable"})
            SaveSettingValue("Tarvo", "Application", name, c.stored);
        const auto dialog = open();
        EXPECT_EQ(dialog->AutoSaveSK_Check->isChecked(), c.autoSave) << c.stored;
        EXPECT_EQ(dialog->chkJobID->isChecked(), c.jobId) << c.stored;
    }
}

// ---- OK and Cancel

struct Fields
{
    qint32 handler, port, model;
    bool novice;
    qint16 masterSite;
    bool operatorMode;
    bool operator==(const Fields&) const = default;
};

Fields FieldsOf(const ProgrammerClass& d)
{
    return {d.udtHandlerType, d.udtParallelPort, d.udtPgmrType,
            d.bNoviceMode,    d.lngMasterSiteID, d.bStartInOperatorMode};
}

class ConfigureCommitTest : public ConfigureTest
{
protected:
    // A station on the 8-site model (4 sites a module), LPT1, master module 2
    // (site 5), with its settings saved once.
    void startStation()
    {
        ASSERT_TRUE(start(11));
        engine().PortIndex(qint32(1));
        engine().SelectMasterSite(qint32(2));
        data().udtParallelPort = 1;
        data().udtPgmrType = 11;
        data().lngMasterSiteID = 2;
        SaveSettingValues("Tarvo", "Application",
                          {{"AutoSaveSK_Dir", "/srv/summaries"},
                           {"AutoSaveSK_Enable", "1"},
                           {"JobID_Enable", "0"},
                           {"PSLogFile_Enable", "0"},
                           {"PSLogFile_Dir", "/srv/ps"}});
    }

    // Every control changed: the 16-site model, LPT2, the RH-600 handler,
    // module 3, every check box flipped and both folders.
    void changeEverything(frmConfigure& dialog, const QString& module)
    {
        Choose(dialog.cboProgrammerModel, "RG-1160/16");
        dialog.cboProgrammerModel_Click();
        Choose(dialog.cboLPTPort, "LPT2");
        dialog.cboLPTPort_Click();
        Choose(dialog.cboHandlerType, "RH-600 series");
        dialog.cboHandlerType_Click();
        dialog.cboMasterSite->setEditText(module);
        dialog.AutoSaveSK_Check->setChecked(false);
        dialog.chkJobID->setChecked(true);
        dialog.PSLogFile_Check->setChecked(true);
        dialog.AutoSaveSK_Dir->setText("/tmp/new-summaries");
        dialog.PSLogFile_Dir->setText("/tmp/new-ps");
    }
};

struct FaultCase
{
    const char* name;
    QString module;       // typed into the master-site combo
    int fault;            // 0 none, 1 PortIndex refused, 2 hive save fails, 3 Cancel, 4 unknown model
    const char* boxTitle; // "" : no box
    const char* boxText;  // "" : the engine's own text
};

const FaultCase kFaultCases[] = {
    {"module the model lacks", "7", 0, "Master Site Error", "The Master Site number is invalid."},
    {"module zero", "0", 0, "Master Site Error", "The Master Site number must be greater than 0."},
    {"module not a number", "abc", 0, "Master Site Error", "The Master Site number must be greater than 0."},
    {"module too large", "99999999999", 0, "Master Site Error", "The Master Site number is invalid."},
    {"engine refuses the port", "3", 1, "Error", "The programmer did not answer."},
    {"settings save fails", "3", 2, "Error", ""},
    {"cancel", "3", 3, "", ""},
    {"unknown model", "3", 4, "Configuration Error",
     "The programmer model \"RX-999\" is not in the engine's model list."},
};

class ConfigureFaultTest : public ConfigureCommitTest, public ::testing::WithParamInterface<FaultCase>
{};

TEST_P(ConfigureFaultTest, NothingIsCommitted)
{
    const FaultCase& c = GetParam();
    startStation();
    const QByteArray hiveBefore = bytes(hiveFile());
    const QByteArray iniBefore = bytes(engineIni());
    const Fields fieldsBefore = FieldsOf(data());
    ASSERT_NE(hiveBefore, "<missing>");
    ASSERT_NE(iniBefore, "<missing>");

    auto dialog = open();
    changeEverything(*dialog, c.module);
    if (c.fault == 4) {
        dialog->cboProgrammerModel->addItem("RX-999");
        Choose(dialog->cboProgrammerModel, "RX-999");
    }
    if (c.fault == 1)
        faults.failing.insert(QXPgmrId::PortIndex);
    if (c.fault == 2)
        reg::SetSaveStepHook([](reg::SaveStep step) { return step != reg::SaveStep::Written; });
    if (*c.boxTitle)
        ui().Answer(1);
    faults.calls.clear();

    if (c.fault == 3)
        dialog->btnCancel_Click();
    else
        dialog->btnOK_Click();
    reg::SetSaveStepHook({});
    faults.failing.clear();

    EXPECT_TRUE(dialog->bCancel);
    EXPECT_EQ(bytes(hiveFile()), hiveBefore);
    EXPECT_EQ(bytes(engineIni()), iniBefore);
    EXPECT_TRUE(FieldsOf(data()) == fieldsBefore);
    EXPECT_EQ(engine().ProgrammerModelIndex(), 11);
    EXPECT_EQ(engine().PortIndex(), 1);
    EXPECT_EQ(engine().MasterSite(), 5);
    if (*c.boxTitle) {
        ASSERT_EQ(ui().Shown().size(), 1);
        const QStringList box = ui().Shown().first().split('\t');
        EXPECT_EQ(box.value(0), c.boxTitle);
        if (*c.boxText) {
            EXPECT_EQ(box.value(1), c.boxText);
        }
        // A refused OK leaves the dialog open for correction.
        EXPECT_NE(dialog->result(), int(QDialog::Accepted));
    } else {
        EXPECT_TRUE(ui().Shown().isEmpty());
    }
    if (c.fault == 4) {
        EXPECT_FALSE(faults.calls.contains(QXPgmrId::SelectProgrammerModel));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ConfigureFaultTest, ::testing::ValuesIn(kFaultCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

TEST_F(ConfigureCommitTest, OkCommitsEveryChoiceAndTheSealbookModeFollowsAChangedConfiguration)
{
    startStation();
    faults.answers[QXPgmrId::SealbookSetting211] = qint32(-1);
    auto dialog = open();
    changeEverything(*dialog, "3");
    dialog->btnOK_Click();

    EXPECT_FALSE(dialog->bCancel);
    EXPECT_TRUE(dialog->ChangedModel());
    EXPECT_EQ(engine().ProgrammerModelIndex(), 12);
    EXPECT_EQ(engine().PortIndex(), 2);
    EXPECT_EQ(engine().MasterSite(), 9); // the first site of module 3
    const Fields expected{1, 2, 12, false, 3, true};
    EXPECT_TRUE(FieldsOf(data()) == expected);
    // Another model: the engine's Sealbook setting now rules, and in operator
    // mode only the power-supply values are written.
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Enable", "").toString(), "1");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Dir", "").toString(), "/tmp/new-ps");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "AutoSaveSK_Dir", "").toString(), "/srv/summaries");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "JobID_Enable", "").toString(), "0");
}

TEST_F(ConfigureCommitTest, OkWithModelAndModuleKeptLeavesTheModeAndWritesAllFiveValuesInOneSave)
{
    startStation();
    faults.answers[QXPgmrId::SealbookSetting211] = qint32(-1);
    auto dialog = open();
    EXPECT_EQ(dialog->cboMasterSite->currentText(), "2");
    dialog->chkJobID->setChecked(true);
    dialog->AutoSaveSK_Dir->setText("/tmp/kept");
    int saves = 0;
    reg::SetSaveStepHook([&saves](reg::SaveStep step) {
        saves += step == reg::SaveStep::Replaced;
        return true;
    });
    dialog->btnOK_Click();
    reg::SetSaveStepHook({});

    EXPECT_FALSE(dialog->bCancel);
    EXPECT_FALSE(dialog->ChangedModel());
    EXPECT_FALSE(data().bStartInOperatorMode);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "JobID_Enable", "").toString(), "1");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "AutoSaveSK_Dir", "").toString(), "/tmp/kept");
    EXPECT_EQ(engine().MasterSite(), 5);
}

TEST_F(ConfigureCommitTest, TheMasterModuleSurvivesARestartOfTheProgram)
{
    startStation();
    engine().SelectMasterSite(qint32(1));
    data().lngMasterSiteID = 1;
    {
        auto dialog = open();
        dialog->cboMasterSite->setEditText("2");
        dialog->btnOK_Click();
        ASSERT_FALSE(dialog->bCancel);
    }
    EXPECT_EQ(engine().MasterSite(), 5);
    // The station closes as the operator closes it, saving its settings.
    gMainForm->close();
    delete gMainForm;
    gMainForm = nullptr;
    ReleaseInstanceLock();

    // A run of the real program between: it hands the stored module to the
    // engine at start-up, and leaves the engine on that module's first site.
    QProcessEnvironment env = childEnvironment();
    env.remove("TARVO_ENGINE_MODEL");
    env.insert("TARVO_UI_SCRIPT", "/dev/null");
    env.insert("TARVO_TEST_CLOSE_AFTER_MS", "200");
    const ProcessResult run = RunProgram(BinDir() + "/tarvo", {}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QSettings ini(engineIni(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Station/MasterSite").toInt(), 5);
    EXPECT_EQ(ini.value("Station/ModelIndex").toInt(), 11);

    qunsetenv("TARVO_ENGINE_MODEL");
    SetRawCommandLineText(QString());
    ASSERT_TRUE(StartApplication());
    EXPECT_EQ(data().lngMasterSiteID, 2);
    EXPECT_EQ(engine().MasterSite(), 5);
    const auto dialog = open();
    EXPECT_EQ(dialog->cboMasterSite->currentText(), "2");
}

} // namespace
