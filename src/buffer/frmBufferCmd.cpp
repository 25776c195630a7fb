#include "frmBufferCmd.h"

#include "mainwindow/Station.h"

#include "BufferRules.h"
#include "DefaultBufferValue.h"
#include "frmBufferLoad.h"
#include "frmBufferSave.h"

#include "device/DeviceDialogs.h"
#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/CBufferSource.h"
#include "operation/frmProgram.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/CommandLine.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using enginecall::Ask;
using enginecall::Try;

frmBufferCmd::frmBufferCmd(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmBufferCmd"));
    setWindowTitle(QStringLiteral("Data Pattern"));

    Frame1 = new QGroupBox(QStringLiteral("Checksum"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    TypeLabel = devicedialogs::Caption(Frame1, "TypeLabel", QStringLiteral("Type:"));
    CSumType = new QComboBox(Frame1);
    CSumType->setObjectName(QStringLiteral("CSumType"));
    CSumType->setToolTip(QStringLiteral("Select the Check Sum Mode"));
    MethodLabel = devicedialogs::Caption(Frame1, "MethodLabel", QStringLiteral("Method:"));
    CSumMethod = new QComboBox(Frame1);
    CSumMethod->setObjectName(QStringLiteral("CSumMethod"));
    CSumMethod->setToolTip(QStringLiteral("Select the Check Sum Method"));
    auto* checksumLayout = new QHBoxLayout(Frame1);
    checksumLayout->addWidget(TypeLabel);
    checksumLayout->addWidget(CSumType);
    checksumLayout->addWidget(MethodLabel);
    checksumLayout->addWidget(CSumMethod);

    CurrentBufContents = new QGroupBox(QStringLiteral("Current Buffer Contents"), this);
    CurrentBufContents->setObjectName(QStringLiteral("CurrentBufContents"));
    Label1 = devicedialogs::Caption(CurrentBufContents, "Label1", QStringLiteral("Pattern:"));
    FileNameText = new QLineEdit(CurrentBufContents);
    FileNameText->setObjectName(QStringLiteral("FileNameText"));
    FileNameText->setToolTip(QStringLiteral("File Name Text"));
    FileNameText->setReadOnly(true);
    Label2 = devicedialogs::Caption(CurrentBufContents, "Label2", QStringLiteral("Date:"));
    DateText = devicedialogs::Caption(CurrentBufContents, "DateText", QString(),
                                      QStringLiteral("Current File Modified by Date"));
    Label3 = devicedialogs::Caption(CurrentBufContents, "Label3", QStringLiteral("Size:"));
    SizeText = devicedialogs::Caption(CurrentBufContents, "SizeText", QString(), QStringLiteral("Current Buffer Size"));
    Label4 = devicedialogs::Caption(CurrentBufContents, "Label4", QStringLiteral("Type:"));
    TypeText = devicedialogs::Caption(CurrentBufContents, "TypeText", QString(), QStringLiteral("Current Buffer Type"));
    CSUMLabel = devicedialogs::Caption(CurrentBufContents, "CSUMLabel", QStringLiteral("CSUM:"));
    CheckSumText =
        devicedialogs::Caption(CurrentBufContents, "CheckSumText", QString(), QStringLiteral("Current Check Sum"));
    auto* fields = new QGridLayout(CurrentBufContents);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(FileNameText, 0, 1, 1, 3);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(DateText, 1, 1);
    fields->addWidget(Label3, 1, 2);
    fields->addWidget(SizeText, 1, 3);
    fields->addWidget(Label4, 2, 0);
    fields->addWidget(TypeText, 2, 1);
    fields->addWidget(CSUMLabel, 2, 2);
    fields->addWidget(CheckSumText, 2, 3);

    DisplayFmt = devicedialogs::RadixFrame(this, DecimalButton, HexadecimalButton);
    DecimalButton->setObjectName(QStringLiteral("DecimalButton"));
    DecimalButton->setText(QStringLiteral("Decimal"));
    HexadecimalButton->setObjectName(QStringLiteral("HexadecimalButton"));
    HexadecimalButton->setText(QStringLiteral("Hexadecimal"));

    m_oDefaultBufferValueCtrl = new DefaultBufferValue(engine(), this);

    Edit = devicedialogs::Button(this, "Edit", QStringLiteral("&Edit..."));
    Clear = devicedialogs::Button(this, "Clear", QStringLiteral("C&lear"));
    Save = devicedialogs::Button(this, "Save", QStringLiteral("&Save..."));
    Open = devicedialogs::Button(this, "Open", QStringLiteral("O&pen..."));
    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("&OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("&Cancel"));
    OKButton->setDefault(true);

    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {Open, Save, Edit, Clear})
        commands->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CurrentBufContents);
    layout->addWidget(Frame1);
    layout->addWidget(DisplayFmt);
    layout->addWidget(m_oDefaultBufferValueCtrl);
    layout->addLayout(commands);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(OKButton, &QPushButton::clicked, this, &frmBufferCmd::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmBufferCmd::CancelButton_Click);
    connect(Open, &QPushButton::clicked, this, &frmBufferCmd::Open_Click);
    connect(Save, &QPushButton::clicked, this, &frmBufferCmd::Save_Click);
    connect(Edit, &QPushButton::clicked, this, &frmBufferCmd::Edit_Click);
    connect(Clear, &QPushButton::clicked, this, &frmBufferCmd::Clear_Click);
    connect(CSumMethod, &QComboBox::activated, this, [this] { CSumMethod_Click(); });
    connect(CSumType, &QComboBox::activated, this, [this] { CSumType_Click(); });
    connect(DecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            DecimalButton_Click();
    });
    connect(HexadecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            HexadecimalButton_Click();
    });
}

frmBufferCmd::~frmBufferCmd() = default;

QXPgmrControl& frmBufferCmd::engine() const
{
    return m_station.QXProgrammer;
}
frmProgram& frmBufferCmd::operationWindow()
{
    return *gMainForm->frmP;
}
ProgrammerClass& frmBufferCmd::data() const
{
    return m_station.pgmrData();
}

void frmBufferCmd::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_oDefaultBufferValueCtrl->SetDecimalButton(DecimalButton);
    m_keptChecksumType = Ask([this] { return engine().ChecksumType(); }, qint32(0));
    m_keptChecksumMethod = Ask([this] { return engine().ChecksumMethod(); }, qint32(0));
    m_inRefresh = false;
    ShowEngineRadix();
    m_oDefaultBufferValueCtrl->InitDefaultBufValList();
    FillChecksumMethodList();
    FillChecksumTypeList();
    Init();
    if (!GetCmdLineDataFile().isEmpty()) {
        Init();
        Open_Click();
        OKButton_Click();
    }
}

void frmBufferCmd::showEvent(QShowEvent* event)
{
    Form_Load();
    Init();
    QDialog::showEvent(event);
}

void frmBufferCmd::FillChecksumMethodList()
{
    CSumMethod->clear();
    CSumMethod->addItems({QStringLiteral("8  Bits"), QStringLiteral("16 Bits")});
    CSumMethod->setCurrentIndex(Ask([this] { return engine().ChecksumMethod(); }, qint32(0)));
}

void frmBufferCmd::FillChecksumTypeList()
{
    CSumType->clear();
    CSumType->addItems({QStringLiteral("Buffer"), QStringLiteral("Device"), QStringLiteral("Compatibility")});
    if (Ask([this] { return engine().DeviceSupportsDeviceChecksum(); }, false)) {
        CSumType->setCurrentIndex(Ask([this] { return engine().ChecksumType(); }, qint32(0)));
    } else {
        CSumType->setCurrentIndex(1);
        CSumType->setEnabled(false);
    }
    CSumType_Click(); // selecting a position writes it to the engine
}

void frmBufferCmd::ShowEngineRadix()
{
    devicedialogs::SelectRadix(DecimalButton, HexadecimalButton,
                               Ask([this] { return engine().DisplayRadix(); }, qint32(0)) == 1);
}

void frmBufferCmd::Init()
{
    InitFileInfo();
    ApplyRadixToOperationWindow();
}

void frmBufferCmd::ShowChecksum(bool shown)
{
    CheckSumText->setVisible(shown);
    CSUMLabel->setVisible(shown);
    CSumMethod->setEnabled(shown);
    if (Ask([this] { return engine().DeviceSupportsDeviceChecksum(); }, false))
        CSumType->setEnabled(shown);
}

void frmBufferCmd::InitFileInfo()
{
    if (data().blnFileLoaded) {
        RefreshFileInfo();
        return;
    }
    FileNameText->clear();
    SizeText->clear();
    TypeText->clear();
    DateText->clear();
    CheckSumText->clear();
    ShowChecksum(false);
    const qint32 size = Ask([this] { return engine().BufferSize(); }, qint32(0));
    if (size < 1) {
        Save->setEnabled(false);
    } else {
        // A buffer read from the device: its size in the radix the window
        // shows beside it.
        ShowSize();
        CheckSumText->setText(Ask([this] { return engine().ChecksumText(); }, QString()));
        FileNameText->setText(operationWindow().BufferTypeGetName());
        ShowChecksum(true);
        DateText->setText(operationWindow().BufferTypeGetDate());
        Save->setEnabled(true);
    }
    DisableBufferButtonActionsForVexal();
    operationWindow().bBufferDirty = false;
}

void frmBufferCmd::ShowSize()
{
    const qint32 size = Ask([this] { return engine().BufferSize(); }, qint32(0));
    SizeText->setText(bufferrules::SizeText(size, !DecimalButton->isChecked(),
                                            Ask([this] { return engine().SizeInFuses(); }, false)));
}

void frmBufferCmd::RefreshFileInfo()
{
    if (m_inRefresh)
        return;
    m_inRefresh = true;
    frmProgram& window = operationWindow();
    ProgrammerClass& d = data();
    const QString path = d.FullDataBufferPath();
    const qint32 size = Ask([this] { return engine().BufferSize(); }, qint32(0));
    // A buffer without a file name did not come from a file, whatever the
    // flags say: it shows the buffer's source, never a folder as a file.
    const bool fromFile = window.BufferTypeGetType() == CBufferSource::TypeFile && !d.strFileName.isEmpty();
    if (window.bBufferDirty || d.strFileName.isEmpty()) {
        if (window.bBufferDirty && fromFile)
            SetCompactPathText(FileNameText, this, path + QLatin1Char('*'));
        else
            FileNameText->setText(window.BufferTypeGetName());
        DateText->setText(size != 0 ? window.BufferTypeGetDate() : QString());
        TypeText->clear();
    } else {
        SetCompactPathText(FileNameText, this, path);
        const QDateTime date = Ask([&] { return engine().GetFileDate(path, false); }, QDateTime());
        DateText->setText(CBufferSource::GeneralDate(date));
        qint32 code = Ask([this] { return engine().DataFileTypeCode(); }, qint32(0));
        TypeText->setText(Ask([&] { return engine().FileTypeNameAt(code); }, QString()));
        window.BufferType(d.strFileName, date, CBufferSource::LoadedFromFile);
    }
    ShowSize();
    CheckSumText->setText(Ask([this] { return engine().ChecksumText(); }, QString()));
    ShowChecksum(true);
    DisableBufferButtonActionsForVexal();
    Save->setEnabled(true);
    m_inRefresh = false;
    const bool locked =
        d.blnFileLoaded && bufferrules::LocksFillValue(Ask([this] { return engine().DataFileTypeCode(); }, qint32(0)));
    m_oDefaultBufferValueCtrl->Enabled(!locked);
}

void frmBufferCmd::UpdateAddrSizeControls(QXPgmrControl& engine, QComboBox* fileTypes, QLabel* label,
                                          QRadioButton* byteOption, QRadioButton* wordOption)
{
    const QVariant entry = fileTypes->currentData();
    const qint32 code = entry.isValid() ? entry.toInt() : fileTypes->currentIndex();
    const bool offered = bufferrules::TakesAddressSize(code);
    label->setEnabled(offered);
    byteOption->setEnabled(offered);
    wordOption->setEnabled(offered);
    // Both options may be cleared only outside their exclusive group.
    byteOption->setAutoExclusive(false);
    wordOption->setAutoExclusive(false);
    if (offered) {
        const bool word = Ask([&] { return engine.WordAddressing(); }, false);
        wordOption->setChecked(word);
        byteOption->setChecked(!word);
    } else {
        byteOption->setChecked(false);
        wordOption->setChecked(false);
    }
    byteOption->setAutoExclusive(true);
    wordOption->setAutoExclusive(true);
}

void frmBufferCmd::UpdateFileMenu(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    data().UpdateRecentFilesRegistry(path);
    data().UpdateFileMenuWithRecentFiles();
}

void frmBufferCmd::DisableBufferButtonActionsForVexal()
{
    const bool vexalMode = Ask([this] { return engine().IsVexalMode(); }, false);
    Edit->setEnabled(!(!vexalMode && gMainForm->IsVexalDeviceOrAfmOrStaplFile()));
}

void frmBufferCmd::DecimalButton_Click()
{
    if (Ask([this] { return engine().BufferSize(); }, qint32(0)) != 0 || data().blnFileLoaded)
        ShowSize();
    ApplyRadixToOperationWindow();
    m_oDefaultBufferValueCtrl->UpdateDefaultBufValList();
}

void frmBufferCmd::HexadecimalButton_Click()
{
    if (Ask([this] { return engine().BufferSize(); }, qint32(0)) != 0 || data().blnFileLoaded) {
        ShowSize();
        CheckSumText->setText(Ask([this] { return engine().ChecksumText(); }, QString()));
    }
    ApplyRadixToOperationWindow();
    m_oDefaultBufferValueCtrl->UpdateDefaultBufValList();
}

void frmBufferCmd::ApplyRadixToOperationWindow()
{
    ProgrammerClass& d = data();
    frmProgram& window = operationWindow();
    d.lngFileSize = Ask([this] { return engine().BufferSize(); }, qint32(0));
    // The operation window is redrawn in the radix shown here; the choice
    // lasts only once committed.
    const qint32 kept = d.udtRadix;
    d.udtRadix = DecimalButton->isChecked() ? 0 : 1;
    Try([&] { window.SetDeviceConfigureOptions(); });
    Try([&] { window.SetDisplayInfo(); });
    Try([&] { window.SetButtonStates(); });
    d.udtRadix = kept;
    Try([&] { engine().DisplayRadix(kept); });
}

void frmBufferCmd::CommitDisplayRadix()
{
    const qint32 radix = HexadecimalButton->isChecked() ? 1 : 0;
    Try([&] { engine().DisplayRadix(radix); });
    data().udtRadix = radix;
}

void frmBufferCmd::CSumMethod_Click()
{
    const qint32 method = CSumMethod->currentIndex();
    Try([&] { engine().ChecksumMethod(method); });
    CheckSumText->setText(Ask([this] { return engine().ChecksumText(); }, QString()));
    ApplyRadixToOperationWindow();
}

void frmBufferCmd::CSumType_Click()
{
    const qint32 type = CSumType->currentIndex();
    Try([&] { engine().ChecksumType(type); });
    CheckSumText->setText(Ask([this] { return engine().ChecksumText(); }, QString()));
    ApplyRadixToOperationWindow();
}

void frmBufferCmd::SaveChecksumSettings()
{
    data().udtCSumMethod = CSumMethod->currentIndex();
    data().udtCSumType = CSumType->currentIndex();
}

void frmBufferCmd::OKButton_Click()
{
    operationWindow().bOpen = false;
    CommitDisplayRadix();
    SaveChecksumSettings();
    Init();
    const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
    Try([&] { engine().DefaultBufferByte(fill); });
    accept();
}

void frmBufferCmd::CancelButton_Click()
{
    operationWindow().bOpen = false;
    Try([&] { engine().ChecksumType(m_keptChecksumType); });
    Try([&] { engine().ChecksumMethod(m_keptChecksumMethod); });
    // The radix tried here is not kept: the window and the operation window
    // go back to the job's.
    ShowEngineRadix();
    Init();
    QDialog::reject();
}

void frmBufferCmd::reject()
{
    // Closing the window any other way would leave the operation window
    // showing it again and again.
    CancelButton_Click();
}

void frmBufferCmd::Clear_Click()
{
    const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
    Try([&] { engine().DefaultBufferByte(fill); });
    m_oDefaultBufferValueCtrl->Enabled(true);
    if (gMainForm->ClearBuffer()) // True: the engine refused
        return;
    operationWindow().bBufferDirty = false;
    operationWindow().BufferType(QString(), QDateTime::currentDateTime(), CBufferSource::Cleared);
    InitFileInfo();
    ApplyRadixToOperationWindow();
}

void frmBufferCmd::Edit_Click()
{
    CommitDisplayRadix();
    const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
    Try([&] { engine().DefaultBufferByte(fill); });
    // The editor tells nothing of what it did: the buffer's size and
    // checksum before and after say whether the operator changed it.
    const auto content = [this] {
        return std::pair(Ask([this] { return engine().ChecksumText(); }, QString()),
                         Ask([this] { return engine().BufferSize(); }, qint32(0)));
    };
    const auto before = content();
    gMainForm->ViewBuffer_Click();
    frmProgram& window = operationWindow();
    ProgrammerClass& d = data();
    if (content() != before) {
        Save->setEnabled(true);
        Try([this] { engine().BufferEditFlag(qint32(258)); });
        window.bBufferDirty = true;
        window.BufferType(QStringLiteral("User Input"), QDateTime::currentDateTime(), CBufferSource::EditedByOperator);
        if (!d.blnFileLoaded)
            d.strFileName.clear();
        RefreshFileInfo();
        DateText->setText(window.BufferTypeGetDate());
        d.blnBufferEmpty = false;
        d.blnFileLoaded = true;
    }
    Try([&] { engine().DisplayRadix(d.udtRadix); });
    ShowEngineRadix();
    ApplyRadixToOperationWindow();
}

void frmBufferCmd::Save_Click()
{
    SaveDataPattern(0);
}

void frmBufferCmd::Open_Click()
{
    LoadDataPattern(0, QString(), FileTypes::FT_AUTO);
}

void frmBufferCmd::SaveDataPattern(qint16 mode)
{
    CommitDisplayRadix();
    {
        frmBufferSave dialog(m_station, nullptr);
        const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
        Try([&] { engine().DefaultBufferByte(fill); });
        if (mode == 0)
            Ui().ShowModal(&dialog);
        else
            dialog.Save(mode);
    }
    RefreshFileInfo();
    ShowEngineRadix();
    ApplyRadixToOperationWindow();
    UpdateFileMenu(data().FullDataBufferPath());
}

bool frmBufferCmd::LoadDataPattern(qint32 command, const QString& fileName, qint32 fileType)
{
    bool result = false;
    CommitDisplayRadix();
    const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
    Try([&] { engine().DefaultBufferByte(fill); });
    hide();
    frmBufferLoad dialog(m_station, gMainForm);
    QString kept;
    if (!GetCmdLineDataFile().isEmpty()) {
        dialog.Form_Load(); // takes the command-line file and confirms it itself
        result = true;
    } else if (command == 1 || command == 6) {
        bool browse = true;
        dialog.SetBrowseForDataPattern(browse);
        dialog.Form_Load();
        dialog.BrowseForDataPattern(fileName, command);
        if (command == 1 && !gMainForm->dlgCommonDialog.FileName.isEmpty()) {
            Ui().ShowModal(&dialog);
            // Only a confirmed file counts as loaded; a cancelled dialog
            // loads nothing.
            result = operationWindow().bOK;
        } else if (command == 6) {
            result = dialog.CommitDlg(fileType);
        }
    } else {
        dialog.Form_Load();
        Ui().ShowModal(&dialog);
        result = true;
    }
    SizeText->setText(dialog.SizeText->text());
    kept = dialog.SelectedFile();
    m_oDefaultBufferValueCtrl->InitDefaultBufValList();
    if (data().blnFileLoaded) {
        RefreshFileInfo();
        UpdateFileMenu(kept);
    } else {
        result = false;
    }
    ShowEngineRadix();
    return result;
}

bool frmBufferCmd::ExecuteBufferCommand(qint32 command, const QString& fileName, qint32 fileType)
{
    bool result = false;
    Init();
    switch (command) {
    case 1: result = LoadDataPattern(1, fileName, FileTypes::FT_AUTO); break;
    case 2:
    case 3:
        SaveDataPattern(qint16(command));
        result = true;
        break;
    case 4:
        Edit_Click();
        result = true;
        break;
    case 5:
        Clear_Click();
        result = true;
        break;
    case 6: result = LoadDataPattern(6, fileName, fileType); break;
    default: break;
    }
    OKButton_Click();
    return result;
}
