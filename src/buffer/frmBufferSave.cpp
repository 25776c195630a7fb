#include "frmBufferSave.h"

#include "mainwindow/Station.h"

#include "BufferRules.h"
#include "CommonDialog.h"
#include "frmBufferCmd.h"

#include "device/DeviceDialogs.h"
#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/AppInfo.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using appinfo::App;
using enginecall::Ask;
using enginecall::Try;

frmBufferSave::frmBufferSave(Station& station, QWidget* parent)
    : QDialog(parent),
      m_station(station),
      m_low(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 9, 7),
      m_high(NumberEntry::EngineValidity(station.QXProgrammer), kLimit, 9, 7)
{
    setObjectName(QStringLiteral("frmBufferSave"));
    setWindowTitle(QStringLiteral("Save File From Buffer"));

    Label1 = devicedialogs::Label(this, QStringLiteral("Pattern:"));
    Label1->setObjectName(QStringLiteral("Label1"));
    FileNameText = new QLineEdit(this);
    FileNameText->setObjectName(QStringLiteral("FileNameText"));
    FileNameText->setReadOnly(true);
    FileNameText->setFocusPolicy(Qt::ClickFocus);
    Browse = devicedialogs::Button(this, "Browse", QStringLiteral("&Browse"));
    Browse->setToolTip(QStringLiteral("Select a file or select location and enter new file name."));
    AddrSizeLabel = devicedialogs::Label(this, QStringLiteral("Address Size:"));
    AddrSizeLabel->setObjectName(QStringLiteral("AddrSizeLabel"));
    AddrSizeLabel->setToolTip(QStringLiteral("Select 1 byte or 2 byte address."));
    ByteAddrSize = devicedialogs::Option(this, "ByteAddrSize", QStringLiteral("B&YTE"));
    WordAddrSize = devicedialogs::Option(this, "WordAddrSize", QStringLiteral("&WORD"));
    DisplayFmt = devicedialogs::RadixFrame(this, DecimalButton, HexadecimalButton);
    DecimalButton->setObjectName(QStringLiteral("DecimalButton"));
    HexadecimalButton->setObjectName(QStringLiteral("HexadecimalButton"));
    HexadecimalButton->setText(QStringLiteral("He&xadecimal"));

    SaveOptions = new QGroupBox(QStringLiteral("Buffer Save Options"), this);
    SaveOptions->setObjectName(QStringLiteral("SaveOptions"));
    SaveFileAsLabel = devicedialogs::Label(SaveOptions, QStringLiteral("Save &File As:"));
    SaveFileAsLabel->setObjectName(QStringLiteral("SaveFileAsLabel"));
    SaveFileAs = new QComboBox(SaveOptions);
    SaveFileAs->setObjectName(QStringLiteral("SaveFileAs"));
    SaveFileAs->setToolTip(
        QStringLiteral("Select a file type. This is what the file will be formatted to before saving."));
    SaveFileAsLabel->setBuddy(SaveFileAs);
    SaveEntireBuf = devicedialogs::Check(SaveOptions, "SaveEntireBuf", QStringLiteral("Save &Entire Buffer:"),
                                         QStringLiteral("If checked, the entire buffer will be saved."));
    SaveEntireBuf->setTristate(true);
    LowAddrLabel = devicedialogs::Label(SaveOptions, QStringLiteral("&Lowest Buffer Address to Save:"));
    LowAddrLabel->setObjectName(QStringLiteral("LowAddrLabel"));
    LowAddrSave = devicedialogs::NumberBox(SaveOptions, "LowAddrSave", QStringLiteral("0"),
                                           QStringLiteral("Enter the starting address to save."), m_low);
    HighAddrLabel = devicedialogs::Label(SaveOptions, QStringLiteral("&Highest Buffer Address to Save:"));
    HighAddrLabel->setObjectName(QStringLiteral("HighAddrLabel"));
    HighAddrSave = devicedialogs::NumberBox(SaveOptions, "HighAddrSave", QStringLiteral("0"),
                                            QStringLiteral("Enter the ending address to save."), m_high);
    LowAddrLabel->setBuddy(LowAddrSave);
    HighAddrLabel->setBuddy(HighAddrSave);
    auto* options = new QFormLayout(SaveOptions);
    options->addRow(SaveFileAsLabel, SaveFileAs);
    options->addRow(SaveEntireBuf);
    options->addRow(LowAddrLabel, LowAddrSave);
    options->addRow(HighAddrLabel, HighAddrSave);

    OKButton = devicedialogs::Button(this, "OKButton", QStringLiteral("OK"));
    CancelButton = devicedialogs::Button(this, "CancelButton", QStringLiteral("Cancel"));
    OKButton->setDefault(true);

    auto* file = new QHBoxLayout;
    file->addWidget(Label1);
    file->addWidget(FileNameText, 1);
    file->addWidget(Browse);
    auto* addressSize = new QHBoxLayout;
    addressSize->addWidget(AddrSizeLabel);
    addressSize->addWidget(ByteAddrSize);
    addressSize->addWidget(WordAddrSize);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file);
    layout->addWidget(SaveOptions);
    layout->addLayout(addressSize);
    layout->addWidget(DisplayFmt);
    layout->addLayout(devicedialogs::ButtonRow(OKButton, CancelButton));

    connect(OKButton, &QPushButton::clicked, this, &frmBufferSave::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmBufferSave::CancelButton_Click);
    connect(Browse, &QPushButton::clicked, this, &frmBufferSave::Browse_Click);
    connect(SaveFileAs, &QComboBox::activated, this, [this] { SaveFileAs_Click(); });
    connect(SaveEntireBuf, &QCheckBox::stateChanged, this, [this] { SaveEntireBuf_Click(); });
    connect(DecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SetRadix(false);
    });
    connect(HexadecimalButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SetRadix(true);
    });

    Form_Load();
}

frmBufferSave::~frmBufferSave() = default;

QXPgmrControl& frmBufferSave::engine() const
{
    return m_station.QXProgrammer;
}
ProgrammerClass& frmBufferSave::data() const
{
    return m_station.pgmrData();
}

void frmBufferSave::SetRadix(bool hex)
{
    m_low.SetRadix(hex, LowAddrSave->text());
    m_high.SetRadix(hex, HighAddrSave->text());
}

void frmBufferSave::Form_Load()
{
    ProgrammerClass& d = data();
    m_browsed = false;
    m_overwriteConfirmed = false;
    m_low.SetValue(d.lngLowAddrSave);
    m_high.SetValue(d.lngHighAddrSave);
    devicedialogs::SelectRadix(DecimalButton, HexadecimalButton,
                               Ask([this] { return engine().DisplayRadix(); }, qint32(0)) != 0);

    const qint32 count = Ask([this] { return engine().FileTypeCount(); }, qint32(0));
    const qint32 current = Ask([this] { return engine().DataFileTypeCode(); }, qint32(-1));
    int selected = -1;
    for (qint32 i = 0; i < count; ++i) {
        if (!Ask([&] { return engine().FileTypeInfoAt(i); }, false))
            continue;
        qint32 code = i;
        SaveFileAs->addItem(Ask([&] { return engine().FileTypeNameAt(code); }, QString()), i);
        if (i == current)
            selected = SaveFileAs->count() - 1;
    }
    SaveFileAs->setCurrentIndex(selected >= 0 ? selected : 0);
    SaveFileAs_Click();

    if (gMainForm->frmP->bBufferDirty && d.strFileName.isEmpty()) {
        SetFullRange();
    } else {
        m_low.Show(d.lngLowAddrSave);
        m_high.Show(d.lngHighAddrSave);
    }

    const qint32 type = SelectedFileType();
    if (Ask([&] { return engine().FileTypeTakesRange(type); }, false))
        SaveEntireBuf->setCheckState(d.blnSaveEntireContents ? Qt::Checked : Qt::Unchecked);
    else
        SaveEntireBuf->setCheckState(Qt::PartiallyChecked);

    if (!d.strFileName.isEmpty()) {
        m_filePath = d.FullDataBufferPath();
        SetCompactPathText(FileNameText, this, m_filePath);
    } else {
        FileNameText->clear();
        m_filePath.clear();
        EnableSaveOptions(false);
        SaveEntireBuf->setEnabled(false);
        EnableRangeControls(false);
    }
    devicedialogs::CentreOnScreen(this);
}

void frmBufferSave::showEvent(QShowEvent* event)
{
    Form_Activate();
    QDialog::showEvent(event);
}

void frmBufferSave::Form_Activate()
{
    if (m_browsed)
        OKButton->setFocus();
}

qint32 frmBufferSave::SelectedFileType() const
{
    const QVariant code = SaveFileAs->currentData();
    return code.isValid() ? code.toInt() : -1;
}

qint32 frmBufferSave::GetFileTypeIndex(const QVariant& name)
{
    const QString wanted = name.toString().toUpper();
    const qint32 count = Ask([this] { return engine().FileTypeCount(); }, qint32(0));
    for (qint32 i = 0; i < count; ++i) {
        qint32 code = i;
        if (Ask([&] { return engine().FileTypeNameAt(code); }, QString()).toUpper() == wanted)
            return i;
    }
    return -1;
}

void frmBufferSave::EnableRangeControls(bool enable)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LowAddrLabel, LowAddrSave, HighAddrLabel, HighAddrSave})
        w->setEnabled(enable);
}

void frmBufferSave::EnableSaveOptions(bool enable)
{
    for (QWidget* w : std::initializer_list<QWidget*>{SaveOptions, SaveFileAs, SaveFileAsLabel})
        w->setEnabled(enable);
}

void frmBufferSave::SetFullRange()
{
    m_low.Show(0);
    m_high.Show(bufferrules::HighestBufferAddress(Ask([this] { return engine().BufferSize(); }, qint32(0))));
}

void frmBufferSave::SaveFileAs_Click()
{
    const qint32 type = SelectedFileType();
    if (Ask([&] { return engine().FileTypeTakesRange(type); }, false)) {
        SaveEntireBuf->setEnabled(true);
        if (SaveEntireBuf->checkState() == Qt::Checked)
            SaveEntireBuf_Click();
        else
            SaveEntireBuf->setCheckState(Qt::Checked);
    } else {
        SaveEntireBuf->setCheckState(Qt::PartiallyChecked);
        SaveEntireBuf->setEnabled(false);
        EnableRangeControls(false);
    }
    frmBufferCmd::UpdateAddrSizeControls(engine(), SaveFileAs, AddrSizeLabel, ByteAddrSize, WordAddrSize);
}

void frmBufferSave::SaveEntireBuf_Click()
{
    if (SaveEntireBuf->checkState() == Qt::Unchecked) {
        EnableRangeControls(true);
        return;
    }
    EnableRangeControls(false);
    SetFullRange();
}

void frmBufferSave::Browse_Click()
{
    m_overwriteConfirmed = false;
    m_browsed = true;
    CommonDialog& browser = gMainForm->dlgCommonDialog;
    browser.DialogTitle = QStringLiteral("Save As");
    browser.FileName.clear();
    browser.Filter = QStringLiteral("All Files (*.*)|*.*");
    browser.InitDir = m_initialFolder;
    browser.Flags = 6; // ask before replacing a file; no read-only box
    browser.ShowSave();
    if (browser.FileName.isEmpty())
        return;
    if (QFileInfo::exists(browser.FileName))
        m_overwriteConfirmed = true;
    while (browser.FileName.endsWith(QLatin1Char('/')))
        browser.FileName.chop(1);
    m_initialFolder = bufferrules::SplitPath(browser.FileName).folder;
    m_filePath = browser.FileName;
    SetCompactPathText(FileNameText, this, m_filePath);
    EnableSaveOptions(true);
    SaveFileAs_Click();
    SetFullRange();
}

void frmBufferSave::Save(qint16 command)
{
    if (command != 3 && !m_filePath.isEmpty()) {
        SaveBufferToFile(command);
        return;
    }
    Browse_Click();
    if (!gMainForm->dlgCommonDialog.FileName.isEmpty())
        Ui().ShowModal(this);
}

void frmBufferSave::OKButton_Click()
{
    SaveBufferToFile(0);
}

void frmBufferSave::CancelButton_Click()
{
    reject();
}

qint32 frmBufferSave::ReadAddress(const QLineEdit* box) const
{
    if (HexadecimalButton->isChecked())
        return HexTextToLong(QStringLiteral("&H0") + box->text());
    return qint32(box->text().toLongLong());
}

void frmBufferSave::SaveBufferToFile(qint16 command)
{
    const auto fileNameError = [](const QString& text) {
        Ui().MsgBox(text, vb::vbOKOnly | vb::vbCritical, QStringLiteral("File Name Error"));
    };
    if (m_filePath.isEmpty()) {
        fileNameError(QStringLiteral("You must specify a file name!"));
        return;
    }
    const bufferrules::FileLocation location = bufferrules::SplitPath(m_filePath);
    if (!QDir(location.folder).exists() && !CreateDirectoryPath(location.folder)) {
        fileNameError(QStringLiteral("You must specify a valid path!"));
        return;
    }
    qint32 low = ReadAddress(LowAddrSave);
    qint32 high = ReadAddress(HighAddrSave);
    const bool entire = SaveEntireBuf->checkState() != Qt::Unchecked;
    if (!entire && low > high) {
        Ui().MsgBox(QStringLiteral("Lowest address is larger than Highest address!\nPlease check your configuration!"),
                    vb::vbOKOnly | vb::vbCritical, QStringLiteral("Configuration Error"));
        LowAddrSave->setFocus();
        return;
    }
    if (command != 2 && QFileInfo::exists(m_filePath) && !m_overwriteConfirmed
        && Ui().MsgBox(QStringLiteral("Do you want to overwrite the existing file?"), vb::vbYesNo | vb::vbQuestion,
                       App())
            == vb::vbNo)
        return;
    const bool word = WordAddrSize->isChecked();
    Try([&] { engine().WordAddressing(word); });

    // The selected entry carries the engine's code of its file type.
    const qint32 type = SelectedFileType();
    ProgrammerClass& d = data();
    qint32 result = 0;
    QString reason;
    try {
        QString path = m_filePath;
        if (engine().FileTypeTakesRange(type)) {
            d.lngLowAddrSave = low;
            d.lngHighAddrSave = high;
            // The boxes hold buffer addresses in bytes; with word addressing
            // the engine counts the file's addresses in words, so the range
            // goes as the words that hold those bytes.
            const bool words = word && bufferrules::TakesAddressSize(type);
            qint32 first = words ? qint32(quint32(low) / 2) : low;
            qint32 last = words ? qint32(quint32(high) / 2) : high;
            result = engine().SaveDataFileRange(path, type, entire, first, last);
        } else {
            result = engine().SaveDataFile(path, type);
        }
        if (result != 0)
            reason = Ask([&] { return engine().ErrorMessageText(result); }, QString());
    } catch (const AutomationError& error) {
        result = error.Number() != 0 ? error.Number() : -1;
        reason = error.Description();
    }
    const bool saved = result == 0;
    if (!saved) {
        Ui().MsgBox(QStringLiteral("    Error Saving the File!      "), vb::vbOKOnly | vb::vbCritical,
                    QStringLiteral("File Saving"));
        if (!reason.isEmpty())
            gMainForm->frmP->AddStatusTextLine(reason);
    }
    // A file that was not written is not recorded, and the buffer stays
    // unsaved.
    if (saved) {
        d.strFileDrive = location.drive;
        d.strFileName = location.name;
        d.strDisplayedFileName = location.name;
        d.strFilePath = location.folder;
    }
    d.blnSaveEntireContents = entire;
    const qint32 radix = DecimalButton->isChecked() ? 0 : 1;
    Try([&] { engine().DisplayRadix(radix); });
    d.udtRadix = radix;
    if (saved)
        gMainForm->frmP->bBufferDirty = false;
    accept();
}
