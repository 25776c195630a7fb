#include "settings/frmConfigure.h"

#include "mainwindow/Station.h"

#include "automation/CQxProgrammerData.h"
#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/CaptionFit.h"
#include "platform/EngineCall.h"
#include "platform/Twips.h"
#include "platform/UiService.h"
#include "settings/ConfigureMasterSites.h"
#include "settings/ConfigureSnapshot.h"
#include "settings/DirDialog.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "shell/CommandLine.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

using enginecall::Ask;
using enginecall::Try;

namespace {

const QString kApplication = QStringLiteral("Application");
const QString kMasterSiteTip = QStringLiteral("Select the master site.");
const QString kMasterSiteError = QStringLiteral("Master Site Error");
constexpr int kWidth = 6600;

// A stored check-box value: its leading number when that is 0 or 1, the
// default otherwise (a damaged value must not tick or clear a box the
// operator did not).
Qt::CheckState CheckValue(const QVariant& stored, int defaultValue)
{
    const QString text = stored.toString().trimmed();
    const bool number = !text.isEmpty() && text.front().isDigit();
    const std::optional<qint64> n = configure::LeadingNumber(text);
    const qint64 v = number && n && (*n == 0 || *n == 1) ? *n : defaultValue;
    return v == 1 ? Qt::Checked : Qt::Unchecked;
}

QString CheckText(const QCheckBox* box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// A control placed by its top and left in twips; its size in twips too.
void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(width), twips::ToPixels(height));
}

} // namespace

frmConfigure::frmConfigure(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmConfigure"));
    setWindowTitle(QStringLiteral("Configure"));

    auto label = [this](const QString& name, const QString& text, QWidget* parentWidget) {
        auto* l = new QLabel(text, parentWidget);
        l->setObjectName(name);
        return l;
    };
    auto combo = [this](const QString& name, bool editable) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setEditable(editable);
        return c;
    };
    auto frame = [this](const QString& name, const QString& title) {
        auto* f = new QGroupBox(title, this);
        f->setObjectName(name);
        return f;
    };
    auto check = [](const QString& name, const QString& text, QWidget* parentWidget) {
        auto* c = new QCheckBox(text, parentWidget);
        c->setObjectName(name);
        return c;
    };
    auto edit = [](const QString& name, QWidget* parentWidget) {
        auto* e = new QLineEdit(parentWidget);
        e->setObjectName(name);
        return e;
    };
    auto button = [](const QString& name, const QString& text, QWidget* parentWidget) {
        auto* b = new QPushButton(text, parentWidget);
        b->setObjectName(name);
        return b;
    };

    Label3 = label(QStringLiteral("Label3"), QStringLiteral("&Programmer Model:"), this);
    cboProgrammerModel = combo(QStringLiteral("cboProgrammerModel"), false);
    Label3->setBuddy(cboProgrammerModel);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("P&rogrammer Port:"), this);
    cboLPTPort = combo(QStringLiteral("cboLPTPort"), false);
    Label2->setBuddy(cboLPTPort);
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("&Handler Type:"), this);
    cboHandlerType = combo(QStringLiteral("cboHandlerType"), false);
    Label1->setBuddy(cboHandlerType);
    lblMasterSite = label(QStringLiteral("lblMasterSite"), QStringLiteral("&Master Site:"), this);
    cboMasterSite = combo(QStringLiteral("cboMasterSite"), true);
    cboMasterSite->setInsertPolicy(QComboBox::NoInsert);
    lblMasterSite->setBuddy(cboMasterSite);
    lblMasterSite->setToolTip(kMasterSiteTip);
    cboMasterSite->setToolTip(kMasterSiteTip);

    chkJobID = check(QStringLiteral("chkJobID"), QStringLiteral("Enable Job &ID"), this);

    fraUserMode = frame(QStringLiteral("fraUserMode"), QStringLiteral(" User Mode "));
    optNovice = new QRadioButton(QStringLiteral("&Novice"), fraUserMode);
    optNovice->setObjectName(QStringLiteral("optNovice"));
    optExperienced = new QRadioButton(QStringLiteral("&Experienced"), fraUserMode);
    optExperienced->setObjectName(QStringLiteral("optExperienced"));

    fraAutoSaveJobSum = frame(QStringLiteral("fraAutoSaveJobSum"), QStringLiteral("Auto Save Job Summary Report"));
    AutoSaveSK_Check = check(QStringLiteral("AutoSaveSK_Check"), QStringLiteral("Enable Auto Save &Job Summary Report"),
                             fraAutoSaveJobSum);
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("Auto Save Directory:"), fraAutoSaveJobSum);
    AutoSaveSK_Dir = edit(QStringLiteral("AutoSaveSK_Dir"), fraAutoSaveJobSum);
    DirBrowser = button(QStringLiteral("DirBrowser"), QStringLiteral("..."), fraAutoSaveJobSum);

    fraPSLogFile = frame(QStringLiteral("fraPSLogFile"), QStringLiteral("Auto Save Power Supply Log File"));
    PSLogFile_Check = check(QStringLiteral("PSLogFile_Check"),
                            QStringLiteral("Enable Auto Save Power &Supply Log File"), fraPSLogFile);
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("Auto Save Directory:"), fraPSLogFile);
    PSLogFile_Dir = edit(QStringLiteral("PSLogFile_Dir"), fraPSLogFile);
    PSLogFile_Browse = button(QStringLiteral("PSLogFile_Browse"), QStringLiteral("..."), fraPSLogFile);

    fraLogFile = frame(QStringLiteral("fraLogFile"), QStringLiteral("Log File"));
    oLogFile = edit(QStringLiteral("oLogFile"), fraLogFile);

    btnOK = button(QStringLiteral("btnOK"), QStringLiteral("&OK"), this);
    btnOK->setDefault(true);
    btnCancel = button(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), this);

    // The controls inside the frames never move within them.
    Place(optNovice, 240, 300, 1500, 300);
    Place(optExperienced, 2040, 300, 1800, 300);
    Place(AutoSaveSK_Check, 240, 300, 4000, 300);
    Place(Label4, 240, 660, 1700, 300);
    Place(AutoSaveSK_Dir, 1980, 630, 2100, 315);
    Place(DirBrowser, 4140, 630, 375, 315);
    Place(PSLogFile_Check, 240, 300, 4000, 300);
    Place(Label5, 240, 660, 1700, 300);
    Place(PSLogFile_Dir, 1980, 630, 2100, 315);
    Place(PSLogFile_Browse, 4140, 630, 375, 315);
    Place(oLogFile, 240, 270, 4275, 315);

    connect(cboProgrammerModel, &QComboBox::activated, this, [this] { cboProgrammerModel_Click(); });
    connect(cboLPTPort, &QComboBox::activated, this, [this] { cboLPTPort_Click(); });
    // A choice by mouse or by keyboard both end in activated: one rule.
    connect(cboHandlerType, &QComboBox::activated, this, [this] { cboHandlerType_Click(); });
    connect(DirBrowser, &QPushButton::clicked, this, [this] { DirBrowser_Click(); });
    connect(PSLogFile_Browse, &QPushButton::clicked, this, [this] { PSLogFile_Browse_Click(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOK_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    cboMasterSite->installEventFilter(this);

    placeControls();
}

frmConfigure::~frmConfigure() = default;

ProgrammerClass& frmConfigure::data() const
{
    return m_station.pgmrData();
}

QXPgmrControl& frmConfigure::engine() const
{
    return m_station.QXProgrammer;
}

int frmConfigure::ShowDialog()
{
    Form_Load();
    return Ui().ShowModal(this);
}

void frmConfigure::placeControls()
{
    const auto top = [this](const char* name) { return m_layout.Top(QString::fromLatin1(name)); };
    Place(Label3, 120, top("Label3") + 60, 1800, 300);
    Place(cboProgrammerModel, 1980, top("cboProgrammerModel"), 2535, 315);
    Place(Label2, 120, top("Label2") + 60, 1800, 300);
    Place(cboLPTPort, 1980, top("cboLPTPort"), 2535, 315);
    Place(Label1, 120, top("Label1") + 60, 1800, 300);
    Place(cboHandlerType, 1980, top("cboHandlerType"), 2535, 315);
    Place(lblMasterSite, 120, top("lblMasterSite") + 60, 1800, 300);
    Place(cboMasterSite, 1980, top("cboMasterSite"), 1215, 315);
    Place(chkJobID, 120, top("chkJobID"), 3000, 300);
    Place(fraUserMode, 120, top("fraUserMode"), 4635, 735);
    Place(fraAutoSaveJobSum, 120, top("fraAutoSaveJobSum"), 4635, 1095);
    Place(fraPSLogFile, 120, top("fraPSLogFile"), 4635, 1095);
    Place(fraLogFile, 120, top("fraLogFile"), 4635, 615);
    Place(btnOK, 5040, top("btnOK"), 1215, 375);
    Place(btnCancel, 5040, top("btnCancel"), 1215, 375);
    setFixedSize(twips::ToPixels(kWidth), twips::ToPixels(m_layout.Height()));
    // Where the font needs more room than designed, the controls take it.
    captionfit::FitCaptions(this);
}

// ---- load

void frmConfigure::Form_Load()
{
    ProgrammerClass& d = data();
    lngModelAtLoad = d.udtPgmrType;
    bCancel = true;
    bRestrictedModelList = false;

    move(twips::ToPixels(ConfigureLayout::kLeft), twips::ToPixels(ConfigureLayout::kTop));

    if (gbChiseloEdition) {
        fraLogFile->setVisible(true);
        oLogFile->setVisible(true);
        oLogFile->setText(GetCmdLineLogFile());
        QPalette palette = oLogFile->palette();
        palette.setColor(QPalette::Text, QApplication::palette().color(QPalette::WindowText));
        oLogFile->setPalette(palette);
    } else {
        fraLogFile->setVisible(false);
        oLogFile->setVisible(false);
        m_layout.SetHeight(ConfigureLayout::kHeightWithoutLogFile);
    }

    const QString app = appinfo::ApplicationTitle();
    AutoSaveSK_Check->setCheckState(
        CheckValue(GetSettingValue(app, kApplication, QStringLiteral("AutoSaveSK_Enable"),
                                   QString::fromLatin1(ProgrammerClass::kAutoSaveSKEnableDefault)),
                   1));
    // Auto-saving is on by default: with no folder stored, one the station
    // can write, so that an OK that changes nothing does not make every job
    // end in a failed save.
    const QString autoSaveDir =
        GetSettingValue(app, kApplication, QStringLiteral("AutoSaveSK_Dir"), QString()).toString();
    AutoSaveSK_Dir->setText(autoSaveDir.isEmpty() ? ProgrammerClass::UsersOwnFolder() : autoSaveDir);
    chkJobID->setCheckState(
        CheckValue(GetSettingValue(app, kApplication, QStringLiteral("JobID_Enable"), QStringLiteral("0")), 0));
    PSLogFile_Check->setCheckState(
        CheckValue(GetSettingValue(app, kApplication, QStringLiteral("PSLogFile_Enable"), QStringLiteral("0")), 0));
    PSLogFile_Dir->setText(GetSettingValue(app, kApplication, QStringLiteral("PSLogFile_Dir"), QString()).toString());
    // A long folder shows its start.
    AutoSaveSK_Dir->setCursorPosition(0);
    PSLogFile_Dir->setCursorPosition(0);

    const bool operatorMode = d.bStartInOperatorMode;
    AutoSaveSK_Check->setVisible(!operatorMode);
    AutoSaveSK_Dir->setVisible(!operatorMode);
    DirBrowser->setVisible(!operatorMode);
    Label4->setVisible(!operatorMode);
    chkJobID->setVisible(!operatorMode);

    const bool noNovice =
        d.udtHandlerType == 1 || d.udtHandlerType == 2 || CQxProgrammerData::Instance().QxProgrammerInstantiated();
    if (noNovice)
        d.bNoviceMode = false;
    if (d.bNoviceMode) {
        optNovice->setChecked(true);
    } else {
        optExperienced->setChecked(true);
        optNovice->setEnabled(!noNovice);
    }

    // The engine's port is handed back to it as it stands; a port it could
    // not tell is not written (0 would be a switch to DEMO).
    try {
        const qint32 port = engine().PortIndex();
        Try([&] { engine().PortIndex(port); });
    } catch (const AutomationError&) {
    }
    lngConfigValueAtLoad = Ask([&] { return engine().ConfigureValue132(); }, qint32(0));

    FillPortList();
    FillModelList();
    FillHandlerList();

    bDemoAtLoad = IsDemoPort();
    const bool concurrent = Ask([&] { return engine().IsConcurrentProgrammer(); }, false);
    BuildMasterSiteRow(concurrent && !operatorMode && !IsDemoPort());
    placeControls();
}

bool frmConfigure::IsDemoPort() const
{
    return cboLPTPort->currentText() == QLatin1String("DEMO");
}

bool frmConfigure::IsEnginePortDemo()
{
    return Ask([&] { return engine().PortIndex(); }, qint32(0)) == 0;
}

int frmConfigure::FindModelIndex(const QString& name)
{
    const qint32 count = Ask([&] { return engine().ProgrammerModelCount(); }, qint32(0));
    for (qint32 i = 0; i < count; ++i) {
        if (Ask([&] { return engine().ModelNameAt(i); }, QString()) == name)
            return i;
    }
    return -1;
}

bool frmConfigure::IsExcludedModelName(const QString& name)
{
    return name == QLatin1String("Marbrix") || name == QLatin1String("Marbrix_II")
        || name == QLatin1String("Marbrix_III");
}

void frmConfigure::FillPortList()
{
    cboLPTPort->clear();
    if (Ask([&] { return engine().IsUsbProgrammer(); }, false)) {
        cboLPTPort->addItem(QStringLiteral("USB"));
        cboLPTPort->setCurrentIndex(0);
        cboLPTPort->setEnabled(false);
        cboProgrammerModel->setEnabled(false);
        return;
    }
    cboLPTPort->addItems(
        {QStringLiteral("DEMO"), QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3")});
    const qint32 port = Ask([&] { return engine().PortIndex(); }, qint32(0));
    cboLPTPort->setCurrentIndex(port >= 0 && port < cboLPTPort->count() ? port : -1);
    cboLPTPort->setEnabled(true);
    cboProgrammerModel->setEnabled(true);
}

void frmConfigure::FillModelList()
{
    const qint32 count = Ask([&] { return engine().ProgrammerModelCount(); }, qint32(0));
    const qint32 current = Ask([&] { return engine().ProgrammerModelIndex(); }, qint32(-1));
    const auto nameAt = [this](qint32 i) { return Ask([&] { return engine().ModelNameAt(i); }, QString()); };
    cboProgrammerModel->clear();
    if (gbChiseloEdition || ProgrammerClass::IsVexalModel(current)) {
        for (qint32 i : {22, 23, 24})
            cboProgrammerModel->addItem(nameAt(i));
        if (ProgrammerClass::IsVexalModel(current))
            cboProgrammerModel->setCurrentIndex(cboProgrammerModel->findText(nameAt(current)));
        else
            cboProgrammerModel->setCurrentIndex(0);
        bRestrictedModelList = true;
        return;
    }
    for (qint32 i = 0; i < count; ++i) {
        const QString name = nameAt(i);
        if (!IsExcludedModelName(name))
            cboProgrammerModel->addItem(name);
    }
    QString shown = Ask([&] { return engine().ProgrammerModelName(); }, QString());
    if (IsExcludedModelName(shown))
        shown = nameAt(6);
    cboProgrammerModel->setCurrentIndex(cboProgrammerModel->findText(shown));
}

void frmConfigure::FillHandlerList()
{
    // Nothing here may stop the load: each step stands on its own.
    cboHandlerType->clear();
    cboHandlerType->addItem(QStringLiteral("Manual"));
    if (!bRestrictedModelList) {
        AddAutoHandlerTypes(ConfigureLayout::kRowPitch);
        return;
    }
    cboHandlerType->setCurrentIndex(0);
    if (cboHandlerType->isEnabled()) {
        m_layout.MoveBelowHandlerRow(-ConfigureLayout::kRowPitch);
        m_layout.SetHeight(m_layout.Height() - ConfigureLayout::kRowPitch);
    }
    cboHandlerType->setEnabled(false);
    cboHandlerType->setVisible(false);
    Label1->setEnabled(false);
    Label1->setVisible(false);
    placeControls();
}

void frmConfigure::AddAutoHandlerTypes(int shift)
{
    cboHandlerType->setCurrentIndex(0);
    if (Ask([&] { return m_station.QXH950AutoHandler.HandlerModelFamily(); }, qint32(0)) == -1) {
        cboHandlerType->addItems({QStringLiteral("RH-600 series"), QStringLiteral("RH-800 series")});
        const qint32 type = data().udtHandlerType;
        if (type >= 0 && type < cboHandlerType->count())
            cboHandlerType->setCurrentIndex(type);
    }
    if (!cboHandlerType->isEnabled()) {
        m_layout.SetHeight(m_layout.Height() + shift);
        m_layout.MoveBelowHandlerRow(shift);
    }
    cboHandlerType->setEnabled(true);
    cboHandlerType->setVisible(true);
    Label1->setEnabled(true);
    Label1->setVisible(true);
    placeControls();
}

// ---- master site

void frmConfigure::BuildMasterSiteRow(bool show)
{
    if (!show) {
        if (lblMasterSite->isHidden())
            return;
        lblMasterSite->setEnabled(false);
        lblMasterSite->setVisible(false);
        cboMasterSite->setEnabled(false);
        cboMasterSite->setVisible(false);
        cboMasterSite->setEditText(QString::number(data().lngMasterSiteID));
        m_layout.MoveBelowMasterSiteRow(-ConfigureLayout::kRowPitch);
        m_layout.SetHeight(m_layout.Height() - ConfigureLayout::kRowPitch);
        placeControls();
        return;
    }
    if (lblMasterSite->isHidden()) {
        m_layout.MoveBelowMasterSiteRow(ConfigureLayout::kRowPitch);
        m_layout.SetHeight(m_layout.Height() + ConfigureLayout::kRowPitch);
    }
    lblMasterSite->setEnabled(true);
    lblMasterSite->setVisible(true);
    cboMasterSite->setEnabled(true);
    cboMasterSite->setVisible(true);
    lblMasterSite->setToolTip(kMasterSiteTip);
    cboMasterSite->setToolTip(kMasterSiteTip);
    cboMasterSite->clear();

    oMasterSites = Ask([&] { return configure::OfferedModules(engine()); }, QList<int>());
    for (int m : std::as_const(oMasterSites))
        cboMasterSite->addItem(QString::number(m));

    // Only a master site that is the first site of its module is selected;
    // any other leaves the row without a selection.
    const int slotCount = Ask([&] { return configure::SlotsPerModule(engine()); }, 1);
    const QString module =
        configure::ModuleTextOfSite(Ask([&] { return engine().MasterSite(); }, qint32(0)), slotCount);
    const int at = module.isEmpty() ? -1 : cboMasterSite->findText(module);
    cboMasterSite->setCurrentIndex(at);
    if (at < 0)
        cboMasterSite->setEditText(QString());
    placeControls();
}

void frmConfigure::ShowMasterSite(bool show)
{
    const QString text = cboMasterSite->currentText();
    BuildMasterSiteRow(show);
    if (show)
        cboMasterSite->setEditText(text);
}

bool frmConfigure::ValidateMasterSite()
{
    const std::optional<qint64> n = configure::LeadingNumber(cboMasterSite->currentText());
    if (n && *n < 1) {
        Ui().MsgBox(QStringLiteral("The Master Site number must be greater than 0."), vb::vbCritical, kMasterSiteError);
        return false;
    }
    return true;
}

bool frmConfigure::cboMasterSite_Validate()
{
    return ValidateMasterSite();
}

bool frmConfigure::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the master-site combo checks it; the box it may show takes the
    // focus too, so the check does not run again while it is open. OK checks
    // the combo itself and Cancel needs no check: going to either is passed
    // over, so one check gives one box.
    const QWidget* next = QApplication::focusWidget();
    const bool toButton = next == btnOK || next == btnCancel;
    if (watched == cboMasterSite && event->type() == QEvent::FocusOut && !m_validating && !toButton
        && !cboMasterSite->isHidden()) {
        m_validating = true;
        if (!cboMasterSite_Validate())
            cboMasterSite->setFocus();
        m_validating = false;
    }
    return QDialog::eventFilter(watched, event);
}

void frmConfigure::SetMasterSite()
{
    ProgrammerClass& d = data();
    if (d.bStartInOperatorMode)
        return;
    const std::optional<qint64> module = configure::LeadingNumber(cboMasterSite->currentText());
    if (!module || *module < 1 || *module > 32767)
        return;
    d.lngMasterSiteID = qint16(*module);
    // The stored number is a module: the engine gets that module's first site.
    engine().SelectMasterSite(qint32(d.lngMasterSiteID));
}

qint32 frmConfigure::GetMasterSiteFromEngine()
{
    const int slotCount = configure::SlotsPerModule(engine());
    return ((engine().MasterSite() - 1) % slotCount) + 1;
}

// ---- events

void frmConfigure::cboProgrammerModel_Click()
{
    if (!bRestrictedModelList)
        ShowMasterSite(cboProgrammerModel->currentIndex() > 9 && !IsDemoPort());
}

void frmConfigure::cboLPTPort_Click()
{
    ShowMasterSite(cboProgrammerModel->currentIndex() > 9 && !IsDemoPort());
}

void frmConfigure::ApplyHandlerRule(bool countAutomationClient)
{
    const int type = cboHandlerType->currentIndex();
    const bool automatic =
        type == 1 || type == 2 || (countAutomationClient && CQxProgrammerData::Instance().QxProgrammerInstantiated());
    if (automatic) {
        optExperienced->setChecked(true);
        optNovice->setEnabled(false);
    } else {
        optNovice->setEnabled(true);
    }
}

void frmConfigure::cboHandlerType_Click()
{
    ApplyHandlerRule(true);
}

void frmConfigure::cboHandlerType_KeyPress()
{
    // The same rule as a choice by mouse: an automation client forbids the
    // novice mode whichever way the handler was chosen.
    ApplyHandlerRule(true);
}

void frmConfigure::Browse(QLineEdit* folder, const QString& title)
{
    if (!oDirDialog)
        oDirDialog = std::make_unique<DirDialog>(this);
    oDirDialog->SelectedDir(folder->text());
    oDirDialog->setWindowTitle(title);
    oDirDialog->ShowDialog();
    folder->setText(oDirDialog->SelectedDir());
}

void frmConfigure::DirBrowser_Click()
{
    Browse(AutoSaveSK_Dir, QStringLiteral("AutoSave Sealbook Directory Browser"));
}

void frmConfigure::PSLogFile_Browse_Click()
{
    Browse(PSLogFile_Dir, QStringLiteral("AutoSave Power Supply Log Directory Browser"));
}

void frmConfigure::btnCancel_Click()
{
    bCancel = true;
    hide();
    reject();
}

void frmConfigure::FailAtMasterSite()
{
    ShowMasterSite(true);
    cboMasterSite->setFocus();
}

void frmConfigure::btnOK_Click()
{
    ProgrammerClass& d = data();
    QXPgmrControl& e = engine();

    // What needs no engine is checked first: a model the engine does not
    // list never reaches it.
    const QString modelText = cboProgrammerModel->currentText();
    const int modelIndex = FindModelIndex(modelText);
    if (modelIndex < 0) {
        Ui().MsgBox(QStringLiteral("The programmer model \"%1\" is not in the engine's model list.").arg(modelText),
                    vb::vbCritical, QStringLiteral("Configuration Error"));
        return;
    }
    const bool masterSiteRow = !cboMasterSite->isHidden();
    if (masterSiteRow && !ValidateMasterSite()) {
        FailAtMasterSite();
        return;
    }

    const ConfigureSnapshot before(e, d);
    const QString logFileBefore = GetCmdLineLogFile();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto fail = [&](bool atMasterSite) {
        // The master-site row is rebuilt while the engine still runs the
        // chosen model, so it offers that model's modules.
        if (atMasterSite)
            FailAtMasterSite();
        before.Restore(e, d);
        SetCmdLineLogFile(logFileBefore);
        bModelChanged = false;
        bCancel = true;
        QApplication::restoreOverrideCursor();
    };

    try {
        const int handler = cboHandlerType->currentIndex();
        d.udtHandlerType = handler < 0 ? 0 : handler;
        // The option texts of every tab, so that a model change can select
        // the operator's choices again where the new lists still hold them.
        if (gMainForm->frmP)
            gMainForm->frmP->SaveCurrentComboBoxStrings();
        d.udtParallelPort = qMax(0, cboLPTPort->currentIndex());
        d.udtPgmrType = modelIndex;
        e.SelectProgrammerModel(qint32(modelIndex));
        bModelChanged = lngModelAtLoad != d.udtPgmrType;
        d.bNoviceMode = optNovice->isChecked();

        if (masterSiteRow) {
            // The modules of the model just chosen.
            const QList<int> offered = configure::OfferedModules(e);
            if (configure::CheckMasterSite(cboMasterSite->currentText(), offered)
                != configure::MasterSiteCheck::Valid) {
                Ui().MsgBox(QStringLiteral("The Master Site number is invalid."), vb::vbCritical, kMasterSiteError);
                fail(true);
                return;
            }
            e.SelectMasterSite(qint32(*configure::LeadingNumber(cboMasterSite->currentText())));
        }

        e.PortIndex(qint32(d.udtParallelPort));
        FillPortList();
        FillModelList();

        if (masterSiteRow) {
            ShowMasterSite(true);
            const std::optional<qint64> module = configure::LeadingNumber(cboMasterSite->currentText());
            if (!module || !oMasterSites.contains(int(*module))) {
                Ui().MsgBox(QStringLiteral("The Master Site number is invalid."), vb::vbCritical, kMasterSiteError);
                fail(true);
                return;
            }
            d.lngMasterSiteID = qint16(*module);
        }

        ApplySettings();
    } catch (const AutomationError& error) {
        fail(false);
        WriteLogInfo(QStringLiteral("Configure: %1").arg(error.Description()), true);
        Ui().MsgBox(error.Description(), vb::vbCritical, QStringLiteral("Error"));
        return;
    }

    QApplication::restoreOverrideCursor();
    if (gbChiseloEdition && !oLogFile->text().isEmpty())
        SetCmdLineLogFile(oLogFile->text());
    accept();
}

void frmConfigure::ApplySettings()
{
    ProgrammerClass& d = data();
    QXPgmrControl& e = engine();
    // The engine's configuration value of the chosen master site's module
    // against the one at load: a change brings the engine's Sealbook mode
    // along.
    const qint32 value = !IsEnginePortDemo() ? e.ModelValue315(qint16(d.lngMasterSiteID - 1)) : lngConfigValueAtLoad;
    if (!IsDemoPort() && (lngConfigValueAtLoad != value || bDemoAtLoad))
        d.bStartInOperatorMode = e.SealbookSetting211();

    // The auto-save values (supervisor only) and the power-supply log's in
    // one write: a write that fails leaves all of them as they were.
    QList<std::pair<QString, QVariant>> settings;
    if (!d.bStartInOperatorMode) {
        settings.append({QStringLiteral("AutoSaveSK_Dir"), AutoSaveSK_Dir->text()});
        settings.append({QStringLiteral("AutoSaveSK_Enable"), CheckText(AutoSaveSK_Check)});
        settings.append({QStringLiteral("JobID_Enable"), CheckText(chkJobID)});
    }
    settings.append({QStringLiteral("PSLogFile_Enable"), CheckText(PSLogFile_Check)});
    settings.append({QStringLiteral("PSLogFile_Dir"), PSLogFile_Dir->text()});
    SaveSettingValues(appinfo::ApplicationTitle(), kApplication, settings);

    // Everything is written: only now does OK count as committed, and the
    // main window take the new configuration.
    bCancel = false;
    hide();
    if (gMainForm->frmP)
        gMainForm->frmP->UpdateFormCaption(true);
    gMainForm->SetHandlerStateInfo();
    if (d.bStartInOperatorMode)
        gMainForm->SetOperatorModeControls();
    else
        gMainForm->SetSupervisorModeControls();
}
