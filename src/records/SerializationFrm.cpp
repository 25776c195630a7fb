#include "SerializationFrm.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "platform/AutomationError.h"
#include "platform/CaptionFit.h"
#include "platform/EngineCall.h"
#include "platform/Twips.h"
#include "platform/UiService.h"
#include "shell/ShellUtilities.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using enginecall::Ask;
using enginecall::Try;

namespace {

SerializationFrm::Host* gHost = nullptr;

constexpr qint32 kFullHeight = 7000;
constexpr qint32 kFullWidth = 6525;
constexpr qint32 kNoneHeight = 1900;

// The window ends a margin below its lowest control, as designed.
void KeepRoomBelowControls(QWidget* window)
{
    constexpr int kMargin = 8;
    int lowest = 0;
    for (const QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(window))
            lowest = std::max(lowest, w->geometry().bottom() + 1);
    }
    if (lowest + kMargin > window->height())
        window->setFixedHeight(lowest + kMargin);
}

// A frame's first row stands where the design put it, on the frame's title
// line at a Linux desktop's font: the frame's controls move down to below
// the title, the frame grows by as much, and what stands below the frame in
// its parent moves down with it. Inner frames first, so that the outer
// frame grows to hold them. Done once, a second pass changes nothing.
void KeepControlsInsideFrames(QWidget* parent)
{
    for (QGroupBox* frame : parent->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        KeepControlsInsideFrames(frame);
        QStyleOptionGroupBox o;
        o.initFrom(frame);
        o.text = frame->title();
        o.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const int contentsTop =
            frame->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxContents, frame).top();
        const QList<QWidget*> controls = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        int highest = frame->height();
        for (const QWidget* w : controls)
            highest = std::min(highest, w->y());
        const int delta = contentsTop + 2 - highest;
        if (controls.isEmpty() || delta <= 0)
            continue;
        const int bottom = frame->geometry().bottom();
        for (QWidget* w : controls)
            w->move(w->x(), w->y() + delta);
        frame->resize(frame->width(), frame->height() + delta);
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w != frame && w->y() > bottom)
                w->move(w->x(), w->y() + delta);
        }
    }
}

qint16 CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void SetCheckValue(QCheckBox* box, qint16 value)
{
    const QSignalBlocker block(box);
    box->setCheckState(value == 2 ? Qt::PartiallyChecked : value != 0 ? Qt::Checked : Qt::Unchecked);
}

// A check value from the engine: anything other than 0 shows as ticked.
qint16 CheckFromEngine(qint32 value)
{
    return value != 0 ? 1 : 0;
}

QString Lines(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromLatin1(line);
    return list.join(QStringLiteral("\r\n"));
}

} // namespace

SerializationFrm& SerializationFrm::Default()
{
    static SerializationFrm* instance = new SerializationFrm;
    return *instance;
}

void SerializationFrm::SetHost(Host* host)
{
    gHost = host;
}

SerializationFrm::SerializationFrm(QWidget* parent)
    : QDialog(parent)
{
    CreateControls();
}

SerializationFrm::~SerializationFrm() = default;

SerializationFrm::Host& SerializationFrm::TheHost() const
{
    if (!gHost)
        throw AutomationError(91, QStringLiteral("Tarvo"),
                              QStringLiteral("Object variable or With block variable not set"));
    return *gHost;
}

QXPgmrControl& SerializationFrm::Engine() const
{
    return TheHost().Engine();
}

// --- geometry in twips ---

void SerializationFrm::Place(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height)
{
    control->setGeometry(twips::ToPixels(left), twips::ToPixels(top), twips::ToPixels(width), twips::ToPixels(height));
}

qint32 SerializationFrm::Top(const QWidget* control)
{
    return twips::FromPixels(control->y());
}
qint32 SerializationFrm::Left(const QWidget* control)
{
    return twips::FromPixels(control->x());
}
qint32 SerializationFrm::Height(const QWidget* control)
{
    return twips::FromPixels(control->height());
}

void SerializationFrm::ResizeTwips(qint32 width, qint32 height)
{
    setFixedSize(twips::ToPixels(width), twips::ToPixels(height));
}

qint32 SerializationFrm::HeightTwips() const
{
    return twips::FromPixels(height());
}
qint32 SerializationFrm::WidthTwips() const
{
    return twips::FromPixels(width());
}

// --- controls ---

void SerializationFrm::CreateControls()
{
    setObjectName(QStringLiteral("SerializationFrm"));
    setWindowTitle(QStringLiteral("Serialization"));
    const auto named = [](QWidget* w, const char* name, const char* tip = nullptr) {
        w->setObjectName(QString::fromLatin1(name));
        if (tip)
            w->setToolTip(QString::fromLatin1(tip));
    };

    Frame1 = new QGroupBox(QStringLiteral("Serialization Type"), this);
    named(Frame1, "Frame1");
    None = new QRadioButton(QStringLiteral("None"), Frame1);
    named(None, "None", "Do not serialize devices.");
    SimpleRadio = new QRadioButton(QStringLiteral("Simple"), Frame1);
    named(SimpleRadio, "SimpleRadio", "Serialize devices using sequential serial numbers.");
    ComplexRadio = new QRadioButton(QStringLiteral("Complex"), Frame1);
    named(ComplexRadio, "ComplexRadio", "Serialize devices using a custom serialization program (.exe).");
    m_typeGroup = new QButtonGroup(this);
    for (QRadioButton* option : {None, SimpleRadio, ComplexRadio})
        m_typeGroup->addButton(option);

    oSerializationFilesFrame = new QGroupBox(QStringLiteral("Files"), this);
    named(oSerializationFilesFrame, "oSerializationFilesFrame");
    SerialDataFileLabel = new QLabel(QStringLiteral("Serialization Data File"), oSerializationFilesFrame);
    named(SerialDataFileLabel, "SerialDataFileLabel", "Contains information that Tarvo uses for serializing a device");
    Serial_DataFile = new QLineEdit(oSerializationFilesFrame);
    named(Serial_DataFile, "Serial_DataFile");
    BrowseDataFile = new QPushButton(QStringLiteral("Browse ..."), oSerializationFilesFrame);
    named(BrowseDataFile, "BrowseDataFile", "Look for a serialization data (.dat) file.");
    SerialLogFileLabel = new QLabel(QStringLiteral("Serializaton Log File"), oSerializationFilesFrame);
    named(SerialLogFileLabel, "SerialLogFileLabel",
          "Contains information of all serial numbers processed for the current job");
    SerialLogFile = new QLineEdit(oSerializationFilesFrame);
    named(SerialLogFile, "SerialLogFile", "Specify the location and name of the log file.");
    BrowseLogFile = new QPushButton(QStringLiteral("Browse ..."), oSerializationFilesFrame);
    named(BrowseLogFile, "BrowseLogFile", "Look for a serialization log (.log) file..");

    Actions = new QGroupBox(QStringLiteral("Actions"), this);
    named(Actions, "Actions");
    VerifySerNum = new QCheckBox(QStringLiteral("Verify Serial Number"), Actions);
    named(VerifySerNum, "VerifySerNum");
    Attempt_Retry = new QCheckBox(QStringLiteral("Attempt Retry of Failed Serial Numbers"), Actions);
    named(Attempt_Retry, "Attempt_Retry");

    SimpleFrame = new QGroupBox(QStringLiteral("Simple Serialization"), this);
    named(SimpleFrame, "SimpleFrame");
    Frame2 = new QGroupBox(QStringLiteral("Display Format"), SimpleFrame);
    named(Frame2, "Frame2", "Select how serial numbers and addresses will be displayed and interpeted.");
    optHex = new QRadioButton(QStringLiteral("Hex"), Frame2);
    named(optHex, "optHex");
    optDec = new QRadioButton(QStringLiteral("Decimal"), Frame2);
    named(optDec, "optDec");
    m_radixGroup = new QButtonGroup(this);
    m_radixGroup->addButton(optHex);
    m_radixGroup->addButton(optDec);
    Label1 = new QLabel(QStringLiteral("Buffer Address for Serial Number"), SimpleFrame);
    named(Label1, "Label1");
    Buffer_Address = new QLineEdit(SimpleFrame);
    named(Buffer_Address, "Buffer_Address", "Specify the buffer address for the first byte of the serial number.");
    Label5 = new QLabel(QStringLiteral("Serial Number Size"), SimpleFrame);
    named(Label5, "Label5", "Select how many bytes (1-6) will be reserved for the serial number in the device. ");
    SerialNumSizeCombo = new QComboBox(SimpleFrame);
    named(SerialNumSizeCombo, "SerialNumSizeCombo",
          "If the size is too small for the serial number, the serial number will be truncated.");
    Label6 = new QLabel(QStringLiteral("Buffer Bytes to Skip"), SimpleFrame);
    named(Label6, "Label6", "Select how a serial number will be written into the buffer.");
    Bytes2SkipCombo = new QComboBox(SimpleFrame);
    named(Bytes2SkipCombo, "Bytes2SkipCombo",
          "Select EVERY OTHER for the serial number to be placed in only even (low) or only odd (high) bytes in the "
          "buffer.");
    Label7 = new QLabel(QStringLiteral("Byte Order"), SimpleFrame);
    named(Label7, "Label7", "Specify how the serial number will be written to the address location. ");
    ByteOrderCombo = new QComboBox(SimpleFrame);
    named(ByteOrderCombo, "ByteOrderCombo",
          "REVERSE means the least significant byte (LSB) comes first. FORWARD means the most significant byte (MSB) "
          "comes first.");

    ComplexFrame = new QGroupBox(QStringLiteral("Complex Serialization"), this);
    named(ComplexFrame, "ComplexFrame");
    Label2 = new QLabel(QStringLiteral("Serialization Program"), ComplexFrame);
    named(Label2, "Label2", "The custom serialization program that creates and updates the serialization data file.");
    SerializeProgram = new QLineEdit(ComplexFrame);
    named(SerializeProgram, "SerializeProgram",
          "Specify the location and name of the executable file (.exe) and any command line parameters. ");
    BrowseSerialProgram = new QPushButton(QStringLiteral("Browse ..."), ComplexFrame);
    named(BrowseSerialProgram, "BrowseSerialProgram", "Look for a serialization program (.exe) file.");
    lblFirstSerNum = new QLabel(QStringLiteral("First Serial Number"), ComplexFrame);
    named(lblFirstSerNum, "lblFirstSerNum");
    First_Ser_Num = new QLineEdit(ComplexFrame);
    named(First_Ser_Num, "First_Ser_Num", "Specify a starting serial number.");
    chkResumeSn = new QCheckBox(QStringLiteral("Resume from last serial number in data file"), ComplexFrame);
    named(chkResumeSn, "chkResumeSn",
          "When starting a job, the first serial number will come from the specified data file.");
    Label9 = new QLabel(QStringLiteral("Last Serial Number"), ComplexFrame);
    named(Label9, "Label9");
    Last_Ser_Num = new QLineEdit(ComplexFrame);
    named(Last_Ser_Num, "Last_Ser_Num", "Specify the ending serial number.");

    oStaplSerializationIndexRangeFrame = new QGroupBox(QStringLiteral("Index Range"), this);
    named(oStaplSerializationIndexRangeFrame, "oStaplSerializationIndexRangeFrame");
    oIndexRangeLabel = new QLabel(QStringLiteral("Index Numbers:"), oStaplSerializationIndexRangeFrame);
    named(oIndexRangeLabel, "oIndexRangeLabel");
    oIndexRange = new QLineEdit(oStaplSerializationIndexRangeFrame);
    named(oIndexRange, "oIndexRange");
    oIndexRangeLabel2 =
        new QLabel(QStringLiteral("Enter index numbers and/or index ranges seperated by commas. For example, 1,3,5-12"),
                   oStaplSerializationIndexRangeFrame);
    named(oIndexRangeLabel2, "oIndexRangeLabel2");
    oIndexRangeLabel2->setWordWrap(true);

    OK = new QPushButton(QStringLiteral("OK"), this);
    named(OK, "OK");
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    named(Cancel, "Cancel");
    OK2 = new QPushButton(QStringLiteral("OK"), this);
    named(OK2, "OK2");
    Cancel2 = new QPushButton(QStringLiteral("Cancel"), this);
    named(Cancel2, "Cancel2");

    for (QPlainTextEdit** tip : {&txtVerifySerialNumberTip, &txtAttemptRetryTip, &txtSerialDataFileTip}) {
        *tip = new QPlainTextEdit(this);
        (*tip)->setReadOnly(true);
        (*tip)->setFocusPolicy(Qt::NoFocus);
        QPalette palette = (*tip)->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
        palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
        (*tip)->setPalette(palette);
        (*tip)->hide();
    }
    named(txtVerifySerialNumberTip, "txtVerifySerialNumberTip");
    named(txtAttemptRetryTip, "txtAttemptRetryTip");
    named(txtSerialDataFileTip, "txtSerialDataFileTip");

    // Mirrors between the boxes and the members the engine call uses.
    connect(Serial_DataFile, &QLineEdit::textChanged, this,
            [this] { TextChanged(Serial_DataFile, sSerialDataFile, &bBrowsingDataFile); });
    connect(SerialLogFile, &QLineEdit::textChanged, this,
            [this] { TextChanged(SerialLogFile, sSerialLogFile, &bBrowsingLogFile); });
    connect(SerializeProgram, &QLineEdit::textChanged, this,
            [this] { TextChanged(SerializeProgram, sSerialProgram, &bBrowsingProgram); });
    connect(First_Ser_Num, &QLineEdit::textChanged, this,
            [this] { TextChanged(First_Ser_Num, sFirstSerNum, nullptr); });
    connect(oIndexRange, &QLineEdit::textChanged, this, [this] { TextChanged(oIndexRange, sFirstSerNum, nullptr); });
    connect(Last_Ser_Num, &QLineEdit::textChanged, this, [this] { TextChanged(Last_Ser_Num, sLastSerNum, nullptr); });
    connect(VerifySerNum, &QCheckBox::clicked, this, [this] { VerifySerNum_Click(); });
    connect(Attempt_Retry, &QCheckBox::clicked, this, [this] { CheckClicked(Attempt_Retry, iAttemptRetry); });
    connect(chkResumeSn, &QCheckBox::clicked, this, [this] { chkResumeSn_Click(); });
    connect(ByteOrderCombo, &QComboBox::activated, this, [this](int index) { iByteOrder = qint16(index); });
    connect(Bytes2SkipCombo, &QComboBox::activated, this, [this](int index) { lBytesToSkip = index; });
    connect(optHex, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optHex_Click();
    });
    connect(optDec, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optDec_Click();
    });
    connect(None, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            None_Click();
    });
    connect(SimpleRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SimpleRadio_Click();
    });
    connect(ComplexRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ComplexRadio_Click();
    });
    connect(OK, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(OK2, &QPushButton::clicked, this, [this] { OK2_Click(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Cancel_Click(); });
    connect(Cancel2, &QPushButton::clicked, this, [this] { Cancel2_Click(); });
    connect(BrowseDataFile, &QPushButton::clicked, this, [this] { BrowseDataFile_Click(); });
    connect(BrowseLogFile, &QPushButton::clicked, this, [this] { BrowseLogFile_Click(); });
    connect(BrowseSerialProgram, &QPushButton::clicked, this, [this] { BrowseSerialProgram_Click(); });

    for (QWidget* watched :
         std::initializer_list<QWidget*>{VerifySerNum, Attempt_Retry, Serial_DataFile, SerialDataFileLabel,
                                         BrowseDataFile, SerialLogFileLabel, SerialLogFile, BrowseLogFile})
        watched->installEventFilter(this);
    setMouseTracking(true);
}

void SerializationFrm::InitializeControls()
{
    // Positions of the full layout; the layouts move and hide from here.
    Place(Frame1, 240, 120, 5895, 855);
    Place(None, 360, 360, 1000, 300);
    Place(SimpleRadio, 2400, 360, 1100, 300);
    Place(ComplexRadio, 4560, 360, 1200, 300);
    Place(oSerializationFilesFrame, 240, 1080, 5895, 1335);
    Place(SerialDataFileLabel, 120, 240, 2400, 255);
    Place(Serial_DataFile, 120, 480, 4335, 315);
    Place(BrowseDataFile, 4560, 480, 1215, 315);
    Place(SerialLogFileLabel, 120, 780, 2400, 255);
    Place(SerialLogFile, 120, 1020, 4335, 285);
    Place(BrowseLogFile, 4560, 1020, 1215, 285);
    Place(Actions, 240, 2520, 5895, 615);
    Place(VerifySerNum, 240, 240, 2055, 300);
    Place(Attempt_Retry, 2400, 240, 3375, 300);
    Place(SimpleFrame, 240, 3240, 5895, 2655);
    Place(Frame2, 3840, 240, 1935, 855);
    Place(optHex, 120, 240, 900, 255);
    Place(optDec, 120, 520, 1200, 255);
    Place(Label1, 120, 240, 3000, 255);
    Place(Buffer_Address, 120, 480, 2175, 315);
    Place(Label5, 120, 960, 2175, 255);
    Place(SerialNumSizeCombo, 120, 1200, 2175, 315);
    Place(Label6, 120, 1680, 2175, 255);
    Place(Bytes2SkipCombo, 120, 1920, 2175, 315);
    Place(Label7, 3840, 1680, 1935, 255);
    Place(ByteOrderCombo, 3840, 1920, 1935, 315);
    Place(ComplexFrame, 240, 3240, 5895, 2655);
    Place(Label2, 120, 240, 3000, 255);
    Place(SerializeProgram, 120, 480, 4335, 315);
    Place(BrowseSerialProgram, 4560, 480, 1215, 315);
    Place(lblFirstSerNum, 120, 960, 2175, 255);
    Place(First_Ser_Num, 120, 1200, 2175, 315);
    Place(chkResumeSn, 2400, 1200, 3375, 315);
    Place(Label9, 120, 1680, 2175, 255);
    Place(Last_Ser_Num, 120, 1920, 2175, 315);
    Place(oStaplSerializationIndexRangeFrame, 240, 3240, 5895, 1215);
    Place(oIndexRangeLabel, 120, 240, 1335, 255);
    Place(oIndexRange, 1440, 240, 4335, 315);
    Place(oIndexRangeLabel2, 120, 600, 5655, 495);
    Place(OK, 3480, 6120, 1215, 375);
    Place(Cancel, 4800, 6120, 1215, 375);
    Place(OK2, 4320, 240, 975, 375);
    Place(Cancel2, 5400, 240, 975, 375);
    ResizeTwips(kFullWidth, kFullHeight);

    // Tab order, every one a tab stop.
    const QList<QWidget*> order = {
        None,           SimpleRadio,  ComplexRadio,  Serial_DataFile,  BrowseDataFile,      SerialLogFile,
        BrowseLogFile,  VerifySerNum, Attempt_Retry, Buffer_Address,   SerialNumSizeCombo,  Bytes2SkipCombo,
        ByteOrderCombo, optDec,       optHex,        SerializeProgram, BrowseSerialProgram, First_Ser_Num,
        chkResumeSn,    Last_Ser_Num};
    for (QWidget* control : order)
        control->setFocusPolicy(Qt::StrongFocus);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    Serial_DataFile->setMaxLength(259);
    SerialLogFile->setMaxLength(255);
    Buffer_Address->setMaxLength(10);
    SerializeProgram->setMaxLength(259);
    First_Ser_Num->setMaxLength(32);
    Last_Ser_Num->setMaxLength(32);

    bLoading = true;
    oStaplSerializationIndexRangeFrame->hide();
    Attempt_Retry->setEnabled(true);
    VerifySerNum->setEnabled(true);
    VerifySerNum->show();
    Frame1->show();
    for (QPlainTextEdit* tip : {txtVerifySerialNumberTip, txtAttemptRetryTip, txtSerialDataFileTip}) {
        tip->hide();
        tip->raise();
    }
    // A fresh load has no type chosen.
    m_typeGroup->setExclusive(false);
    for (QAbstractButton* option : m_typeGroup->buttons()) {
        const QSignalBlocker block(option);
        option->setChecked(false);
    }
    m_typeGroup->setExclusive(true);
    IsConcurrent = Ask([&] { return Engine().IsConcurrentProgrammer(); }, false);
}

// --- loading and unloading ---

void SerializationFrm::EnsureLoaded()
{
    if (!m_loaded)
        Form_Load();
}

void SerializationFrm::Form_Load()
{
    m_loaded = true;
    InitializeControls();
    QXPgmrControl& e = Engine();

    sSerialDataFile = Ask([&] { return e.SerialDataFilePath(); }, QString());
    Serial_DataFile->setText(sSerialDataFile);
    // A programmer that is not concurrent keeps the log path of the last closing.
    if (IsConcurrent)
        sSerialLogFile = Ask([&] { return e.SerialLogFilePath(); }, QString());
    SerialLogFile->setText(sSerialLogFile);

    iVerifySerNum = Ask([&] { return e.SerialVerifyEnabled(); }, false) ? 1 : 0;
    SetCheckValue(VerifySerNum, iVerifySerNum);
    iAttemptRetry = CheckFromEngine(Ask([&] { return e.SerializationField241(); }, qint32(0)));
    SetCheckValue(Attempt_Retry, iAttemptRetry);

    Buffer_Address->setText(QStringLiteral("0"));
    lBytesToSkip = CheckFromEngine(Ask([&] { return e.SerializationField239(); }, qint32(0)));
    iByteOrder = CheckFromEngine(Ask([&] { return e.SerializationField240(); }, qint32(0)));
    iHexDisplay = CheckFromEngine(Ask([&] { return e.SerializationField242(); }, qint32(0)));
    const QVariant address = Ask([&] { return e.SerializationField237(); }, QVariant(0));
    {
        const QSignalBlocker blockHex(optHex), blockDec(optDec);
        if (iHexDisplay != 0) {
            optHex->setChecked(true);
            bool numeric = false;
            const qint64 value = address.toLongLong(&numeric);
            Buffer_Address->setText(numeric ? QString::number(quint32(value), 16).toUpper() : address.toString());
        } else {
            optDec->setChecked(true);
            Buffer_Address->setText(address.toString());
        }
    }
    Bytes2SkipCombo->clear();
    Bytes2SkipCombo->addItems({QStringLiteral("None"), QStringLiteral("Every Other")});
    ByteOrderCombo->clear();
    ByteOrderCombo->addItems({QStringLiteral("Reverse"), QStringLiteral("Forward")});
    SerialNumSizeCombo->clear();
    SerialNumSizeCombo->addItem(QStringLiteral("1 Byte"));
    for (int n = 2; n <= 6; ++n)
        SerialNumSizeCombo->addItem(QStringLiteral("%1 Bytes").arg(n));
    Bytes2SkipCombo->setCurrentIndex(int(lBytesToSkip));
    ByteOrderCombo->setCurrentIndex(iByteOrder);
    // The list shows sizes 1 to 6 only: an engine value outside is clamped.
    const qint32 size = Ask([&] { return e.SerializationField238(); }, qint32(0));
    SerialNumSizeCombo->setCurrentIndex(std::clamp(size, 1, 6) - 1);

    sSerialProgram = Ask([&] { return e.SerializationField236(); }, QString());
    SerializeProgram->setText(sSerialProgram);
    iResumeSn = CheckFromEngine(Ask([&] { return e.SerializationField243(); }, qint32(0)));
    SetCheckValue(chkResumeSn, iResumeSn);
    ApplyResumeState();
    sFirstSerNum = Ask([&] { return e.SerializationField234(); }, QString());
    First_Ser_Num->setText(sFirstSerNum);
    oIndexRange->setText(sFirstSerNum);
    sLastSerNum = Ask([&] { return e.SerializationField235(); }, QString());
    Last_Ser_Num->setText(sLastSerNum);
    bLoading = false;

    if (Ask([&] { return e.DeviceSupportsStaplSerialization(); }, false)) {
        iSerializationMode = 4;
        StaplSerialization();
    }
    if (SimpleRadio->isChecked())
        iSerializationMode = IsConcurrent ? 1 : 0;
    if (ComplexRadio->isChecked())
        iSerializationMode = IsConcurrent ? 3 : 2;
}

void SerializationFrm::Unload()
{
    hide();
    m_loaded = false;
}

void SerializationFrm::SelectOption(QRadioButton* option)
{
    EnsureLoaded();
    if (option->isChecked())
        return;
    option->setChecked(true);
}

int SerializationFrm::ShowDialog()
{
    EnsureLoaded();
    const int result = Ui().ShowModal(this);
    Unload();
    return result;
}

void SerializationFrm::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    m_loaded = false;
}

// --- mirrors ---

void SerializationFrm::TextChanged(QLineEdit* box, QString& member, const bool* browsing)
{
    if (bLoading || (browsing && *browsing)) {
        if (box->text() != member)
            box->setText(member);
        return;
    }
    member = box->text();
}

void SerializationFrm::CheckClicked(QCheckBox* box, qint16& member)
{
    // A click toggles between clear and ticked; greyed is only ever set here.
    if (box->checkState() == Qt::PartiallyChecked)
        SetCheckValue(box, 1);
    if (bLoading)
        SetCheckValue(box, member);
    else
        member = CheckValue(box);
}

bool SerializationFrm::QuantityAboveOne() const
{
    bool numeric = false;
    const double quantity = gHost ? gHost->QuantityText().trimmed().toDouble(&numeric) : 0;
    return numeric && quantity > 1;
}

void SerializationFrm::VerifySerNum_Click()
{
    if (VerifySerNum->checkState() == Qt::PartiallyChecked)
        SetCheckValue(VerifySerNum, 1);
    if (bLoading) {
        SetCheckValue(VerifySerNum, iVerifySerNum);
        return;
    }
    // Several devices at once on a concurrent programmer: always verified.
    if (IsConcurrent && QuantityAboveOne())
        SetCheckValue(VerifySerNum, 2);
    iVerifySerNum = CheckValue(VerifySerNum);
}

void SerializationFrm::chkResumeSn_Click()
{
    CheckClicked(chkResumeSn, iResumeSn);
    ApplyResumeState();
}

void SerializationFrm::ApplyResumeState()
{
    const bool resume = CheckValue(chkResumeSn) != 0;
    First_Ser_Num->setEnabled(!resume);
    if (resume) {
        QPalette palette = First_Ser_Num->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Disabled, QPalette::Text));
        First_Ser_Num->setPalette(palette);
    } else {
        First_Ser_Num->setPalette(QPalette());
    }
}

// --- address radix ---

void SerializationFrm::optHex_Click()
{
    if (bLoading || m_restoringRadix)
        return;
    iHexDisplay = 1;
    ConvertAddressRadix(true);
}

void SerializationFrm::optDec_Click()
{
    if (bLoading || m_restoringRadix)
        return;
    iHexDisplay = 0;
    ConvertAddressRadix(false);
}

bool SerializationFrm::ConvertAddressRadix(bool toHex)
{
    const QString text = Buffer_Address->text().trimmed();
    if (text.isEmpty())
        return true;
    bool converted = false;
    if (toHex) {
        const qint32 value = text.toInt(&converted, 10);
        if (converted) {
            Buffer_Address->setText(QString::number(quint32(value), 16).toUpper());
        } else {
            AppMsgBox(QStringLiteral("Illegal character! Please check the settings."), vb::vbCritical,
                      QStringLiteral("Radix"));
        }
    } else {
        static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
        converted = hexDigits.match(text).hasMatch();
        // HexTextToLong tells the operator itself when the text is not hexadecimal.
        const qint32 value = HexTextToLong(QStringLiteral("&H") + text);
        if (converted)
            Buffer_Address->setText(QString::number(value));
    }
    if (converted)
        return true;
    // The address keeps its radix: the option goes back with it.
    m_restoringRadix = true;
    (toHex ? optDec : optHex)->setChecked(true);
    m_restoringRadix = false;
    iHexDisplay = toHex ? 0 : 1;
    Buffer_Address->setFocus();
    const int caret = Buffer_Address->cursorPosition();
    Buffer_Address->setSelection(caret, -caret);
    return false;
}

// --- layouts ---

void SerializationFrm::SetOptionFrame(qint32 left, qint32 width, qint32 noneLeft, qint32 simpleLeft, qint32 complexLeft)
{
    Frame1->show();
    Place(Frame1, left, 120, width, 855);
    Place(None, noneLeft, 360, 1000, 300);
    Place(SimpleRadio, simpleLeft, 360, 1100, 300);
    Place(ComplexRadio, complexLeft, 360, 1200, 300);
}

void SerializationFrm::None_Click()
{
    SetOptionFrame(360, 3735, 360, 1440, 2640);
    ResizeTwips(WidthTwips(), kNoneHeight);
    OK2->show();
    Cancel2->show();
    Cancel2->setAutoDefault(false);
    OK->hide();
    Cancel->hide();
    // Nothing of the files is chosen without serialization: the frame would
    // only stand cut off at the window's edge.
    oSerializationFilesFrame->hide();
    SerialDataFileLabel->hide();
    Serial_DataFile->hide();
    BrowseDataFile->hide();
    SerialLogFileLabel->hide();
    SerialLogFile->hide();
    Actions->hide();
    SimpleFrame->hide();
    ComplexFrame->hide();
    oStaplSerializationIndexRangeFrame->hide();
    captionfit::FitCaptions(this);
}

void SerializationFrm::SimpleOrComplexLayout(bool complex)
{
    SetOptionFrame(240, 5895, 360, 2400, 4560);
    ResizeTwips(kFullWidth, kFullHeight);
    OK2->hide();
    Cancel2->hide();
    OK->show();
    Cancel->show();
    oSerializationFilesFrame->show();
    for (QWidget* w : std::initializer_list<QWidget*>{SerialDataFileLabel, Serial_DataFile, BrowseDataFile,
                                                      SerialLogFileLabel, SerialLogFile, BrowseLogFile})
        w->show();
    BrowseDataFile->setEnabled(true);
    // Only a concurrent programmer keeps a serialization log.
    for (QWidget* w : std::initializer_list<QWidget*>{SerialLogFileLabel, SerialLogFile, BrowseLogFile})
        w->setEnabled(IsConcurrent);
    Actions->show();
    SimpleFrame->setVisible(!complex);
    ComplexFrame->setVisible(complex);
    oStaplSerializationIndexRangeFrame->hide();
    KeepControlsInsideFrames(this);
    captionfit::FitCaptions(this);
    KeepRoomBelowControls(this);
}

void SerializationFrm::SimpleRadio_Click()
{
    SimpleOrComplexLayout(false);
    iSerializationMode = IsConcurrent ? 1 : 0;
    VerifySerNum_Click();
}

void SerializationFrm::ComplexRadio_Click()
{
    if (IsConcurrent && QuantityAboveOne())
        SetCheckValue(VerifySerNum, 1);
    SimpleOrComplexLayout(true);
    iSerializationMode = IsConcurrent ? 3 : 2;
    VerifySerNum_Click();
}

void SerializationFrm::StaplSerialization()
{
    m_typeGroup->setExclusive(false);
    for (QAbstractButton* option : m_typeGroup->buttons()) {
        const QSignalBlocker block(option);
        option->setChecked(false);
    }
    m_typeGroup->setExclusive(true);
    VerifySerNum->setEnabled(false);
    VerifySerNum->hide();
    Frame1->hide();
    OK2->hide();
    Cancel2->hide();
    SimpleFrame->hide();
    ComplexFrame->hide();
    oStaplSerializationIndexRangeFrame->show();
    oSerializationFilesFrame->show();
    for (QWidget* w : std::initializer_list<QWidget*>{SerialDataFileLabel, Serial_DataFile, BrowseDataFile,
                                                      SerialLogFileLabel, SerialLogFile, BrowseLogFile}) {
        w->show();
        w->setEnabled(true);
    }
    Actions->show();
    OK->show();
    Cancel->show();
    iSerialNumSize = 1;
    iVerifySerNum = 0;
    ArrangeStaplLayout();
}

void SerializationFrm::ArrangeStaplLayout()
{
    Attempt_Retry->move(VerifySerNum->x(), Attempt_Retry->y());
    const qint32 d = Height(ComplexFrame) + Height(Frame1) - Height(oStaplSerializationIndexRangeFrame);
    const qint32 t = Top(Frame1) + Height(Frame1);
    ResizeTwips(kFullWidth, kFullHeight - d);
    for (QWidget* w :
         std::initializer_list<QWidget*>{oSerializationFilesFrame, Actions, oStaplSerializationIndexRangeFrame})
        w->move(w->x(), twips::ToPixels(Top(w) - t));
    for (QWidget* w : std::initializer_list<QWidget*>{OK, Cancel})
        w->move(w->x(), twips::ToPixels(Top(w) - d));
    KeepControlsInsideFrames(this);
    captionfit::FitCaptions(this);
    KeepRoomBelowControls(this);
}

// --- browsing ---

namespace {

QString Browse(const QString& filter, const QString& folder)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filter = QtFileFilter(filter);
    request.initialDir = folder;
    return Ui().GetOpenFileName(request);
}

} // namespace

void SerializationFrm::BrowseDataFile_Click()
{
    const QString chosen =
        Browse(QStringLiteral("Data Files (*.dat)|*.dat|All Files (*.*)|*.*"), TheHost().WorkingDirectoryAtLaunch());
    if (chosen.isEmpty())
        return;
    sSerialDataFile = chosen;
    bBrowsingDataFile = true;
    TextChanged(Serial_DataFile, sSerialDataFile, &bBrowsingDataFile);
    bBrowsingDataFile = false;
}

void SerializationFrm::BrowseLogFile_Click()
{
    const QString chosen =
        Browse(QStringLiteral("Log Files (*.log)|*.log|All Files (*.*)|*.*"), TheHost().WorkingDirectoryAtLaunch());
    if (chosen.isEmpty())
        return;
    sSerialLogFile = chosen;
    bBrowsingLogFile = true;
    TextChanged(SerialLogFile, sSerialLogFile, &bBrowsingLogFile);
    bBrowsingLogFile = false;
}

void SerializationFrm::BrowseSerialProgram_Click()
{
    const QString chosen = Browse(QStringLiteral("Executable Files (*.exe)|*.exe|All Files (*.*)|*.*"),
                                  TheHost().WorkingDirectoryAtLaunch());
    if (chosen.isEmpty())
        return;
    sSerialProgram = chosen;
    bBrowsingProgram = true;
    TextChanged(SerializeProgram, sSerialProgram, &bBrowsingProgram);
    bBrowsingProgram = false;
}

// --- field tips ---

bool SerializationFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter)
        MouseOver(qobject_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void SerializationFrm::mouseMoveEvent(QMouseEvent* event)
{
    // Only the bare background: a frame or a control under the mouse has its
    // own rule (or none).
    if (!childAt(event->position().toPoint()))
        MouseOver(this);
    QDialog::mouseMoveEvent(event);
}

void SerializationFrm::MouseOver(QWidget* control)
{
    const auto show = [](QPlainTextEdit* tip, const QString& text, qint32 top, qint32 left, qint32 width,
                         qint32 height) {
        tip->setPlainText(text);
        Place(tip, left, top, width, height);
        tip->show();
        tip->raise();
    };
    if (control == VerifySerNum) {
        QString text = Lines({"When this feature is selected, the serial number will be verified during VERIFY.",
                              "Otherwise, the serial number will be skipped during VERIFY."});
        if (IsConcurrent)
            text += QStringLiteral("\r\n")
                + Lines({"NOTE: If Quantity is more", "than one, this feature is", "automatically turned ON."});
        show(txtVerifySerialNumberTip, text, 3120, 600, 1935, IsConcurrent ? 2030 : 1450);
        txtAttemptRetryTip->hide();
        txtSerialDataFileTip->hide();
    } else if (control == Attempt_Retry) {
        if (IsConcurrent)
            show(txtAttemptRetryTip,
                 Lines({"When this feature is selected, the system", "will store the serial numbers written into",
                        "devices that failed programming. After", "all of the serial numbers have been",
                        "written into devices, both passed and", "failed, the system will attempt to reuse",
                        "those serial numbers."}),
                 3120, 3240, 3015, 1455);
        else
            show(txtAttemptRetryTip,
                 Lines({"When this feature is selected, the serial", "number on a device that fails",
                        "programming will be programmed into", "the next device."}),
                 3120, 3240, 3015, 850);
        txtVerifySerialNumberTip->hide();
        txtSerialDataFileTip->hide();
    } else if (control == Serial_DataFile) {
        const bool complex = iSerializationMode == 2 || iSerializationMode == 3;
        QString text = QStringLiteral("Specify the location and name of the data file.");
        if (complex)
            text += QStringLiteral("\r\n")
                + Lines({"IMPORTANT: This file location/name must match the",
                         "location/name of the specified data file in the custom", "serialization program."});
        show(txtSerialDataFileTip, text, 2060, 1080, complex ? 3975 : 3475, complex ? 855 : 285);
    } else if (control == SerialDataFileLabel || control == BrowseDataFile || control == SerialLogFileLabel
               || control == SerialLogFile || control == BrowseLogFile) {
        txtSerialDataFileTip->hide();
    } else if (control == this) {
        for (QPlainTextEdit* tip : {txtVerifySerialNumberTip, txtAttemptRetryTip, txtSerialDataFileTip})
            tip->hide();
    }
}

// --- OK, OK2, Cancel ---

void SerializationFrm::ErrorBox(const QString& text, QWidget* focus, bool empty)
{
    AppMsgBox(text, vb::vbOKOnly, QStringLiteral("Error"));
    if (auto* box = qobject_cast<QLineEdit*>(focus); box && empty)
        box->clear();
    if (focus && focus->isEnabled())
        focus->setFocus();
}

bool SerializationFrm::ValidateBufferAddress()
{
    const QString text = Buffer_Address->text();
    if (text.isEmpty()) {
        ErrorBox(QStringLiteral("Buffer address for Serial Number not specified. Please enter a value."),
                 Buffer_Address);
        return false;
    }
    QString asked = text;
    const bool valid = iHexDisplay != 0 ? Ask([&] { return Engine().IsValidHexText(asked); }, false)
                                        : Ask([&] { return Engine().IsValidDecimalText(asked); }, false);
    if (!valid) {
        ErrorBox(iHexDisplay != 0
                     ? QStringLiteral("The value entered is not a Valid Hex value, Please enter a new value.")
                     : QStringLiteral("The Value Entered is not a Valid Decimal value, Please enter a new value."),
                 Buffer_Address, true);
        return false;
    }
    return true;
}

bool SerializationFrm::ValidateDataFile()
{
    if (sSerialDataFile.trimmed().isEmpty()) {
        ErrorBox(QStringLiteral("Error, You must enter a Serialization Data File."), Serial_DataFile, true);
        return false;
    }
    sSerialDataFile = AddDefaultExtension(sSerialDataFile, QStringLiteral("dat"));
    Serial_DataFile->setText(sSerialDataFile);
    return true;
}

bool SerializationFrm::ValidateLogFile()
{
    if (sSerialLogFile.trimmed().isEmpty() && SerialLogFile->isEnabled()) {
        ErrorBox(QStringLiteral("Error, You must enter a Serialization Log File."), SerialLogFile, true);
        return false;
    }
    if (IsConcurrent) {
        sSerialLogFile = AddDefaultExtension(sSerialLogFile, QStringLiteral("log"));
        SerialLogFile->setText(sSerialLogFile);
    }
    return true;
}

bool SerializationFrm::ValidateComplexSettings()
{
    if (sSerialProgram.isEmpty()) {
        ErrorBox(QStringLiteral("Error, You must enter a Serialization Program File."), SerializeProgram);
        return false;
    }
    const QString trimmed = sSerialProgram.trimmed();
    const QString program = Ask([&] { return Engine().SerializationValueAt314(trimmed); }, QString());
    // A relative program path is found from the launch folder; the process's
    // own current folder is left alone.
    const QFileInfo file(QDir(TheHost().WorkingDirectoryAtLaunch()), program);
    if (program.isEmpty() || !file.isFile()) {
        ErrorBox(QStringLiteral("Error, You must enter an existing Serialization Program File."), SerializeProgram);
        return false;
    }
    if (sFirstSerNum.isEmpty() && CheckValue(chkResumeSn) == 0) {
        ErrorBox(QStringLiteral("Error, You must enter a starting serial number."), First_Ser_Num);
        return false;
    }
    if (sLastSerNum.isEmpty()) {
        ErrorBox(QStringLiteral("Error, You must enter a last serial number."), Last_Ser_Num);
        return false;
    }
    return true;
}

bool SerializationFrm::ValidateIndexRange()
{
    if (oIndexRange->text().isEmpty()) {
        ErrorBox(QStringLiteral("Error, You must enter valid index numbers and/or ranges."), oIndexRange);
        return false;
    }
    return true;
}

QString SerializationFrm::AddDefaultExtension(const QString& path, const QString& extension)
{
    // Only the file's own name counts: a "." in a folder name is no extension.
    const QString name = QFileInfo(path).fileName();
    if (name.contains(QLatin1Char('.')) && !name.endsWith(QLatin1Char('.')))
        return path;
    if (gHost)
        gHost->AddStatusTextLine(extension + QStringLiteral(" extension added to ") + path);
    return name.endsWith(QLatin1Char('.')) ? path + extension : path + QLatin1Char('.') + extension;
}

void SerializationFrm::OK_Click()
{
    const bool simple = iSerializationMode == 0 || iSerializationMode == 1;
    // The address is checked only where the operator can see and mend it.
    if (simple && !ValidateBufferAddress())
        return;
    const bool dataFile = ValidateDataFile();
    const bool logFile = ValidateLogFile();
    if (!dataFile || !logFile)
        return;
    if ((iSerializationMode == 2 || iSerializationMode == 3) && !ValidateComplexSettings())
        return;
    if (iSerializationMode == 4 && !ValidateIndexRange())
        return;
    if (simple)
        iSerialNumSize = qint16(SerialNumSizeCombo->currentIndex() + 1);

    QXPgmrControl& e = Engine();
    const QString bufferAddress = Buffer_Address->text();
    const qint16 verify = iVerifySerNum;
    qint16 result = 1;
    try {
        result =
            e.RunSerialization(iSerializationMode, qint32(iSerialNumSize), sSerialDataFile, bufferAddress, lBytesToSkip,
                               qint32(iByteOrder), qint32(verify), sSerialLogFile, qint32(iAttemptRetry), iHexDisplay,
                               sFirstSerNum, sLastSerNum, sSerialProgram, qint32(iResumeSn));
    } catch (const AutomationError& error) {
        // The engine could not take the settings: its own words, and the log.
        AppMsgBox(error.Description(), vb::vbCritical, QStringLiteral("Error"));
        WriteLogInfo(error.Description(), true);
        Unload();
        return;
    }
    if (result != 0) {
        AppMsgBox(QStringLiteral("Error in Serialization Process. Please Contact Customer Support"), vb::vbOKOnly,
                  QStringLiteral("SEVERE"));
        Unload();
        return;
    }
    Serial_DataFile->setText(Ask([&] { return e.SerialDataFilePath(); }, sSerialDataFile));
    if (IsConcurrent)
        SerialLogFile->setText(Ask([&] { return e.SerialLogFilePath(); }, sSerialLogFile));
    // The verify setting the engine was handed, not the (maybe hidden) box's.
    Try([&] { e.SerialVerifyEnabled(verify != 0); });
    Unload();
}

void SerializationFrm::OK2_Click()
{
    if (!None->isChecked())
        return;
    Try([&] { Engine().DisableSerialization(); });
    Unload();
}

void SerializationFrm::Cancel_Click()
{
    Unload();
}

void SerializationFrm::Cancel2_Click()
{
    Unload();
}
