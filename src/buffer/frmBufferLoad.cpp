#include "frmBufferLoad.h"

#include "mainwindow/Station.h"

#include "BufferRules.h"
#include "CommonDialog.h"
#include "DefaultBufferValue.h"
#include "frmBufferCmd.h"

#include "device/DeviceDialogs.h"
#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/CBufferSource.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/CommandLine.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
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

const QString frmBufferLoad::kNoFileText = QStringLiteral("You must select a valid data pattern file!");

namespace {

QLineEdit* AddressBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

bool IsZeroDate(const QDateTime& date)
{
    return !date.isValid() || date == ProgrammerClass::ZeroDate();
}

} // namespace

frmBufferLoad::frmBufferLoad(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_check(engine())
{
    setObjectName(QStringLiteral("frmBufferLoad"));
    setWindowTitle(QStringLiteral("Load File Into Buffer"));

    Label1 = devicedialogs::Caption(this, "Label1", QStringLiteral("File Name:"));
    oFileNameText = new QLineEdit(this);
    oFileNameText->setObjectName(QStringLiteral("oFileNameText"));
    oFileNameText->setToolTip(QStringLiteral("File Name Text"));
    Label2 = devicedialogs::Caption(this, "Label2", QStringLiteral("Date:"));
    DateText = devicedialogs::Caption(this, "DateText", QString(), QStringLiteral("Selected File Modified by Date"));
    Label3 = devicedialogs::Caption(this, "Label3", QStringLiteral("Size:"));
    SizeText = devicedialogs::Caption(this, "SizeText", QString(), QStringLiteral("Selected File Size"));
    Label4 = devicedialogs::Caption(this, "Label4", QStringLiteral("Type:"));
    TypeText = devicedialogs::Caption(this, "TypeText", QString(), QStringLiteral("Selected File Type"));
    oUpdateFileInfo = devicedialogs::Button(this, "oUpdateFileInfo", QStringLiteral("&Update File Info"));
    Browse = devicedialogs::Button(this, "Browse", QStringLiteral("&Browse..."));
    Browse->setToolTip(QStringLiteral("Select A File"));
    LoadFileAsLabel = devicedialogs::Caption(this, "LoadFileAsLabel", QStringLiteral("Load File As:"));
    LoadFileAs = new QComboBox(this);
    LoadFileAs->setObjectName(QStringLiteral("LoadFileAs"));
    LoadFileAs->setToolTip(QStringLiteral("Select A File Type"));

    BufLoadOptions = new QGroupBox(QStringLiteral("Buffer Load Options"), this);
    BufLoadOptions->setObjectName(QStringLiteral("BufLoadOptions"));
    LoadEntireFile = devicedialogs::Check(BufLoadOptions, "LoadEntireFile", QStringLiteral("Load Entire File:"));
    ClearBuf = devicedialogs::Check(BufLoadOptions, "ClearBuf", QStringLiteral("Clear Buffer Before Loading:"));
    AutoAddrLoad =
        devicedialogs::Check(BufLoadOptions, "AutoAddrLoad", QStringLiteral("Automatic Lowest Address To Load:"));
    LowAddrLabel =
        devicedialogs::Caption(BufLoadOptions, "LowAddrLabel", QStringLiteral("Lowest Address From File To Load:"));
    LowAddrLoad = AddressBox(BufLoadOptions, "LowAddrLoad");
    HighAddrLabel =
        devicedialogs::Caption(BufLoadOptions, "HighAddrLabel", QStringLiteral("Highest Address From File To Load:"));
    HighAddrLoad = AddressBox(BufLoadOptions, "HighAddrLoad");
    BufAddrLabel =
        devicedialogs::Caption(BufLoadOptions, "BufAddrLabel", QStringLiteral("Address In Buffer To Place Data:"));
    BufAddrLoad = AddressBox(BufLoadOptions, "BufAddrLoad");
    auto* options = new QFormLayout(BufLoadOptions);
    options->addRow(LoadEntireFile);
    options->addRow(ClearBuf);
    options->addRow(AutoAddrLoad);
    options->addRow(LowAddrLabel, LowAddrLoad);
    options->addRow(HighAddrLabel, HighAddrLoad);
    options->addRow(BufAddrLabel, BufAddrLoad);

    AddrSizeLabel = devicedialogs::Caption(this, "AddrSizeLabel", QStringLiteral("Address Size:"));
    ByteAddrSize = devicedialogs::Option(this, "ByteAddrSize", QStringLiteral("Byte"));
    WordAddrSize = devicedialogs::Option(this, "WordAddrSize", QStringLiteral("Word"));
    DisplayFmt = devicedialogs::RadixFrame(this, DecimalButton, HexadecimalButton);
    DecimalButton->setObjectName(QStringLiteral("DecimalButton"));
    DecimalButton->setText(QStringLiteral("Decimal"));
    HexadecimalButton->setObjectName(QStringLiteral("HexadecimalButton"));
    HexadecimalButton->setText(QStringLiteral("Hexadecimal"));
    m_oDefaultBufferValueCtrl = new DefaultBufferValue(engine(), this);
    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("&OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("&Cancel"));
    OKButton->setDefault(true);

    auto* file = new QGridLayout;
    file->addWidget(Label1, 0, 0);
    file->addWidget(oFileNameText, 0, 1, 1, 3);
    file->addWidget(Browse, 0, 4);
    file->addWidget(Label2, 1, 0);
    file->addWidget(DateText, 1, 1);
    file->addWidget(Label3, 1, 2);
    file->addWidget(SizeText, 1, 3);
    file->addWidget(oUpdateFileInfo, 1, 4);
    file->addWidget(Label4, 2, 0);
    file->addWidget(TypeText, 2, 1);
    file->addWidget(LoadFileAsLabel, 3, 0);
    file->addWidget(LoadFileAs, 3, 1, 1, 3);
    auto* addressSize = new QHBoxLayout;
    addressSize->addWidget(AddrSizeLabel);
    addressSize->addWidget(ByteAddrSize);
    addressSize->addWidget(WordAddrSize);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file);
    layout->addWidget(BufLoadOptions);
    layout->addLayout(addressSize);
    layout->addWidget(DisplayFmt);
    layout->addWidget(m_oDefaultBufferValueCtrl);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(OKButton, &QPushButton::clicked, this, &frmBufferLoad::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmBufferLoad::CancelButton_Click);
    connect(Browse, &QPushButton::clicked, this, &frmBufferLoad::Browse_Click);
    connect(oUpdateFileInfo, &QPushButton::clicked, this, &frmBufferLoad::oUpdateFileInfo_Click);
    connect(LoadFileAs, &QComboBox::activated, this, [this] { LoadFileAs_Click(); });
    connect(LoadEntireFile, &QCheckBox::toggled, this, [this] { LoadEntireFile_Click(); });
    connect(AutoAddrLoad, &QCheckBox::toggled, this, [this] { AutoAddrLoad_Click(); });
    connect(DecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            DecimalButton_Click();
    });
    connect(HexadecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            HexadecimalButton_Click();
    });
    connect(LowAddrLoad, &QLineEdit::textChanged, this, [this] { AddressChanged(LowAddrLoad, m_lastLow); });
    connect(HighAddrLoad, &QLineEdit::textChanged, this, [this] { AddressChanged(HighAddrLoad, m_lastHigh); });
    connect(BufAddrLoad, &QLineEdit::textChanged, this, [this] { AddressChanged(BufAddrLoad, m_lastBuffer); });
    connect(oFileNameText, &QLineEdit::textEdited, this, [this] { oUpdateFileInfo->setEnabled(true); });
    oFileNameText->installEventFilter(this);
}

frmBufferLoad::~frmBufferLoad()
{
    oFileNameText->removeEventFilter(this);
}

QXPgmrControl& frmBufferLoad::engine() const
{
    return m_station.QXProgrammer;
}
ProgrammerClass& frmBufferLoad::data() const
{
    return m_station.pgmrData();
}

bool frmBufferLoad::hex() const
{
    return HexadecimalButton->isChecked();
}

void frmBufferLoad::Form_Load()
{
    m_oDefaultBufferValueCtrl->SetDecimalButton(DecimalButton);
    m_keptFill = Ask([this] { return engine().DefaultBufferByte(); }, qint32(0));
    m_browsed = false;
    ProgrammerClass& d = data();
    m_lastLow = d.lngLowAddrLoad;
    m_lastHigh = d.lngHighAddrLoad;
    m_lastBuffer = d.lngBufLoadAddr;
    m_folder = d.strFilePath.isEmpty() ? CommonDialog::HomeFolder() : d.strFilePath;
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    m_parsedLow = m_parsedHigh = m_parsedBuffer = 0;
    ShowEngineRadix();
    InitLoadControls();
    if (!m_browseMode)
        ShowLoadedFile();
    ApplySelectedFile();
    devicedialogs::CentreOnScreen(this);
    frmBufferCmd::UpdateAddrSizeControls(engine(), LoadFileAs, AddrSizeLabel, ByteAddrSize, WordAddrSize);
    if (gbChiseloEdition) {
        oUpdateFileInfo->setVisible(true);
        oUpdateFileInfo->setEnabled(false);
    } else {
        oFileNameText->setEnabled(true);
        oFileNameText->setReadOnly(true);
        oFileNameText->setStyleSheet(
            QStringLiteral("QLineEdit { background: palette(button); color: palette(window-text); }"));
        oUpdateFileInfo->setVisible(false);
        oUpdateFileInfo->setEnabled(false);
    }
    const QString commandLineFile = GetCmdLineDataFile();
    if (!commandLineFile.isEmpty()) {
        UpdateDialogSettings(commandLineFile);
        CommitDlg(SelectedFileType());
    }
}

void frmBufferLoad::showEvent(QShowEvent* event)
{
    Form_Activate();
    QDialog::showEvent(event);
}

void frmBufferLoad::Form_Activate()
{
    if (m_browsed)
        OKButton->setFocus();
}

void frmBufferLoad::ShowEngineRadix()
{
    devicedialogs::SelectRadix(DecimalButton, HexadecimalButton,
                               Ask([this] { return engine().DisplayRadix(); }, qint32(0)) == 1);
}

void frmBufferLoad::InitLoadControls()
{
    const ProgrammerClass& d = data();
    AutoAddrLoad->setChecked(d.blnAutoLowAddr);
    ClearBuf->setChecked(d.blnClearLoad);
    LoadEntireFile->setChecked(d.blnLoadEntireFile);
    FillFileTypeList();
    ShowSavedAddresses();
    m_oDefaultBufferValueCtrl->InitDefaultBufValList();
}

void frmBufferLoad::FillFileTypeList()
{
    LoadFileAs->clear();
    const qint32 count = Ask([this] { return engine().FileTypeCount(); }, qint32(0));
    for (qint32 i = 0; i < count; ++i) {
        qint32 code = i;
        LoadFileAs->addItem(Ask([&] { return engine().FileTypeNameAt(code); }, QString()), i);
    }
    SelectFileType(FileTypes::FT_BINARY);
}

qint32 frmBufferLoad::SelectedFileType() const
{
    const QVariant code = LoadFileAs->currentData();
    return code.isValid() ? code.toInt() : FileTypes::FT_BINARY;
}

void frmBufferLoad::SelectFileType(qint32 code)
{
    // A code the list does not hold (a format the engine detected but does
    // not name) is read as Binary.
    int position = LoadFileAs->findData(code);
    if (position < 0)
        position = LoadFileAs->findData(FileTypes::FT_BINARY);
    LoadFileAs->setCurrentIndex(position);
    LoadFileAs_Click();
}

void frmBufferLoad::ShowSavedAddresses()
{
    const ProgrammerClass& d = data();
    if (!d.blnFileLoaded) {
        ResetAddressBoxes();
        return;
    }
    LowAddrLoad->setText(m_check.Text(d.lngLowAddrLoad, hex()));
    HighAddrLoad->setText(m_check.Text(d.lngHighAddrLoad, hex()));
    BufAddrLoad->setText(hex() ? bufferrules::HexDigits(d.lngBufLoadAddr) : QString::number(d.lngBufLoadAddr));
}

void frmBufferLoad::ResetAddressBoxes()
{
    BufAddrLoad->setText(QStringLiteral("0"));
    LowAddrLoad->setText(QStringLiteral("0"));
    HighAddrLoad->setText(m_check.Text(-1, hex()));
}

void frmBufferLoad::ShowLoadedFile()
{
    const ProgrammerClass& d = data();
    if (d.blnFileLoaded && !d.strFileName.isEmpty()) {
        ShowFileInfo(m_folder + d.strFileName);
        return;
    }
    oFileNameText->clear();
    m_selectedPath.clear();
    SizeText->clear();
    TypeText->clear();
    DateText->clear();
}

void frmBufferLoad::ApplySelectedFile()
{
    if (!m_selectedPath.isEmpty()) {
        LoadFileAs_Click();
        return;
    }
    oFileNameText->clear();
    DisableLoadOptions();
    LoadFileAs->setEnabled(false);
    LoadFileAsLabel->setEnabled(false);
}

void frmBufferLoad::ShowFileSize()
{
    QString path = m_selectedPath;
    const qint32 size = Ask([&] { return engine().GetFileSize(path); }, qint32(0));
    SizeText->setText(hex() ? bufferrules::HexDigits(size) + QStringLiteral("h bytes")
                            : QString::number(size) + QStringLiteral(" bytes"));
}

void frmBufferLoad::ShowFileInfo(const QString& path)
{
    m_selectedPath = path;
    SetCompactPathText(oFileNameText, this, path);
    const QDateTime date = Ask([&] { return engine().GetFileDate(path, true); }, QDateTime());
    DateText->setText(IsZeroDate(date) ? QString() : CBufferSource::GeneralDate(date));
    ShowFileSize();
    QString asked = path;
    const qint32 detected = Ask([&] { return engine().DetectFileType(asked); }, qint32(FileTypes::FT_BINARY));
    SelectFileType(detected);
    TypeText->setText(LoadFileAs->currentText());
}

bool frmBufferLoad::UpdateDialogSettings(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    m_folder = bufferrules::SplitPath(path).folder;
    ShowFileInfo(path);
    ResetAddressBoxes();
    ApplySelectedFile();
    return true;
}

void frmBufferLoad::ShowOpenDialog(const QString& fileName, qint32 command)
{
    CommonDialog& browser = gMainForm->dlgCommonDialog;
    browser.DialogTitle = QStringLiteral("Open");
    browser.FileName.clear();
    browser.Filter = QStringLiteral("All Files (*.*)|*.*");
    browser.InitDir = m_folder;
    browser.Flags = 2052; // the path must exist; no read-only box
    if (!fileName.isEmpty() || command == 6)
        browser.FileName = fileName;
    else
        browser.ShowOpen();
    UpdateDialogSettings(browser.FileName);
}

void frmBufferLoad::BrowseForDataPattern(const QString& fileName, qint32 command)
{
    ShowOpenDialog(fileName, command);
    m_browsed = true;
}

void frmBufferLoad::Browse_Click()
{
    ShowOpenDialog(QString(), 0);
}

void frmBufferLoad::EnableLoadOptions()
{
    for (QWidget* w : std::initializer_list<QWidget*>{LoadFileAs, LoadFileAsLabel, BufLoadOptions, LoadEntireFile,
                                                      ClearBuf, AutoAddrLoad, BufAddrLabel, BufAddrLoad})
        w->setEnabled(true);
    m_oDefaultBufferValueCtrl->Enabled(true);
}

void frmBufferLoad::DisableFileRange()
{
    for (QWidget* w : std::initializer_list<QWidget*>{LowAddrLabel, LowAddrLoad, HighAddrLabel, HighAddrLoad})
        w->setEnabled(false);
    LowAddrLoad->setText(QStringLiteral("0"));
    HighAddrLoad->setText(m_check.Text(-1, hex()));
}

void frmBufferLoad::DisableLoadOptions()
{
    DisableFileRange();
    for (QWidget* w :
         std::initializer_list<QWidget*>{LoadEntireFile, ClearBuf, AutoAddrLoad, BufAddrLabel, BufAddrLoad})
        w->setEnabled(false);
}

void frmBufferLoad::LoadFileAs_Click()
{
    EnableLoadOptions();
    const qint32 code = SelectedFileType();
    if (Ask([&] { return engine().FileTypeTakesRange(code); }, false)) {
        LoadEntireFile_Click();
    } else {
        LoadEntireFile->setChecked(true);
        DisableLoadOptions();
    }
    frmBufferCmd::UpdateAddrSizeControls(engine(), LoadFileAs, AddrSizeLabel, ByteAddrSize, WordAddrSize);
    if (bufferrules::LocksFillValue(code)) {
        m_oDefaultBufferValueCtrl->InitDefaultBufValList();
        m_oDefaultBufferValueCtrl->Enabled(false);
    }
}

void frmBufferLoad::LoadEntireFile_Click()
{
    if (LoadEntireFile->isChecked()) {
        AutoAddrLoad->setChecked(false);
        DisableFileRange();
        BufAddrLoad->setText(QStringLiteral("0"));
        BufAddrLoad->setEnabled(false);
        BufAddrLabel->setEnabled(false);
    } else {
        AutoAddrLoad_Click();
        BufAddrLoad->setEnabled(true);
        BufAddrLabel->setEnabled(true);
    }
}

void frmBufferLoad::AutoAddrLoad_Click()
{
    HighAddrLoad->setEnabled(true);
    HighAddrLabel->setEnabled(true);
    if (AutoAddrLoad->isChecked()) {
        LoadEntireFile->setChecked(false);
        // An engine that cannot tell the lowest address leaves the box as it is.
        Try([&] {
            const qint32 lowest = engine().AutoLowestAddress();
            LowAddrLoad->setText(m_check.Text(lowest, hex()));
        });
        LowAddrLabel->setEnabled(false);
        LowAddrLoad->setEnabled(false);
    } else {
        LowAddrLabel->setEnabled(true);
        LowAddrLoad->setEnabled(true);
    }
}

void frmBufferLoad::DecimalButton_Click()
{
    SwitchRadix(10);
}

void frmBufferLoad::HexadecimalButton_Click()
{
    SwitchRadix(8);
}

void frmBufferLoad::SwitchRadix(int typedLength)
{
    if (!m_selectedPath.isEmpty())
        ShowFileSize();
    m_oDefaultBufferValueCtrl->UpdateDefaultBufValList();
    // Converted first, bounded after: a bound that cut the old text would
    // convert a shorter number.
    ConvertAddressBoxes();
    for (QLineEdit* box : {LowAddrLoad, HighAddrLoad, BufAddrLoad})
        devicedialogs::BoundTypedLength(box, typedLength);
}

void frmBufferLoad::ConvertAddressBoxes()
{
    if (!hex()) {
        const qint32 low = HexTextToLong(QStringLiteral("&H") + LowAddrLoad->text());
        const qint32 high = HexTextToLong(QStringLiteral("&H") + HighAddrLoad->text());
        const qint32 buffer = HexTextToLong(QStringLiteral("&H") + BufAddrLoad->text());
        LowAddrLoad->setText(m_check.Text(low, false));
        HighAddrLoad->setText(m_check.Text(high, false));
        BufAddrLoad->setText(QString::number(buffer));
        return;
    }
    const qint32 low = m_check.ReadAddress(LowAddrLoad->text(), false, m_lastLow);
    const qint32 high = m_check.ReadAddress(HighAddrLoad->text(), false, m_lastHigh);
    const qint32 buffer = qint32(BufAddrLoad->text().toLongLong());
    LowAddrLoad->setText(bufferrules::HexDigits(low));
    HighAddrLoad->setText(bufferrules::HexDigits(high));
    BufAddrLoad->setText(bufferrules::HexDigits(buffer));
}

void frmBufferLoad::AddressChanged(QLineEdit* box, qint32& last)
{
    const QString text = box->text();
    m_check.Validate(text, last, hex(), [&](const QString& shown) {
        if (shown != text)
            box->setText(shown); // runs the check once more, on valid text
    });
}

void frmBufferLoad::oUpdateFileInfo_Click()
{
    // The name the operator typed is the one to take.
    if (!UpdateDialogSettings(oFileNameText->text()))
        Ui().MsgBox(QStringLiteral("You must specify a valid file!"), vb::vbOKOnly | vb::vbCritical,
                    QStringLiteral("File Name Error"));
    oUpdateFileInfo->setEnabled(false);
}

bool frmBufferLoad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == oFileNameText && event->type() == QEvent::FocusOut && gbChiseloEdition
        && oUpdateFileInfo->isEnabled())
        oUpdateFileInfo_Click();
    return QDialog::eventFilter(watched, event);
}

void frmBufferLoad::OKButton_Click()
{
    CommitDlg(SelectedFileType());
}

void frmBufferLoad::CancelButton_Click()
{
    Try([&] { engine().DefaultBufferByte(m_keptFill); });
    QDialog::reject();
}

void frmBufferLoad::reject()
{
    CancelButton_Click();
}

bool frmBufferLoad::CommitDlg(qint32 typeCode)
{
    frmProgram& window = *gMainForm->frmP;
    ProgrammerClass& d = data();
    if (m_selectedPath.isEmpty() || !QFileInfo(m_selectedPath).isFile()) {
        AppMsgBox(kNoFileText, vb::vbCritical, QStringLiteral("File Name Error"));
        // The status line names the command-line data file (empty when the
        // command line named none), never a name left in the shared browser.
        window.AddStatusTextLine(QStringLiteral("Error accessing the file ") + GetCmdLineDataFile());
        return false;
    }
    if (gbChiseloEdition && oUpdateFileInfo->isEnabled())
        UpdateDialogSettings(oFileNameText->text());

    const bool hexText = hex();
    m_parsedLow = m_check.ReadAddress(LowAddrLoad->text(), hexText, m_parsedLow);
    m_parsedHigh = m_check.ReadAddress(HighAddrLoad->text(), hexText, m_parsedHigh);
    m_parsedBuffer = m_check.ReadBufferAddress(BufAddrLoad->text(), hexText, m_parsedBuffer);
    const bool accepted = !m_check.RefusesRange(m_parsedLow, m_parsedHigh, AutoAddrLoad->isChecked());
    const qint32 listed = SelectedFileType();
    if (accepted && Ask([&] { return engine().FileTypeTakesRange(listed); }, false)) {
        d.lngLowAddrLoad = m_parsedLow;
        d.lngHighAddrLoad = m_parsedHigh;
        d.lngBufLoadAddr = m_parsedBuffer;
        if (AutoAddrLoad->isChecked()) {
            Try([this] { engine().AutoAddressLoad(true); });
            qint32 a = 0;
            qint32 b = 0;
            Try([&] { engine().GetAutoAddressRange(a, b); });
            d.blnAutoLowAddr = true;
        } else {
            Try([this] { engine().AutoAddressLoad(false); });
            d.blnAutoLowAddr = false;
        }
        d.blnClearLoad = ClearBuf->isChecked();
        d.blnLoadEntireFile = LoadEntireFile->isChecked();
    }
    if (accepted) {
        accept(); // hidden; the creator unloads it
        const qint32 radix = hexText ? 1 : 0;
        Try([&] { engine().DisplayRadix(radix); });
        d.udtRadix = radix;
        const bufferrules::FileLocation location = bufferrules::SplitPath(m_selectedPath);
        d.strFileDrive = location.drive;
        d.strFileName = location.name;
        d.strDisplayedFileName = location.name;
        d.strFilePath = location.folder;
        window.bBufferDirty = false;
        window.bOK = true;
        window.FileType = typeCode == FileTypes::FT_AUTO ? listed : typeCode;
        d.blnBufferEmpty = false;
        d.blnFileLoaded = true;
    }
    const bool word = WordAddrSize->isChecked();
    Try([&] { engine().WordAddressing(word); });
    const qint32 fill = m_oDefaultBufferValueCtrl->CurrentValue();
    Try([&] { engine().DefaultBufferByte(fill); });
    // A refused range loads nothing: the caller hears so.
    return accepted;
}
