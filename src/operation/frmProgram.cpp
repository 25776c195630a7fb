#include "frmProgram.h"

#include "ActionSettings.h"
#include "ActionTabs.h"
#include "CustomActions.h"
#include "SummaryLines.h"
#include "TabStrip.h"
#include "automation/CJobControlImpl.h"
#include "automation/CQxProgrammerData.h"
#include "device/frmDeviceConfigure.h"
#include "engine/EngineCodes.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "mainwindow/BlackBoxLog.h"
#include "mainwindow/VersionStrings.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Companion.h"
#include "platform/EngineCall.h"
#include "platform/CaptionFit.h"
#include "platform/Twips.h"
#include "platform/StationShutdown.h"
#include "platform/UiService.h"
#include "records/frmJobSummary.h"
#include "mainwindow/Station.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"
#include "shell/ShellUtilities.h"
#include "shell/StartUp.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace {

// A line longer than its box shows its start (the file's name), not its end
// where a new text leaves the cursor.
void ShowFromStart(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

using enginecall::Ask;
using enginecall::Try;

constexpr qint32 kTwipsPerPixel = twips::kPerPixel;
// The status list holds this many lines; when it is full the oldest lines
// make room, a block at a time so that a long run does not pay per line.
constexpr int kMaxStatusLines = 32000;

// The window as designed, in twips: three summary rows with their buttons at
// the top, the tab strip with the option frame over its client area, and the
// status list at the bottom.
constexpr qint32 kSummaryButtonLeft = 120;
constexpr qint32 kSummaryButtonWidth = 1215;
constexpr qint32 kSummaryTextLeft = 1440;
constexpr qint32 kSummaryRowHeight = 330;
constexpr qint32 kDeviceRowTop = 120;
constexpr qint32 kFileRowTop = 510;
constexpr qint32 kOptionsRowTop = 900;
constexpr qint32 kSetsFrameWidth = 3000;
constexpr qint32 kSetsFrameHeight = 420;
constexpr qint32 kTabLeft = 120;
constexpr qint32 kTabTop = 1320;
constexpr qint32 kTabBorder = 15;
constexpr qint32 kStatusLeft = 120;
constexpr qint32 kStatusHeight = 1005;

// Inside the option frame.
constexpr qint32 kOptionsFrameLeft = 60;
constexpr qint32 kOptionsFrameTop = 60;
constexpr qint32 kOptionsFrameWidth = 3630;
constexpr int kDesignedRows = 5;
constexpr qint32 kRowPitch = 360;
constexpr qint32 kCheckWidth = 300;
constexpr qint32 kComboLeft = 360;
constexpr qint32 kComboWidth = 3270;
constexpr qint32 kBarLeft = 120;
constexpr qint32 kBarHeight = 300;
constexpr qint32 kProgressFrameLeft = 3750;
constexpr qint32 kButtonsHeight = 450;
constexpr qint32 kActionButtonWidth = 1755;
constexpr qint32 kStopButtonLeft = 1875;
constexpr qint32 kCounterLabelHeight = 255;
constexpr qint32 kCounterValueWidth = 600;

// The captions of btnAction on the tabs whose Stop button the operator keeps.
const QStringList kStopAlwaysCaptions = {QStringLiteral("PROGRA&M"), QStringLiteral("VERIF&Y"), QStringLiteral("&TEST"),
                                         QStringLiteral("&EXECUTE"), QStringLiteral("ER&ASE")};

using appinfo::App;

qint32 TextWidthTwips(const QWidget* w, const QString& text)
{
    return w->fontMetrics().horizontalAdvance(text) * kTwipsPerPixel;
}

} // namespace

frmProgram::frmProgram(Station& station, QWidget* parent)
    : QWidget(parent),
      m_station(station)
{
    setObjectName(QStringLiteral("frmProgram"));
    CreateControls();
    UpdateMinimumSize();
    cboDatPos->installEventFilter(this);
    cboBankNum->installEventFilter(this);
    // The designed site box; the layout creates the others.
    LoadSiteBox(0);
}

frmProgram::~frmProgram() = default;

ProgrammerClass& frmProgram::pgmrData()
{
    return m_station.pgmrData();
}

bool frmProgram::HasProgrammerData() const
{
    return m_station.HasProgrammerData();
}

void frmProgram::ReleaseProgrammerData(bool save)
{
    m_station.ReleaseProgrammerData(save);
}

QXPgmrControl& frmProgram::Engine() const
{
    return m_station.QXProgrammer;
}

CSiteLayout& frmProgram::SiteLayout()
{
    if (!m_oSiteLayout) {
        CSiteLayout::Host* host = this;
        m_oSiteLayout = std::make_unique<CSiteLayout>(host);
    }
    return *m_oSiteLayout;
}

// --- controls and their twips ---

frmProgram::Twips& frmProgram::tw(QWidget* control)
{
    return m_twips[control];
}

void frmProgram::Place(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height)
{
    m_twips[control] = Twips{left, top, width, height};
    ApplyGeometry(control);
}

void frmProgram::ApplyGeometry(QWidget* control)
{
    const Twips& t = m_twips[control];
    // Edges, not sizes, are converted, so a control that ends inside its
    // parent in twips ends inside it in pixels too.
    const qint32 x = twips::ToPixels(t.left);
    const qint32 y = twips::ToPixels(t.top);
    const qint32 right = twips::ToPixels(t.left + std::max<qint32>(t.width, 0));
    const qint32 bottom = twips::ToPixels(t.top + std::max<qint32>(t.height, 0));
    control->setGeometry(x, y, std::max(right - x, 0), std::max(bottom - y, 0));
}

void frmProgram::ApplyAllGeometry()
{
    for (const auto& [control, twips] : m_twips)
        ApplyGeometry(const_cast<QWidget*>(control));
}

QRect frmProgram::TwipsGeometry(const QWidget* control) const
{
    const auto it = m_twips.find(control);
    if (it == m_twips.end())
        return {};
    const Twips& t = it->second;
    return QRect(t.left, t.top, t.width, t.height);
}

void frmProgram::CreateControls()
{
    const auto button = [](QWidget* parent, const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    const auto summaryBox = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setReadOnly(true);
        return box;
    };
    const auto frame = [](QWidget* parent, const char* name, QFrame::Shape shape) {
        auto* f = new QFrame(parent);
        f->setObjectName(QLatin1String(name));
        f->setFrameShape(shape);
        return f;
    };

    // Summary rows.
    DeviceButton = button(this, "DeviceButton", QStringLiteral("Dev&ice"));
    FileButton = button(this, "FileButton", QStringLiteral("Data Patter&n"));
    OptionsButton = button(this, "OptionsButton", QStringLiteral("Op&tions"));
    txtDevice = summaryBox("txtDevice");
    txtFile = summaryBox("txtFile");
    txtOptions = summaryBox("txtOptions");
    // The three buttons share one width: the designed one, or what the widest
    // caption needs at the window's font; the lines keep their gap to them.
    qint32 buttonWidth = kSummaryButtonWidth;
    for (QPushButton* b : {DeviceButton, FileButton, OptionsButton}) {
        b->resize(twips::ToPixels(kSummaryButtonWidth), twips::ToPixels(kSummaryRowHeight));
        buttonWidth = std::max(buttonWidth, twips::FromPixels(captionfit::NeededSize(b).width()));
    }
    const qint32 textLeft = kSummaryTextLeft + buttonWidth - kSummaryButtonWidth;
    const qint32 textWidth = kMinimumWidth - textLeft - 100;
    Place(DeviceButton, kSummaryButtonLeft, kDeviceRowTop, buttonWidth, kSummaryRowHeight);
    Place(FileButton, kSummaryButtonLeft, kFileRowTop, buttonWidth, kSummaryRowHeight);
    Place(OptionsButton, kSummaryButtonLeft, kOptionsRowTop, buttonWidth, kSummaryRowHeight);
    Place(txtDevice, textLeft, kDeviceRowTop, textWidth, kSummaryRowHeight);
    Place(txtFile, textLeft, kFileRowTop, textWidth, kSummaryRowHeight);
    Place(txtOptions, textLeft, kOptionsRowTop, textWidth, kSummaryRowHeight);

    // Data position and bank of a single set: shown only for such devices.
    fraSets = frame(this, "fraSets", QFrame::NoFrame);
    auto* sets = new QHBoxLayout(fraSets);
    sets->setContentsMargins(0, 0, 0, 0);
    lblDatPos = new QLabel(QStringLiteral("Position:"), fraSets);
    lblDatPos->setObjectName(QStringLiteral("lblDatPos"));
    cboDatPos = new QComboBox(fraSets);
    cboDatPos->setObjectName(QStringLiteral("cboDatPos"));
    lblBankNum = new QLabel(QStringLiteral("Bank:"), fraSets);
    lblBankNum->setObjectName(QStringLiteral("lblBankNum"));
    cboBankNum = new QComboBox(fraSets);
    cboBankNum->setObjectName(QStringLiteral("cboBankNum"));
    for (QWidget* w : {static_cast<QWidget*>(lblDatPos), static_cast<QWidget*>(cboDatPos),
                       static_cast<QWidget*>(lblBankNum), static_cast<QWidget*>(cboBankNum)})
        sets->addWidget(w);
    Place(fraSets, textLeft + textWidth - kSetsFrameWidth, kOptionsRowTop - (kSetsFrameHeight - kSummaryRowHeight) / 2,
          kSetsFrameWidth, kSetsFrameHeight);
    fraSets->hide();

    // The tab strip and the frame laid over its client area.
    tabOperation = new TabStrip(this);
    tabOperation->setObjectName(QStringLiteral("tabOperation"));
    connect(tabOperation, &TabStrip::beforeClick, this, [this] {
        qint16 cancel = 0;
        tabOperation_BeforeClick(cancel);
    });
    connect(tabOperation, &TabStrip::click, this, &frmProgram::tabOperation_Click);
    fraOperation = frame(this, "fraOperation", QFrame::NoFrame);

    // Option rows 0 to 4 as designed; CreateOptionControls adds the others.
    fraOptions = frame(fraOperation, "fraOptions", QFrame::NoFrame);
    fraProgressBar = frame(fraOperation, "fraProgressBar", QFrame::NoFrame);
    for (int i = 0; i < kDesignedRows; ++i) {
        auto* check = new QCheckBox(fraOptions);
        check->setObjectName(QStringLiteral("Check1"));
        Check1 << check;
        Place(check, 0, i * kRowPitch, kCheckWidth, kSummaryRowHeight);
        auto* combo = new QComboBox(fraOptions);
        combo->setObjectName(QStringLiteral("cboOperation"));
        cboOperation << combo;
        Place(combo, kComboLeft, i * kRowPitch, kComboWidth, kSummaryRowHeight);
        auto* bar = new QProgressBar(fraProgressBar);
        bar->setObjectName(QStringLiteral("ProgressBar1"));
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        ProgressBar1 << bar;
        Place(bar, kBarLeft, i * kRowPitch, 1000, kBarHeight);
        const qint16 row = qint16(i);
        connect(check, &QCheckBox::clicked, this, [this, row] { Check1_Click(row); });
        connect(combo, &QComboBox::activated, this, [this, row] { cboOperation_Click(row); });
    }
    Place(fraOptions, kOptionsFrameLeft, kOptionsFrameTop, kOptionsFrameWidth,
          (kDesignedRows - 1) * kRowPitch + kSummaryRowHeight);
    Place(fraProgressBar, kProgressFrameLeft, kOptionsFrameTop, 1000, 1000);

    fraButtons = frame(fraOperation, "fraButtons", QFrame::NoFrame);
    btnAction = button(fraButtons, "btnAction", QStringLiteral("PROGRA&M"));
    btnStop = button(fraButtons, "btnStop", QStringLiteral("&Stop"));
    btnStop->setAutoFillBackground(true);
    Place(btnAction, 0, 0, kActionButtonWidth, kButtonsHeight);
    Place(btnStop, kStopButtonLeft, 0, kActionButtonWidth, kButtonsHeight);
    Place(fraButtons, kOptionsFrameLeft, kOptionsFrameTop + TwipsGeometry(fraOptions).height() + 45, kOptionsFrameWidth,
          kButtonsHeight);

    // The concurrent frame lies over the progress bars while a session runs.
    fraConcurrent = frame(fraOperation, "fraConcurrent", QFrame::Box);
    const auto counter = [&](const char* name, const QString& caption, bool value) {
        auto* label = new QLabel(caption, fraConcurrent);
        label->setObjectName(QLatin1String(name));
        Place(label, 0, 0, value ? kCounterValueWidth : TextWidthTwips(label, caption) + 2 * kTwipsPerPixel,
              kCounterLabelHeight);
        return label;
    };
    oStaticLabelPassed = counter("oStaticLabelPassed", QStringLiteral("Passed:"), false);
    oStaticLabelFailed = counter("oStaticLabelFailed", QStringLiteral("Failed:"), false);
    oStaticLabelActive = counter("oStaticLabelActive", QStringLiteral("Active:"), false);
    oStaticLabelRemaining = counter("oStaticLabelRemaining", QStringLiteral("Remaining:"), false);
    m_sDevicesPassedValue = counter("m_sDevicesPassedValue", QStringLiteral(" 0"), true);
    m_sDevicesFailedValue = counter("m_sDevicesFailedValue", QStringLiteral(" 0"), true);
    m_sDevicesActiveValue = counter("m_sDevicesActiveValue", QStringLiteral(" 0"), true);
    m_sDevicesRemainingValue = counter("m_sDevicesRemainingValue", QStringLiteral(" 0"), true);
    Place(fraConcurrent, kProgressFrameLeft, kOptionsFrameTop, 1000, 1000);
    fraConcurrent->hide();

    cboStatus = new QListWidget(this);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    // One text line per status line: a new line then costs the same however
    // long the list has grown (a list of mixed heights lays every line out
    // again on each addition).
    cboStatus->setUniformItemSizes(true);
    cboStatus->setLayoutMode(QListView::Batched);
    Place(cboStatus, kStatusLeft, kMinimumHeight - kStatusHeight - 100, kMinimumWidth - kStatusLeft - 100,
          kStatusHeight);
    Place(tabOperation, kTabLeft, kTabTop, kMinimumWidth - kTabLeft - 100, 1000);
    Place(fraOperation, kTabLeft, kTabTop, 1000, 1000);
    fraOperation->raise();

    connect(DeviceButton, &QPushButton::clicked, this, &frmProgram::DeviceButton_Click);
    connect(FileButton, &QPushButton::clicked, this, &frmProgram::FileButton_Click);
    connect(OptionsButton, &QPushButton::clicked, this, &frmProgram::OptionsButton_Click);
    connect(btnAction, &QPushButton::clicked, this, &frmProgram::btnAction_Click);
    connect(btnStop, &QPushButton::clicked, this, &frmProgram::btnStop_Click);
    SetStopBackColor(false);
}

// --- load, reload, layout and unload ---

void frmProgram::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    ProgrammerClass& data = pgmrData();

    const int options = data.GetMaximumNumberOfOptions();
    m_asOptionText = QStringList(options + 1, QString());
    strOldComboBoxStrings.assign(options + 1, QStringList(std::max<qint32>(data.GetTotalNumberOfTabs(), 0) + 1));
    lngNumberOfActions = ActionTabs::kStandardActionSlots;
    blnSaveActionOptions.assign(size_t(ActionTabs::kStandardActionSlots) + 1, false);
    intActionTabIndex.assign(size_t(ActionTabs::kStandardActionSlots) + 1, 0);

    bEnableStatusTextUpdate = true;
    BufferType(QString(), QDateTime::currentDateTime(), CBufferSource::Cleared);
    CreateOptionControls();
    Form_Reload(false, QString());
}

void frmProgram::Form_Reload(bool bReload, const QString& strDeviceName)
{
    ProgrammerClass& data = pgmrData();

    bSpecialConcurrent = false;
    blnRunningConcurrent = false;
    mbActionClicked = false;
    const size_t actions =
        std::min<size_t>(size_t(std::max<qint32>(lngNumberOfActions, 0)), blnSaveActionOptions.size());
    std::fill(blnSaveActionOptions.begin(), blnSaveActionOptions.begin() + qsizetype(actions), false);
    UpdateFormCaption(true);

    // A STAPL device keeps its tabs, options and flags.
    if (bReload && strDeviceName.startsWith(QLatin1String("STAPL")))
        return;

    // Whether a device is selected: one named on the command line (unless
    // its data file is a STAPL file), the reloaded one, or the stored choice.
    const QString cmdLineDevice = GetCmdLineDevice();
    if (!cmdLineDevice.isEmpty()) {
        data.blnDeviceSelected = true;
        data.SetActionSettingsLoaded(true);
        QString dataFile = GetCmdLineDataFile();
        if (!dataFile.isEmpty()
            && Ask([&] { return Engine().DetectFileType(dataFile); }, qint32(0)) == FileTypes::FT_STAPL)
            data.blnDeviceSelected = false;
    } else if (bReload) {
        data.blnDeviceSelected = true;
    } else {
        data.blnDeviceSelected =
            ToBool(GetSettingValue(App(), QStringLiteral("Device"), QStringLiteral("DevSelected"), false), false);
    }

    if (data.blnDeviceSelected) {
        SetDeviceConfigureOptions();
        // The selection below raises no engine warnings.
        m_station.bWarningMessagesEnabled = false;
        qint32 result = -1;
        if (!cmdLineDevice.isEmpty()) {
            QString name = cmdLineDevice;
            result = Ask([&] { return Engine().SelectDeviceByName(name, true); }, qint32(-1));
            if (result != 0)
                AddStatusTextLine(QStringLiteral("Invalid command line specified device ") + cmdLineDevice);
        } else if (bReload) {
            if (!strDeviceName.isEmpty()) {
                QString name = strDeviceName;
                result = Ask([&] { return Engine().SelectDeviceByName(name, false); }, qint32(-1));
                if (result == -1)
                    Try([&] { Engine().RefreshState202(qint32(0), qint32(0), qint32(0)); });
            }
        } else {
            QString name =
                GetSettingValue(App(), QStringLiteral("Device"), QStringLiteral("SelectedDeviceName"), QString())
                    .toString();
            result = Ask([&] { return Engine().SelectDeviceByName(name, false); }, qint32(-1));
        }

        if (result != 0) {
            data.blnDeviceSelected = false;
        } else if (gMainForm) {
            // The word range and the buffer offset must agree.
            qint32 low = 0;
            qint32 high = 0;
            gMainForm->GetEngineRangeValues(low, high);
            m_lBufferOffset = Ask([&] { return Engine().BufferOffset(); }, qint32(0));
            const bool inRange = Ask([&] { return Engine().IsOffsetInRange(low, high, m_lBufferOffset); }, true);
            if (!inRange) {
                gMainForm->SetEngineRangeValues(low, high);
                Try([&] { Engine().BufferOffset(m_lBufferOffset); });
            }
        }
        m_station.bWarningMessagesEnabled = true;
    }

    SetSelectedDevice();
    udtAction = 0;
    DisableCheckboxesAsNecessary();
    bBufferDirty = false;
}

void frmProgram::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmProgram::Form_Resize()
{
    if (m_inResize)
        return;
    m_inResize = true;

    // Never smaller than what the contents need.
    if (height() < minimumHeight() || width() < minimumWidth())
        resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
    const qint32 innerWidth = width() * kTwipsPerPixel;
    const qint32 innerHeight = height() * kTwipsPerPixel;

    // The status list at the bottom, the tab strip above it.
    Twips& status = tw(cboStatus);
    status.top = innerHeight - status.height - 100;
    status.width = innerWidth - status.left - 100;
    Twips& tab = tw(tabOperation);
    tab.height = status.top - 100 - tab.top;
    tab.width = innerWidth - tab.left - 100;

    // The option frame covers the tab strip's client area.
    Twips& operation = tw(fraOperation);
    operation.left = tab.left + kTabBorder;
    operation.top = tab.top + tabOperation->RowHeight() + kTabBorder;
    operation.width = tab.width - 2 * kTabBorder;
    operation.height = tab.height - tabOperation->RowHeight() - 2 * kTabBorder;

    Twips& progress = tw(fraProgressBar);
    const qint32 barWidth = operation.width - progress.left - 300;
    for (QProgressBar* bar : std::as_const(ProgressBar1))
        tw(bar).width = barWidth;
    progress.height = operation.height - progress.top - 120;
    progress.width = operation.width - progress.left - 60;

    const Twips& options = tw(fraOptions);
    tw(fraButtons).top = options.top + options.height + 45;

    // The summary lines, the options line leaving room for the sets frame.
    const qint32 textWidth = innerWidth - tw(txtOptions).left - 100;
    tw(txtFile).width = textWidth;
    tw(txtDevice).width = textWidth;
    if (fraSets->isHidden()) {
        tw(txtOptions).width = textWidth;
    } else {
        tw(txtOptions).width = textWidth - tw(fraSets).width - 100;
        tw(fraSets).left = tw(txtOptions).left + tw(txtOptions).width + 100;
    }

    // The concurrent frame, its site boxes and counters.
    Twips& concurrent = tw(fraConcurrent);
    concurrent.height = operation.height - concurrent.top - 120;
    concurrent.width = operation.width - progress.left - 180;
    ApplyAllGeometry();
    // The site boxes keep 1000 twips below them for the counters; where
    // these stand in more rows than that holds (a narrow window), the boxes
    // give up the rest.
    const qint32 countersHeight = ArrangeConcurrentLabels();
    const qint32 frameHeight = concurrent.height - std::max(0, countersHeight + 100 - kCountersRoom);
    const qint32 frameWidth = concurrent.width;
    SiteLayout().RefreshLayout(frameHeight, frameWidth);

    m_inResize = false;
}

void frmProgram::UpdateMinimumSize()
{
    // Around the option frame: the tab strip above it with its borders, the
    // status list below with its margins.
    const qint32 aroundFrame = kTabTop + tabOperation->RowHeight() + 2 * kTabBorder + 100 + kStatusHeight + 100;
    // Inside the frame: the option rows and, under them, Action and Stop.
    const qint32 frameNeeds =
        kOptionsFrameTop + TwipsGeometry(fraOptions).height() + 45 + kButtonsHeight + kOptionsFrameTop;
    const qint32 height = std::max(kMinimumHeight, aroundFrame + frameNeeds);
    // Rounded up: the last twips of a control still need their pixel.
    setMinimumSize((kMinimumWidth + kTwipsPerPixel - 1) / kTwipsPerPixel,
                   (height + kTwipsPerPixel - 1) / kTwipsPerPixel);
}

qint32 frmProgram::ArrangeConcurrentLabels()
{
    const Twips& frame = tw(fraConcurrent);
    const qint32 bottomTop = frame.height - tw(oStaticLabelPassed).height - 100;
    constexpr qint32 kGap = 50;
    constexpr qint32 kEdge = 100;
    struct Counter
    {
        QLabel* caption;
        QLabel* value;
    };
    const Counter counters[] = {
        {oStaticLabelPassed, m_sDevicesPassedValue},
        {oStaticLabelFailed, m_sDevicesFailedValue},
        {oStaticLabelActive, m_sDevicesActiveValue},
        {oStaticLabelRemaining, m_sDevicesRemainingValue},
    };
    // A value holds its text and any count of a job (five digits) whole.
    const auto valueWidth = [](const QLabel* value) {
        return std::max({kCounterValueWidth, TextWidthTwips(value, QStringLiteral(" 65535")) + 2 * kTwipsPerPixel,
                         value->sizeHint().width() * kTwipsPerPixel});
    };
    qint32 widths[4];
    for (int i = 0; i < 4; ++i)
        widths[i] = tw(counters[i].caption).width + kGap + valueWidth(counters[i].value);
    // As many counters a row as the frame holds side by side: four, two
    // (two rows) or one (four rows); each in a column of equal share, moved
    // left from the frame's edge as far as it must.
    const auto fits = [&](int perRow) {
        for (int first = 0; first < 4; first += perRow) {
            qint32 needed = (perRow + 1) * kEdge;
            for (int i = first; i < first + perRow; ++i)
                needed += widths[i];
            if (needed > frame.width)
                return false;
        }
        return true;
    };
    const int perRow = fits(4) ? 4 : fits(2) ? 2 : 1;
    const int rows = 4 / perRow;
    const qint32 rowHeight = tw(oStaticLabelPassed).height + 30;
    const qint32 column = qint32(std::nearbyint(frame.width / double(perRow)));
    qint32 lefts[4];
    for (int i = 0; i < 4; ++i)
        lefts[i] = i % perRow == 0 ? kEdge : (i % perRow) * column;
    for (int first = 0; first < 4; first += perRow) {
        qint32 limit = frame.width - kEdge;
        for (int i = first + perRow - 1; i >= first; --i) {
            lefts[i] = std::max(kEdge, std::min(lefts[i], limit - widths[i]));
            limit = lefts[i] - kEdge;
        }
    }
    for (int i = 0; i < 4; ++i) {
        const Counter& c = counters[i];
        const qint32 rowTop = bottomTop - (rows - 1 - i / perRow) * rowHeight;
        Twips& caption = tw(c.caption);
        caption.top = rowTop;
        caption.left = lefts[i];
        Twips& value = tw(c.value);
        value.top = rowTop;
        value.left = caption.left + caption.width + kGap;
        value.width = valueWidth(c.value);
        ApplyGeometry(c.caption);
        ApplyGeometry(c.value);
    }
    // From the frame's bottom to the top of the first row.
    return frame.height - (bottomTop - (rows - 1) * rowHeight);
}

void frmProgram::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the main window, which unloads it.
    event->ignore();
}

bool frmProgram::Form_Unload()
{
    qint16 cancel = 0;
    Form_Unload(cancel);
    return cancel == 0;
}

void frmProgram::Form_Unload(qint16& Cancel)
{
    ProgrammerClass& data = pgmrData();
    const bool handlerRunning = Ask([&] { return m_station.QXH950AutoHandler.IsRunning(); }, false);
    if (handlerRunning) {
        data.blnInAction = false;
        Ui().MsgBox(
            QStringLiteral("Aborted abnormally! Job terminated! Please click OK and then close the application!"),
            vb::vbCritical, QStringLiteral("SysInfo"));
        Cancel = 1;
        return;
    }
    if (data.blnInAction || mbActionClicked) {
        btnStop_Click();
        Ui().MsgBox(
            QStringLiteral("Aborted abnormally! Job terminated! Please click OK, wait till the current operation "
                           "is aborted, and then close the application!"),
            vb::vbCritical, QStringLiteral("SysInfo"));
        Cancel = 1;
        return;
    }

    // The unload goes ahead: only now does the main window stop forwarding
    // events here, so a refused close leaves the window listening.
    m_station.bEnableEvent = false;
    SaveCheckBoxValues();
    const auto save = [](const char* section, const char* name, const QVariant& value) {
        Try([&] { SaveSettingValue(App(), QLatin1String(section), QLatin1String(name), value); });
    };
    bool named = false;
    QString deviceName;
    Try([&] {
        deviceName = Engine().DeviceName();
        named = true;
    });
    // A device name the engine could not give would overwrite the stored one.
    if (named && !deviceName.startsWith(QLatin1String("STAPL"))) {
        save("Device", "DevSelected", data.blnDeviceSelected);
        save("Device", "SelectedDeviceName", deviceName);
    }
    data.lngPosSingle = std::max(cboDatPos->currentIndex(), 0);
    data.lngBankSingle = std::max(cboBankNum->currentIndex(), 0);
    save("Application", "Action", udtAction);
    SaveActionSettings();
    Cancel = 0;
}

// --- buttons and summary lines ---

void frmProgram::SetStopBackColor(bool highlight)
{
    // 3D highlight while a run can be stopped, else the button face.
    QPalette palette = btnStop->palette();
    const QPalette standard = QApplication::palette(btnStop);
    palette.setColor(QPalette::Button, highlight ? standard.color(QPalette::Light) : standard.color(QPalette::Button));
    btnStop->setPalette(palette);
}

void frmProgram::SetButtonStates()
{
    ProgrammerClass& data = pgmrData();
    const bool running = data.blnInAction;
    const bool op = data.bStartInOperatorMode;

    if (running) {
        SetStopBackColor(true);
        btnStop->setEnabled(true);
        for (QWidget* w : {static_cast<QWidget*>(btnAction), static_cast<QWidget*>(DeviceButton),
                           static_cast<QWidget*>(FileButton), static_cast<QWidget*>(OptionsButton),
                           static_cast<QWidget*>(txtOptions), static_cast<QWidget*>(tabOperation)})
            w->setEnabled(false);
    } else {
        SetStopBackColor(false);
        btnStop->setEnabled(false);
        const bool d = data.blnDeviceSelected;
        QXPgmrControl* e = &m_station.QXProgrammer;
        const bool hasOptions = e
            && (Ask([&] { return e->ProgramVariantCount() > 0; }, false)
                || Ask([&] { return e->DeviceSupportsSetsAndBanks(); }, false)
                || Ask([&] { return e->DeviceSupportsTestVectors(); }, false)
                || Ask([&] { return e->DeviceSupportsByteOrder(); }, false)
                || Ask([&] { return e->DeviceSupportsRange(); }, false));
        const bool showOptions = d && hasOptions;
        for (QWidget* w :
             {static_cast<QWidget*>(DeviceButton), static_cast<QWidget*>(FileButton), static_cast<QWidget*>(txtFile)}) {
            w->setVisible(true);
            w->setEnabled(!op);
        }
        for (QWidget* w : {static_cast<QWidget*>(OptionsButton), static_cast<QWidget*>(txtOptions)}) {
            w->setVisible(showOptions);
            w->setEnabled(showOptions && !op);
        }
        btnAction->setEnabled(d);
        tabOperation->setEnabled(d);
        tabOperation->setVisible(true);
    }

    if (gMainForm)
        gMainForm->SetButtonMenuLogic();

    // A custom action the engine calls invalid cannot run.
    if (IsCustomAction(udtAction) && cboOperation[0]->count() >= 1) {
        if (cboOperation[0]->itemData(0).toInt() == OperationCode::InvalidAction) {
            btnAction->setEnabled(false);
            // A run already going stays stoppable.
            if (!running)
                btnStop->setEnabled(false);
        }
        return;
    }

    // Stop stays with the operator on the Program, Verify, Test,
    // Execute and Erase tabs; elsewhere it follows the mode. A running
    // operation can always be stopped.
    if (kStopAlwaysCaptions.contains(btnAction->text().toUpper())) {
        btnAction->setEnabled(!running);
        btnStop->setEnabled(true);
    } else {
        btnAction->setEnabled(!running && !op);
        btnStop->setEnabled(running || !op);
    }
    btnAction->setVisible(true);
    btnStop->setVisible(true);
}

void frmProgram::SetDisplayInfo()
{
    ProgrammerClass& data = pgmrData();

    // The data file line.
    if (data.blnBufferEmpty) {
        if (gMainForm && gMainForm->frmP == this)
            gMainForm->SetBufferEmptyControlStates();
        data.blnFileLoaded = false;
        bBufferDirty = false;
        ShowFromStart(txtFile, BufferTypeGetName());
    } else {
        ShowFromStart(txtFile, BufferLine());
    }

    ShowFromStart(txtDevice, DeviceLine());
    ShowFromStart(txtOptions, OptionsLine());
    ShowSetsFrame();
}

QString frmProgram::BufferLine()
{
    ProgrammerClass& data = pgmrData();
    QXPgmrControl* e = &m_station.QXProgrammer;
    const auto vexalOrAfmOrStapl = [] { return gMainForm && gMainForm->IsVexalDeviceOrAfmOrStaplFile(); };

    QString line = BufferTypeGetName();
    // The date as its text gives it: whole seconds.
    QDateTime date = BufferSource.Date();
    date.setTime(QTime(date.time().hour(), date.time().minute(), date.time().second()));
    data.dtmFileDate = date;
    if (!vexalOrAfmOrStapl())
        line += QStringLiteral("    CSUM = ") + (e ? Ask([&] { return e->ChecksumText(); }, QString()) : QString());
    line += QStringLiteral("    ") + CBufferSource::GeneralDate(data.dtmFileDate);
    if (!vexalOrAfmOrStapl()) {
        if (e && Ask([&] { return e->SizeInFuses(); }, false)) {
            line +=
                QStringLiteral("    Buffer Size =") + summary::SignedText(data.lngFileSize) + QStringLiteral(" fuses");
        } else {
            const QString size = data.udtRadix != 0 ? summary::HexText(data.lngFileSize) + QLatin1Char('h')
                                                    : QString::number(data.lngFileSize);
            line += QStringLiteral("    Buffer Size = ") + size + QStringLiteral(" bytes");
        }
    }
    if (e && Ask([&] { return e->DataFileTypeCode(); }, qint32(0)) == FileTypes::FT_AFM)
        line += QStringLiteral("    Fuse Checksum = ")
            + summary::HexText(Ask([&] { return e->FuseChecksum(); }, qint32(0))) + QLatin1Char('h');
    if (gMainForm) {
        gMainForm->EnableFileSaveDataPattern();
        gMainForm->SaveDataPatternAs->setEnabled(true);
    }
    return line;
}

QString frmProgram::DeviceLine()
{
    ProgrammerClass& data = pgmrData();
    QXPgmrControl* e = &m_station.QXProgrammer;
    if (e)
        data.strDeviceSize = Ask([&] { return e->DeviceSizeText(qint32(1), data.udtRadix == 1); }, data.strDeviceSize);
    if (!data.blnDeviceSelected)
        return QStringLiteral("<None Selected>");
    QString line = data.strDeviceName + QStringLiteral("    ");
    const bool vexalOrAfmOrStapl = gMainForm && gMainForm->IsVexalDeviceOrAfmOrStaplFile();
    const bool testOnly = e && Ask([&] { return e->TestOnlyStation(); }, false);
    if (!vexalOrAfmOrStapl && !testOnly)
        line += data.strDeviceSize + QStringLiteral("    ");
    return line + data.strDevicePackage;
}

QString frmProgram::OptionsLine()
{
    if (!gMainForm)
        return QString();
    QXPgmrControl& e = m_station.QXProgrammer;
    ProgrammerClass& data = pgmrData();
    summary::DeviceOptions o;
    o.supportsRange = Ask([&] { return e.DeviceSupportsRange(); }, false);
    if (o.supportsRange) {
        o.entireRange = Ask([&] { return data.IsEntireDeviceRange(); }, false);
        if (!o.entireRange)
            gMainForm->GetEngineRangeValues(o.rangeLow, o.rangeHigh);
        o.hexadecimal = data.udtRadix == 1;
    }
    o.supportsSetsAndBanks = Ask([&] { return e.DeviceSupportsSetsAndBanks(); }, false);
    if (o.supportsSetsAndBanks) {
        o.setWidth = Ask([&] { return e.SetWidth(); }, qint32(0));
        o.bankCount = Ask([&] { return e.BankCount(); }, qint32(0));
        o.setMode = Ask([&] { return e.SetMode(); }, qint32(0));
    }
    o.supportsByteOrder = Ask([&] { return e.DeviceSupportsByteOrder(); }, false);
    if (o.supportsByteOrder)
        o.byteOrder = Ask([&] { return e.ByteOrder(); }, qint32(0));
    o.supportsTestVectors = Ask([&] { return e.DeviceSupportsTestVectors(); }, false);
    if (o.supportsTestVectors) {
        o.vectorDisplayMode = Ask([&] { return e.VectorDisplayMode(); }, qint32(0));
        o.vectorXValue = Ask([&] { return e.VectorXValue(); }, qint32(0));
        if (o.vectorXValue == 3)
            o.vectorSeed = Ask([&] { return e.VectorSeed(); }, qint32(0));
    }
    return summary::OptionsLine(o);
}

void frmProgram::ShowSetsFrame()
{
    ProgrammerClass& data = pgmrData();
    QXPgmrControl* e = &m_station.QXProgrammer;
    // The counts fill the position and bank lists: held to what a list can
    // offer.
    const qint32 setWidth =
        e ? UsableCount(Ask([&] { return e->SetWidth(); }, qint32(1)), kMaxSetsOrBanks, "set width") : 1;
    const qint32 bankCount =
        e ? UsableCount(Ask([&] { return e->BankCount(); }, qint32(1)), kMaxSetsOrBanks, "bank count") : 1;
    const bool show = e && (setWidth > 1 || bankCount > 1)
        && Ask([&] { return e->DeviceSupportsSetsAndBanks(); }, false)
        && Ask([&] { return e->SetMode(); }, qint32(-1)) == 0;
    fraSets->setVisible(show);
    Form_Resize();
    if (show) {
        const auto refill = [](QComboBox* combo, qint32 count, qint32 stored) {
            combo->clear();
            for (qint32 i = 1; i <= count; ++i)
                combo->addItem(summary::SignedText(i));
            combo->setCurrentIndex(stored < count - 1 ? stored : count - 1);
        };
        refill(cboDatPos, setWidth, data.lngPosSingle);
        refill(cboBankNum, bankCount, data.lngBankSingle);
    }
    RefreshAll();
}

void frmProgram::ResetRunCounters()
{
    for (qint32* counter : {&lngNumFailed, &lngNumPassed, &lngNumFailedAlreadySecured, &lngNumFailedBadID,
                            &lngNumFailedContinuity, &lngNumFailedErase, &lngNumFailedFunctionality,
                            &lngNumFailedIllegalBit, &lngNumFailedNonBlank, &lngNumFailedOverCurrent,
                            &lngNumFailedProgramming, &lngNumFailedSecurity, &lngNumFailedVerify, &lngNumFailedOther})
        *counter = 0;
}

void frmProgram::ShowJobSummary()
{
    // The engine's report of a stopped run is made once, here or at the
    // run's end, whichever comes first.
    if (blnStopClicked && Ask([&] { return Engine().PortIndex(); }, qint32(0)) != 0)
        m_run.FinishStoppedRunReport();
    // Loading the window builds the report, logs it and appends the job's
    // record: every job leaves its record, shown or not.
    auto summaryWindow = std::make_unique<frmJobSummary>(JobSummaryInputsNow());
    // A silent engine, and a job an automation client began, never wait on
    // the summary: it is handed on (auto-saved) as its OK would, not shown.
    const bool silent = Ask([&] { return Engine().SilentMode(); }, false);
    const bool clientJob = CQxProgrammerData::Instance().RunningJob() || CJobControlImpl::Instance().ClientJob();
    if (silent || clientJob)
        summaryWindow->HandOn();
    else
        Ui().ShowModal(summaryWindow.get());
    RefreshAll();
}

JobSummaryInputs frmProgram::JobSummaryInputsNow()
{
    JobSummaryInputs in;
    Station& station = m_station;
    in.engine = &station.QXProgrammer;
    in.autoHandler = &station.QXH950AutoHandler;
    in.manualHandler = &station.ConcurrentManualHandler;
    // The main window's own values, when a main window holds this one.
    if (gMainForm && gMainForm->frmP == this) {
        in.isVexalDeviceOrAfmOrStaplFile = Ask([] { return gMainForm->IsVexalDeviceOrAfmOrStaplFile(); }, false);
        in.sWorkingDirectoryAtLaunch = gMainForm->sWorkingDirectoryAtLaunch;
    }
    in.lngNumCopies = station.NumCopies();
    frmProgram* window = this;
    in.counters = window->Counters();
    in.blnStopClicked = window->blnStopClicked;
    if (window->tabOperation)
        in.selectedTabCaption = window->tabOperation->Caption(window->tabOperation->SelectedIndex());
    in.bufferName = window->BufferTypeGetName();
    in.bufferDate = window->BufferTypeGetDate();
    in.operationsLog = window->GetOperationsLog();
    in.actionIsRepeatable = window->ActionIsRepeatable(window->udtAction);
    in.firstSiteBoxVisible =
        !window->SiteBox.empty() && window->SiteBox[0] && Ask([&] { return window->SiteBox[0]->Visible(); }, false);
    in.siteBox = [window](int index) -> SiteBoxControl* {
        return index >= 0 && size_t(index) < window->SiteBox.size() ? window->SiteBox[size_t(index)].get() : nullptr;
    };
    const ProgrammerClass& data = window->pgmrData();
    in.udtHandlerType = data.udtHandlerType;
    in.strJobName = data.strJobName;
    in.strJobID = data.strJobID;
    in.bStartInOperatorMode = data.bStartInOperatorMode;
    in.lngFileSize = data.lngFileSize;
    in.udtRadix = data.udtRadix;
    in.strDeviceName = data.strDeviceName;
    in.strDeviceSize = data.strDeviceSize;
    return in;
}

// --- what the data buffer holds ---

void frmProgram::BufferType(const QString& oTypeName, const QDateTime& oUpdatedDate, qint16 iInput)
{
    BufferSource.Update(oTypeName, oUpdatedDate, iInput);
}

QString frmProgram::BufferTypeGetName() const
{
    return BufferSource.Name();
}

QString frmProgram::BufferTypeGetDate() const
{
    return BufferSource.DateText();
}

qint16 frmProgram::BufferTypeGetType() const
{
    return BufferSource.SourceType();
}

void frmProgram::ShowBufferEmpty()
{
    txtFile->setText(QStringLiteral("<Empty>"));
}

// --- modes and enable states ---

void frmProgram::SetOperatorModeControls()
{
    DisableCheckboxesAsNecessary();
    for (QWidget* w :
         {static_cast<QWidget*>(DeviceButton), static_cast<QWidget*>(txtDevice), static_cast<QWidget*>(FileButton),
          static_cast<QWidget*>(txtFile), static_cast<QWidget*>(OptionsButton), static_cast<QWidget*>(txtOptions),
          static_cast<QWidget*>(lblDatPos), static_cast<QWidget*>(cboDatPos), static_cast<QWidget*>(lblBankNum),
          static_cast<QWidget*>(cboBankNum)})
        w->setEnabled(false);
    for (QComboBox* combo : std::as_const(cboOperation))
        combo->setEnabled(false);
    for (QCheckBox* check : std::as_const(Check1))
        check->setEnabled(false);
    RefreshAll();
}

void frmProgram::SetSupervisorModeControls()
{
    for (QWidget* w :
         {static_cast<QWidget*>(DeviceButton), static_cast<QWidget*>(txtDevice), static_cast<QWidget*>(FileButton),
          static_cast<QWidget*>(txtFile), static_cast<QWidget*>(OptionsButton), static_cast<QWidget*>(txtOptions),
          static_cast<QWidget*>(lblDatPos), static_cast<QWidget*>(cboDatPos), static_cast<QWidget*>(lblBankNum),
          static_cast<QWidget*>(cboBankNum)})
        w->setEnabled(true);
    RefreshAll();
}

void frmProgram::EnableOperationSettings(bool bEnable)
{
    // Operator mode runs the locked job as it is: whatever unlocks the
    // window leaves the option rows to the supervisor.
    const bool live = bEnable && !pgmrData().bStartInOperatorMode;
    const int rows = std::min<int>(pgmrData().GetMaximumNumberOfOptions(), Check1.size());
    for (int row = 0; row < rows; ++row) {
        // A greyed step runs whatever the operator does: it stays disabled.
        Check1[row]->setEnabled(live && CheckValue(Check1[row]) != CheckBoxValue::Forced);
        cboOperation[row]->setEnabled(live);
    }
}

void frmProgram::EnableOperations(bool bEnable)
{
    btnAction->setEnabled(bEnable);
    pgmrData().blnInAction = !bEnable;
    btnStop->setEnabled(bEnable);
    // The device, the data and their options belong to the supervisor.
    const bool editable = bEnable && !pgmrData().bStartInOperatorMode;
    DeviceButton->setEnabled(editable);
    FileButton->setEnabled(editable);
    OptionsButton->setEnabled(editable);
}

void frmProgram::RefreshAll()
{
    // Once the station is closing nothing is shown or redrawn again: a
    // control shown asks the window system (on X, the pointer's place), and
    // the station is on its way out.
    if (shutdown::Requested())
        return;
    tabOperation->update();
    for (int row = 0; row < Check1.size(); ++row) {
        Check1[row]->update();
        cboOperation[row]->update();
        // Hiding and showing a bar repaints it.
        if (!ProgressBar1[row]->isHidden()) {
            ProgressBar1[row]->hide();
            ProgressBar1[row]->show();
        }
    }
    for (QWidget* w :
         {static_cast<QWidget*>(btnAction), static_cast<QWidget*>(btnStop), static_cast<QWidget*>(lblDatPos),
          static_cast<QWidget*>(cboDatPos), static_cast<QWidget*>(lblBankNum), static_cast<QWidget*>(cboBankNum),
          static_cast<QWidget*>(tabOperation), static_cast<QWidget*>(fraConcurrent)})
        w->update();
    for (const auto& box : SiteBox) {
        Try([&] {
            if (box->Visible()) {
                box->Visible(false);
                box->Visible(true);
            }
        });
    }
}

void frmProgram::Reload()
{
    bSpecialConcurrent = false;
    blnRunningConcurrent = false;
    std::fill(blnSaveActionOptions.begin(), blnSaveActionOptions.end(), false);
    UpdateFormCaption(true);
    pgmrData().blnDeviceSelected = false;
    SetSelectedDevice();
    DisableCheckboxesAsNecessary();
}

QString frmProgram::GetDeviceInfo() const
{
    return txtDevice->text();
}

QString frmProgram::GetBufferInfo() const
{
    return txtFile->text();
}

qint16 frmProgram::GetSiteCount() const
{
    return qint16(SiteBox.size());
}

void frmProgram::GetOperationSetting()
{
    Try([&] { pgmrData().udtRadix = Engine().DisplayRadix() != 0 ? 1 : 0; });
}

QStringList frmProgram::GetOperationsLog() const
{
    return m_asOptionText;
}

void frmProgram::SelectTab(qint32 nIndex)
{
    if (nIndex < 1 || nIndex > tabOperation->Count())
        return;
    qint16 cancel = 0;
    Try([&] { tabOperation_BeforeClick(cancel); });
    tabOperation->Select(nIndex);
    Try([&] { tabOperation_Click(); });
}

void frmProgram::funcAskJobID()
{
    const QVariant enabled =
        GetSettingValue(App(), QStringLiteral("Application"), QStringLiteral("JobID_Enable"), QStringLiteral("0"));
    pgmrData().strJobID.clear();
    if (ToLong(enabled, 0) != 1)
        return;
    // A silent engine's job (a client's) waits on no prompt: it runs
    // without a job ID, and the status line says so.
    if (Ask([&] { return Engine().SilentMode(); }, false)) {
        AddStatusTextLine(QStringLiteral("Enter Job ID: not asked while the engine is silent; the job has no job ID."));
        return;
    }
    pgmrData().strJobID = Ui().InputBox(QStringLiteral("Enter Job ID"), QStringLiteral("job ID"), QString());
}

void frmProgram::UpdateJobRunStatistics(qint32 lDevicesPassed, qint32 lDevicesFailed, qint32 lDevicesActive,
                                        qint32 lDevicesRemaining, qint32 lDevicesPerHour, double dYield)
{
    Q_UNUSED(lDevicesPerHour);
    Q_UNUSED(dYield);
    m_sDevicesPassedValue->setText(summary::SignedText(lDevicesPassed));
    m_sDevicesFailedValue->setText(summary::SignedText(lDevicesFailed));
    m_sDevicesActiveValue->setText(summary::SignedText(lDevicesActive));
    m_sDevicesRemainingValue->setText(summary::SignedText(lDevicesRemaining));
    // A count longer than any job's keeps its value whole.
    ArrangeConcurrentLabels();
}

bool frmProgram::LoadCmdLnDataPatternFile()
{
    if (GetCmdLineDataFile().isEmpty())
        return true;
    // The data-pattern command loads the named file while the name is set;
    // then both names are given up, so that a second call does nothing.
    FileButton_Click();
    SetCmdLineDataFile(QString());
    SetCmdLineDevice(QString());
    return pgmrData().blnFileLoaded;
}

void frmProgram::SetOptionListDropWidths()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qint32 screenWidth =
        screen ? screen->geometry().width() * kTwipsPerPixel : std::numeric_limits<qint32>::max();
    for (QComboBox* combo : std::as_const(cboOperation)) {
        if (combo->count() < 1)
            continue;
        qint32 w = WidestListEntryWidth(combo) + 300;
        if (w > screenWidth)
            w = screenWidth;
        if (combo->width() * kTwipsPerPixel <= w)
            SetDropWidth(combo, w / kTwipsPerPixel);
    }
    RefreshAll();
}

qint32 frmProgram::WidestListEntryWidth(const QComboBox* combo) const
{
    qint32 widest = combo->width() * kTwipsPerPixel;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, TextWidthTwips(combo, combo->itemText(i)));
    return widest;
}

void frmProgram::SetDropWidth(QComboBox* combo, qint32 pixels)
{
    // The list opens at least this wide, even when the box is narrower.
    combo->view()->setMinimumWidth(pixels);
}

// --- status lines and caption ---

void frmProgram::AddStatusTextLine(const QString& text)
{
    if (!bEnableStatusTextUpdate)
        return;
    // A full list starts again, so a long run never grows it without end.
    if (cboStatus->count() >= kMaxStatusLines)
        cboStatus->clear();
    cboStatus->addItem(text);
    cboStatus->setCurrentRow(cboStatus->count() - 1);
    cboStatus->scrollToBottom();
    ::WriteLogInfo(text, true);
    ::WriteInfoToLogFile(text, true);
    ::SetExportChiseloLogFile(true);
}

// --- action tabs and option rows ---

qint16 frmProgram::WhichAction(qint16 tabIndex) const
{
    // Tabs count from 1: no tab carries no action (an action without a tab
    // has the entry 0 too).
    if (tabIndex < 1)
        return 0;
    const qint32 last = std::min<qint32>(lngNumberOfActions, qint32(intActionTabIndex.size()));
    for (qint32 a = 1; a < last; ++a) {
        if (intActionTabIndex[size_t(a)] == tabIndex)
            return qint16(a);
    }
    return 0;
}

bool frmProgram::SelectDevice(const QString& deviceName)
{
    MarkAllActionsForFreshStore();
    bool ok = false;
    if (!deviceName.isEmpty()) {
        QString name = deviceName;
        ok = Ask([&] { return Engine().SelectDeviceByName(name, false); }, qint32(-1)) == 0;
    } else {
        ok = Ask([&] { return Engine().DeviceSelectResult(); }, false);
    }
    if (ok)
        DeviceAccepted();
    SetSelectedDevice();
    DisableCheckboxesAsNecessary();
    return ok;
}

void frmProgram::MarkAllActionsForFreshStore()
{
    const size_t actions =
        std::min<size_t>(size_t(std::max<qint32>(lngNumberOfActions, 0)), blnSaveActionOptions.size());
    std::fill(blnSaveActionOptions.begin(), blnSaveActionOptions.begin() + qsizetype(actions), true);
}

void frmProgram::DeviceAccepted()
{
    ProgrammerClass& data = pgmrData();
    data.blnDeviceSelected = true;
    Try([&] { data.lngFileSize = Engine().BufferSize(); });
    if (data.lngFileSize == 0)
        data.blnBufferEmpty = true;
    data.strJobName.clear();
    UpdateFormCaption(true);
}

QList<qint32> frmProgram::TabActions() const
{
    QList<qint32> actions;
    for (int tab = 1; tab <= tabOperation->Count(); ++tab)
        actions << WhichAction(qint16(tab));
    return actions;
}

bool frmProgram::IsCustomAction(qint32 action) const
{
    return action >= ActionTabs::kFirstCustomAction && action < lngNumberOfActions;
}

void frmProgram::SetSelectedDevice()
{
    ProgrammerClass& data = pgmrData();
    // The layout the per-tab store was filled under.
    const QList<qint32> oldLayout = TabActions();

    lngNumberOfActions = ActionTabs::kStandardActionSlots;
    intActionTabIndex.assign(size_t(lngNumberOfActions) + 1, 0);
    blnSaveActionOptions.resize(size_t(lngNumberOfActions) + 1, false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    int tabs = 1; // the next tab's index
    GetDeviceConfigureOptions();
    tabOperation->Clear();

    // The standard tabs the device's capabilities call for.
    const ActionTabs::Standard standard = ActionTabs::StandardTabs(ActionTabs::Capabilities::Read(Engine()));
    QStringList keys;
    for (const ActionTabs::Tab& tab : standard.tabs) {
        if (!tabOperation->Add(tabs, tab.key, tab.caption))
            continue;
        intActionTabIndex[size_t(tab.action)] = qint16(tabs);
        keys << tab.key;
        ++tabs;
    }
    if (standard.droppedActions.contains(udtAction))
        udtAction = ActionTabs::kNoAction;
    const qint32 currentAction = udtAction;

    // Custom actions, each with a tab of its name. A faulty entry of the
    // engine's list is left out with a status line; the others stay.
    const QString list = Ask([&] { return Engine().CustomActionList(); }, QString());
    if (!list.isEmpty()) {
        qint32 action = ActionTabs::kFirstCustomAction;
        qint16 largest = 0;
        const CustomActions::Parsed parsed = CustomActions::Parse(list, keys);
        for (const QString& fault : parsed.faults)
            AddStatusTextLine(fault);
        for (const CustomActions::Action& custom : parsed.actions) {
            if (tabs > ActionTabs::kMaxTabs || !tabOperation->Add(tabs, custom.name, custom.name)) {
                const QString text = ActionTabs::TooManyActionsText(ActionTabs::kNoRoomForTabError);
                AppMsgBox(text, vb::vbCritical + vb::vbOKOnly, App());
                AddStatusTextLine(text);
                AddStatusTextLine(ActionTabs::TotalActionsLoadedText(tabs - 1));
                break;
            }
            if (action >= lngNumberOfActions) {
                ++lngNumberOfActions;
                intActionTabIndex.resize(size_t(lngNumberOfActions) + 1, 0);
                blnSaveActionOptions.resize(size_t(lngNumberOfActions) + 1, false);
            }
            intActionTabIndex[size_t(action)] = qint16(tabs);
            const qint16 options = CountCustomActionOptions(custom.entry);
            const qint16 most = data.GetMaximumNumberOfOptions();
            if (options <= most && options > largest)
                largest = options;
            if (options > most) {
                const QString text = ActionTabs::TooManyOptionsText(most, custom.name);
                AppMsgBox(text, vb::vbCritical + vb::vbOKOnly, App());
                AddStatusTextLine(text);
            }
            ++tabs;
            ++action;
        }
        ResizeOptionsFrame(largest);
    }

    // The rebuilt strip shows the tab of the current action again, so that
    // strip, action and rows stay in step (a cancelled or repeated choice of
    // the same device keeps the operator where he was). Without that tab the
    // strip shows its first one and the caller builds its rows.
    if (currentAction > ActionTabs::kNoAction && size_t(currentAction) < intActionTabIndex.size()
        && intActionTabIndex[size_t(currentAction)] > 0 && currentAction < lngNumberOfActions)
        tabOperation->Select(intActionTabIndex[size_t(currentAction)]);

    // The per-tab store follows the tabs. It is kept by tab, so a new
    // total or another order of actions moves it through the registry: saved
    // under the old layout, read back under the new one.
    const bool loaded = data.GetActionSettingsLoaded();
    if (!(data.GetTotalNumberOfTabs() == tabs && loaded && TabActions() == oldLayout)) {
        if (loaded) {
            Try([&] {
                ActionSettings::Save(data, [&](int tab) { return oldLayout.value(tab - 1, ActionTabs::kNoAction); });
            });
        }
        data.SetTotalNumberOfTabs(tabs);
        strOldComboBoxStrings.assign(size_t(data.GetMaximumNumberOfOptions()) + 1,
                                     QStringList(std::max<qint32>(data.GetTotalNumberOfTabs(), 0) + 1));
        data.InitializeUserSettingArrays();
        if (data.GetActionSettingsLoaded())
            LoadActionSettings();
    }

    if (!data.GetActionSettingsLoaded()) {
        if (!data.LoadOldActionSettings())
            LoadActionSettings();
        data.SetActionSettingsLoaded(true);
    }

    // The device's name, size and package.
    if (data.blnDeviceSelected) {
        Try([&] { data.strDeviceName = Engine().DeviceName(); });
        txtDevice->setText(data.strDeviceName);
        Try([&] { Engine().TabsCall276(); });
    } else {
        txtDevice->setText(QStringLiteral("None Selected"));
    }
    Try([&] { data.strDeviceSize = Engine().DeviceSizeText(qint32(1), data.udtRadix == 1); });
    Try([&] { data.strDevicePackage = Engine().DeviceProperty4(); });

    SetButtonStates();
    SetDisplayInfo();
    if (gMainForm)
        gMainForm->DisableBufferActionsForVexal();
    QGuiApplication::restoreOverrideCursor();
}

void frmProgram::DisableCheckboxesAsNecessary()
{
    ProgrammerClass& data = pgmrData();
    const int rows = std::min<int>(data.GetMaximumNumberOfOptions(), cboOperation.size());

    tabOperation->setVisible(true);
    for (const ActionTabs::ToolTip& tip : ActionTabs::ToolTips(ActionTabs::Capabilities::Read(Engine()))) {
        const qint16 tab = intActionTabIndex[size_t(tip.action)];
        if (tab > 0)
            tabOperation->SetToolTip(tab, tip.text);
    }

    ResetOptionRows();
    const qint16 selected = qint16(tabOperation->SelectedIndex());
    udtAction = WhichAction(selected);
    const bool custom = IsCustomAction(udtAction);
    const bool standard = !custom;

    // The selected tab's lists: a standard action's from its builder, a
    // custom action's from its procedures.
    if (udtAction >= ActionTabs::kProgram && udtAction <= ActionTabs::kErase) {
        btnAction->setText(tabOperation->Key(intActionTabIndex[size_t(udtAction)]));
        try {
            FillStandardOptionLists(udtAction);
        } catch (const AutomationError& error) {
            // The rows keep what they had; the engine says why.
            AddStatusTextLine(error.Description());
        }
        const bool lockedInOperatorMode =
            udtAction == ActionTabs::kRead || udtAction == ActionTabs::kBlankCheck || udtAction == ActionTabs::kSecure;
        btnAction->setEnabled(!(lockedInOperatorMode && data.bStartInOperatorMode));
    } else if (custom) {
        btnAction->setText(QStringLiteral("EXECUTE"));
        FillCustomActionOptionLists();
        btnAction->setEnabled(true);
    }

    // Rows with entries are shown with the operator's choices, empty ones
    // hidden.
    for (int i = 0; i < rows; ++i) {
        const qint16 row = qint16(i);
        const int n = cboOperation[i]->count();
        if (n == 0) {
            cboOperation[i]->hide();
            cboOperation[i]->setEnabled(false);
            Check1[i]->hide();
            Check1[i]->setEnabled(false);
            ProgressBar1[i]->hide();
        } else {
            if (n == 1 && standard)
                Check1[i]->setEnabled(true);
            RestoreOptionRowSettings(selected, row);
            QFont bold = cboOperation[i]->font();
            bold.setBold(true);
            cboOperation[i]->setFont(bold);
            cboOperation[i]->setEnabled(true);
            cboOperation[i]->show();
            Check1[i]->show();
            ProgressBar1[i]->show();
        }
        if (standard && CheckValue(Check1[i]) == CheckBoxValue::Forced)
            SetCheckValue(Check1[i], CheckBoxValue::Ticked);
    }

    UpdateOptionControls();

    // The rows a custom action requires, or the action's forcing rules.
    if (custom) {
        for (int i = 0; i < rows; ++i) {
            if (CheckValue(Check1[i]) == CheckBoxValue::Forced)
                Check1[i]->setEnabled(false);
            ProgressBar1[i]->setVisible(i == 0);
        }
    } else if (udtAction >= ActionTabs::kProgram && udtAction <= ActionTabs::kErase) {
        QList<int> counts;
        for (int i = 0; i < rows; ++i)
            counts << cboOperation[i]->count();
        QList<OperationLists::Effect> effects;
        Try([&] { effects = OperationLists::Rules(Engine(), udtAction, counts); });
        for (const OperationLists::Effect& effect : std::as_const(effects)) {
            if (effect.row >= rows)
                continue;
            switch (effect.kind) {
            case OperationLists::Effect::Force:
                SetCheckValue(Check1[effect.row], CheckBoxValue::Forced);
                Check1[effect.row]->setEnabled(false);
                break;
            case OperationLists::Effect::Show:
                cboOperation[effect.row]->show();
                Check1[effect.row]->show();
                ProgressBar1[effect.row]->show();
                break;
            case OperationLists::Effect::UncheckAndHide:
                SetCheckValue(Check1[effect.row], CheckBoxValue::Cleared);
                cboOperation[effect.row]->hide();
                Check1[effect.row]->hide();
                ProgressBar1[effect.row]->hide();
                break;
            }
        }
    }

    SetButtonStates();

    // A test-first station always tests.
    if (Ask([&] { return Engine().TestOnlyStation(); }, false) && rows > 2) {
        SetCheckValue(Check1[2], CheckBoxValue::Ticked);
        Check1[2]->setEnabled(false);
        cboOperation[2]->setEnabled(false);
    }

    SetOptionListDropWidths();
    if (data.bStartInOperatorMode) {
        for (QComboBox* combo : std::as_const(cboOperation))
            combo->setEnabled(false);
        for (QCheckBox* check : std::as_const(Check1))
            check->setEnabled(false);
    }
}

OperationLists::Context frmProgram::ListContext(qint32 action) const
{
    OperationLists::Context context;
    const bool hasData = HasProgrammerData();
    context.rowCount =
        std::min<int>(hasData ? m_station.pgmrData().GetMaximumNumberOfOptions() : 17, cboOperation.size());
    context.handlerType = hasData ? m_station.pgmrData().udtHandlerType : 0;
    context.vexalMode = gbVexalMode;
    context.flashBiosRun = gbFlashBiosRun;
    context.storeOnce =
        action >= 0 && size_t(action) < blnSaveActionOptions.size() && blnSaveActionOptions[size_t(action)];
    return context;
}

void frmProgram::FillStandardOptionLists(qint32 action)
{
    if (const OperationLists::Builder build = OperationLists::BuilderFor(action))
        ApplyOptionLists(build(Engine(), ListContext(action)), action);
}

void frmProgram::FillProgramOptionLists()
{
    FillStandardOptionLists(ActionTabs::kProgram);
}
void frmProgram::FillVerifyOptionLists()
{
    FillStandardOptionLists(ActionTabs::kVerify);
}
void frmProgram::FillReadOptionLists()
{
    FillStandardOptionLists(ActionTabs::kRead);
}
void frmProgram::FillBlankCheckOptionLists()
{
    FillStandardOptionLists(ActionTabs::kBlankCheck);
}
void frmProgram::FillTestOptionLists()
{
    FillStandardOptionLists(ActionTabs::kTest);
}
void frmProgram::FillSecureOptionLists()
{
    FillStandardOptionLists(ActionTabs::kSecure);
}
void frmProgram::FillEraseOptionLists()
{
    FillStandardOptionLists(ActionTabs::kErase);
}

void frmProgram::ApplyOptionLists(const OperationLists::Built& built, qint32 action)
{
    const int rows = std::min<int>(int(built.rows.size()), cboOperation.size());
    for (int i = 0; i < rows; ++i) {
        QComboBox* combo = cboOperation[i];
        for (const OperationLists::Entry& entry : built.rows.at(i).entries)
            combo->addItem(entry.text, entry.code);
        // A list selects its first entry by itself; only the builder's
        // choice counts.
        combo->setCurrentIndex(built.rows.at(i).selected);
    }

    // The tab's fresh defaults after a device selection, once.
    const qint16 tab = qint16(tabOperation->SelectedIndex());
    const auto deviceIsVexal = [this] { return Ask([&] { return Engine().DeviceIsVexal(); }, false); };
    const auto storeDefaults = [&](int row) {
        if (row >= rows)
            return;
        QStringList entries;
        for (int j = 0; j < cboOperation[row]->count(); ++j)
            entries << cboOperation[row]->itemText(j);
        OptionStore::SaveRowDefaults(pgmrData(), tab, row, RowStateOf(row), entries, deviceIsVexal);
    };
    if (built.storeAll) {
        for (int row = 0; row < pgmrData().GetMaximumNumberOfOptions(); ++row)
            storeDefaults(row);
    }
    for (int row : built.storeRows)
        storeDefaults(row);
    for (int row : built.alwaysStoreRows)
        SaveCheckboxValue(tab, qint16(row));
    if (action >= 0 && size_t(action) < blnSaveActionOptions.size())
        blnSaveActionOptions[size_t(action)] = false;
}

void frmProgram::FillCustomActionOptionLists()
{
    ProgrammerClass& data = pgmrData();
    const qint16 tab = qint16(tabOperation->SelectedIndex());
    const QString caption = tabOperation->Caption(tab);
    const QString list = Ask([&] { return Engine().CustomActionList(); }, QString());
    const int rows = std::min<int>(data.GetMaximumNumberOfOptions(), cboOperation.size());
    const CustomActions::Rows built = CustomActions::BuildRows(CustomActions::ProceduresOf(list, caption), rows);

    if (built.invalidAction) {
        cboOperation[0]->addItem(QStringLiteral("Invalid Action"), CustomActions::kInvalidActionCode);
        cboOperation[0]->setCurrentIndex(-1);
        SetCheckValue(Check1[0], CheckBoxValue::Ticked);
        Check1[0]->setEnabled(false);
        data.intUserCheckbox(tab, 0, CheckBoxValue::Ticked);
        AddStatusTextLine(QStringLiteral("Error processing procedures for action ") + caption);
        return;
    }

    blnProcRequired = built.procRequired;
    for (int n = 0; n < built.rows.size(); ++n) {
        const CustomActions::Row& row = built.rows.at(n);
        for (const QString& alternative : row.alternatives)
            cboOperation[n]->addItem(alternative, CustomActions::kProcedureCode);
        cboOperation[n]->setCurrentIndex(-1);
        Check1[n]->setEnabled(true);
        // "OPT|" starts cleared and "REC|" ticked until the operator chose.
        if (data.strUserListboxText(tab, n).isEmpty() && row.startValue >= 0) {
            data.intUserCheckbox(tab, n, row.startValue);
            SetCheckValue(Check1[n], row.startValue);
        }
    }
    if (built.rowOverflow) {
        const QString text = QStringLiteral("Error loading Dynamic Action: ") + caption;
        AppMsgBox(text, vb::vbCritical, QStringLiteral("Error"));
        AddStatusTextLine(text);
        return;
    }
    if (built.noOptionalProcs) {
        cboOperation[0]->addItem(QStringLiteral("No Optional Procs"), CustomActions::kNoOptionalProcsCode);
        cboOperation[0]->setCurrentIndex(-1);
        SetCheckValue(Check1[0], CheckBoxValue::Forced);
        Check1[0]->setEnabled(false);
        data.intUserCheckbox(tab, 0, CheckBoxValue::Forced);
    }
}

OptionStore::RowState frmProgram::RowStateOf(int row) const
{
    OptionStore::RowState state;
    state.selectedIndex = cboOperation[row]->currentIndex();
    state.selectedText = state.selectedIndex >= 0 ? cboOperation[row]->currentText() : QString();
    state.checkValue = CheckValue(Check1[row]);
    return state;
}

void frmProgram::SaveCheckboxValue(qint16 tab, qint16 row)
{
    if (row < 0 || row >= cboOperation.size())
        return;
    OptionStore::SaveRow(pgmrData(), tab, row, RowStateOf(row),
                         [this] { return Ask([&] { return Engine().DeviceIsVexal(); }, false); });
}

void frmProgram::RestoreOptionRowSettings(qint16 tab, qint16 row)
{
    if (row < 0 || row >= cboOperation.size())
        return;
    const OptionStore::Restored restored =
        OptionStore::RestoreRow(pgmrData(), tab, row, cboOperation[row]->count(), cboOperation[row]->currentIndex());
    cboOperation[row]->setCurrentIndex(restored.index);
    SetCheckValue(Check1[row], restored.checkValue);
}

void frmProgram::ResetOptionRows()
{
    const int rows = std::min<int>(pgmrData().GetMaximumNumberOfOptions(), cboOperation.size());
    for (int i = 0; i < rows; ++i) {
        ProgressBar1[i]->hide();
        cboOperation[i]->clear();
        cboOperation[i]->hide();
        cboOperation[i]->setEnabled(true);
        Check1[i]->hide();
        Check1[i]->setEnabled(true);
        SetCheckValue(Check1[i], CheckBoxValue::Ticked);
        ProgressBar1[i]->setRange(0, 100);
        ProgressBar1[i]->setValue(0);
    }
    const qint16 tab = qint16(tabOperation->SelectedIndex());
    for (int i = 0; i < rows; ++i)
        RestoreOptionRowSettings(tab, qint16(i));
}

void frmProgram::AddIllegalBitItem(qint16& row)
{
    if (row < 0 || row >= cboOperation.size())
        return;
    if (Ask([&] { return Engine().DeviceSupportsIllegalBitCheck(); }, qint32(0)) != 0)
        cboOperation[row]->addItem(QStringLiteral("Illegal Bit"), OperationCode::IllegalBit);
}

void frmProgram::SaveCheckBoxValues()
{
    const qint16 tab = qint16(tabOperation->SelectedIndex());
    const int rows = std::min<int>(pgmrData().GetMaximumNumberOfOptions(), cboOperation.size());
    for (int row = 0; row < rows; ++row)
        SaveCheckboxValue(tab, qint16(row));
}

void frmProgram::tabOperation_BeforeClick(qint16& Cancel)
{
    Q_UNUSED(Cancel);
    SaveCheckBoxValues();
}

void frmProgram::tabOperation_Click()
{
    if (WhichAction(qint16(tabOperation->SelectedIndex())) != udtAction)
        DisableCheckboxesAsNecessary();
}

void frmProgram::Check1_Click(qint16 index)
{
    Q_UNUSED(index);
    ApplyVerifyRowRule();
    if (!gMainForm)
        return;
    gMainForm->SetButtonMenuLogic();
    if (gMainForm->bInitialized)
        UpdateOptionControls();
}

void frmProgram::cboOperation_Click(qint16 index)
{
    Q_UNUSED(index);
    ApplyVerifyRowRule();
    if (!gMainForm)
        return;
    gMainForm->SetButtonMenuLogic();
    if (gMainForm->bInitialized)
        UpdateOptionControls();
}

void frmProgram::cboBankNum_LostFocus()
{
    // A list without a selection has no bank to give: the engine keeps its own.
    const int index = cboBankNum->currentIndex();
    if (index < 0)
        return;
    pgmrData().lngBankSingle = index;
    Try([&] { Engine().CurrentBank(qint32(index)); });
}

void frmProgram::cboDatPos_LostFocus()
{
    const int index = cboDatPos->currentIndex();
    if (index < 0)
        return;
    pgmrData().lngPosSingle = index;
    Try([&] { Engine().CurrentDataPosition(qint32(index)); });
}

bool frmProgram::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == cboBankNum)
            cboBankNum_LostFocus();
        else if (watched == cboDatPos)
            cboDatPos_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void frmProgram::RefreshGuiSecure()
{
    if (Ask([&] { return Engine().DeviceIsVexal(); }, false))
        return;
    const int rows = std::min<int>(pgmrData().GetMaximumNumberOfOptions(), cboOperation.size());
    for (int row = 0; row < rows; ++row) {
        const QComboBox* combo = cboOperation[row];
        if (combo->isHidden())
            continue;
        for (int j = 0; j < combo->count(); ++j) {
            const qint32 code = combo->itemData(j).toInt();
            const qint32 variants = Ask([&] { return Engine().SecureVariantCount(); }, qint32(0));
            if (code != OperationCode::Secure
                && !(code >= OperationCode::SecureVariantBase && code <= OperationCode::SecureVariantBase + variants))
                continue;
            SetCheckValue(Check1[row],
                          Ask([&] { return Engine().SecureMode(); }, false) ? CheckBoxValue::Ticked
                                                                            : CheckBoxValue::Cleared);
            SaveCheckBoxValues();
            return;
        }
    }
}

void frmProgram::UpdateOptionControls()
{
    // No option row depends on another one yet.
}

void frmProgram::CreateOptionControls()
{
    // Rows beyond the designed ones follow the designed row pitch: the Top of
    // row 1 (row 0 stands at the top of its frame).
    const qint32 comboPitch = tw(cboOperation[1]).top;
    const qint32 checkPitch = tw(Check1[1]).top;
    const qint32 barPitch = tw(ProgressBar1[1]).top;
    const int rows = pgmrData().GetMaximumNumberOfOptions();
    for (int index = cboOperation.size(); index < rows; ++index) {
        const qint16 row = qint16(index);

        auto* combo = new QComboBox(fraOptions);
        combo->setObjectName(QStringLiteral("cboOperation"));
        combo->hide();
        cboOperation << combo;
        Place(combo, tw(cboOperation[0]).left, tw(cboOperation[index - 1]).top + comboPitch, tw(cboOperation[0]).width,
              tw(cboOperation[0]).height);
        connect(combo, &QComboBox::activated, this, [this, row] { cboOperation_Click(row); });

        auto* check = new QCheckBox(fraOptions);
        check->setObjectName(QStringLiteral("Check1"));
        check->hide();
        Check1 << check;
        Place(check, tw(Check1[0]).left, tw(Check1[index - 1]).top + checkPitch, tw(Check1[0]).width,
              tw(Check1[0]).height);
        connect(check, &QCheckBox::clicked, this, [this, row] { Check1_Click(row); });

        auto* bar = new QProgressBar(fraProgressBar);
        bar->setObjectName(QStringLiteral("ProgressBar1"));
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->hide();
        ProgressBar1 << bar;
        Place(bar, tw(ProgressBar1[0]).left, tw(ProgressBar1[index - 1]).top + barPitch, tw(ProgressBar1[0]).width,
              tw(ProgressBar1[0]).height);
    }
}

void frmProgram::ResizeOptionsFrame(qint16 rows)
{
    // No row asked for: the frame stays as it is.
    if (rows < 1)
        return;
    const int last = std::min<int>(rows, cboOperation.size()) - 1;
    const auto bottom = [this](int row) { return tw(cboOperation[row]).top + tw(cboOperation[row]).height; };
    qint32 extra = bottom(last) - bottom(kDesignedRows - 1);
    if (extra < 1)
        extra = 0;
    if (extra == m_optionsExtraHeight)
        return;
    const qint32 change = extra - m_optionsExtraHeight;
    m_optionsExtraHeight = extra;
    tw(fraOptions).height += change;
    ApplyGeometry(fraOptions);
    // The window grows with the frame (its frame window, when it has one);
    // its height is taken before the new minimum can move it.
    QWidget* outer = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    const int outerHeight = outer->height();
    UpdateMinimumSize();
    outer->resize(outer->width(), outerHeight + change / kTwipsPerPixel);
    Form_Resize();
}

qint16 frmProgram::CountCustomActionOptions(const QString& entry) const
{
    return CustomActions::CountOptions(entry);
}

void frmProgram::LoadActionSettings()
{
    ActionSettings::Load(pgmrData(), [this](int tab) { return qint32(WhichAction(qint16(tab))); });
}

void frmProgram::SaveActionSettings()
{
    // Kept like the window's other settings: a failed write loses only this
    // save.
    Try([&] { ActionSettings::Save(pgmrData(), [this](int tab) { return qint32(WhichAction(qint16(tab))); }); });
}

// --- the run: device options, abort trackers ---

void frmProgram::SetDeviceConfigureOptions()
{
    ProgrammerClass& data = pgmrData();
    Try([&] { Engine().CurrentDataPosition(data.lngPosSingle); });
    Try([&] { Engine().CurrentBank(data.lngBankSingle); });
    Try([&] { Engine().DisplayRadix(qint32(data.udtRadix != 0 ? 1 : 0)); });
    Try([&] { Engine().ClearBufferMode(data.bClearBeforeRead); });
    GetDeviceConfigureOptions();
}

void frmProgram::GetDeviceConfigureOptions()
{
    ProgrammerClass& data = pgmrData();
    Try([&] { data.lngPosSingle = Engine().CurrentDataPosition(); });
    Try([&] { data.lngBankSingle = Engine().CurrentBank(); });
    Try([&] { data.udtRadix = Engine().DisplayRadix() == 0 ? 0 : 1; });
    Try([&] { data.bClearBeforeRead = Engine().ClearBufferMode(); });
}

void frmProgram::ResetAbortTrackers()
{
    m_run.ResetAbortTrackers();
}

void frmProgram::Sleep(qint32 seconds)
{
    // A steady clock: a wait across midnight ends on time too.
    std::this_thread::sleep_for(std::chrono::seconds(std::max<qint32>(seconds, 0)));
}

// --- buttons ---

void frmProgram::DeviceButton_Click()
{
    ProgrammerClass& data = pgmrData();
    const QString previous = data.strDeviceName;
    const bool enabled = DeviceButton->isEnabled();
    DeviceButton->setEnabled(false);
    try {
        MarkAllActionsForFreshStore();
        Engine().DisplayRadix(data.udtRadix);
        // The tab's choices are kept before the device changes.
        SaveCheckBoxValues();
        if (Engine().DeviceSelectResult())
            DeviceAccepted();
        SetSelectedDevice();
        // Another device, or the current action lost its tab: the rows are
        // built for the tab now shown.
        if (data.strDeviceName != previous || WhichAction(qint16(tabOperation->SelectedIndex())) != udtAction)
            DisableCheckboxesAsNecessary();
    } catch (const AutomationError&) {
    }
    DeviceButton->setEnabled(enabled);
}

void frmProgram::OptionsButton_Click()
{
    if (!pgmrData().blnDeviceSelected) {
        AppMsgBox(ActionTabs::NoDeviceForOptionsText(), vb::vbOKOnly, App());
        return;
    }
    auto options = std::make_unique<frmDeviceConfigure>(m_station, gMainForm);
    Ui().ShowModal(options.get());
    options.reset();
    RefreshAll();
}

// --- sites and sessions ---

void frmProgram::ConcurrentOperationBegan()
{
    ShowConcurrentFrame();
}

void frmProgram::ShowConcurrentFrame()
{
    // The frame lies over the option rows' progress bars, which would show
    // through between the site boxes.
    fraProgressBar->hide();
    fraConcurrent->show();
    fraConcurrent->raise();
    SiteLayout().LoadControls();
    Form_Resize();
    for (const auto& box : SiteBox) {
        Try([&] { box->ShowIdle(); });
        Try([&] { box->ResetSite(); });
    }
    RefreshAll();
}

void frmProgram::HideConcurrentFrame()
{
    fraConcurrent->hide();
    fraConcurrent->lower();
    fraProgressBar->show();
}

qint32 frmProgram::RepeatCommandOnSite(qint32 site)
{
    return Engine().RepeatSiteCommand(site);
}

qint32 frmProgram::SetSiteReady(qint32 site)
{
    return Engine().MarkSiteReady(site);
}

qint32 frmProgram::SetSiteFinished(qint32 site)
{
    return Engine().MarkSiteFinished(site);
}

// --- check box values ---

qint16 frmProgram::CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return CheckBoxValue::Ticked;
    case Qt::PartiallyChecked: return CheckBoxValue::Forced;
    default: return CheckBoxValue::Cleared;
    }
}

void frmProgram::SetCheckValue(QCheckBox* box, qint16 value)
{
    // Only code greys a box: the operator's clicks go between the other two.
    box->setTristate(value == CheckBoxValue::Forced);
    box->setCheckState(value == CheckBoxValue::Forced       ? Qt::PartiallyChecked
                           : value == CheckBoxValue::Ticked ? Qt::Checked
                                                            : Qt::Unchecked);
}

// --- the site boxes, for the site layout ---

int frmProgram::SiteBoxCount() const
{
    return int(SiteBox.size());
}

bool frmProgram::LoadSiteBox(int index)
{
    if (index != int(SiteBox.size()))
        return false;
    auto box = std::make_unique<SiteBoxControl>();
    try {
        box->Attach(companion::CreateControl(QString::fromLatin1(SiteBoxControl::ClassName)));
        // A new element starts hidden; it names its site from the start, so
        // that a box never placed (one site) still reports as site 1.
        box->Visible(false);
        box->SiteNumber(qint16(index + 1));
    } catch (const AutomationError&) {
        return false;
    }
    if (QWidget* w = box->Control()->Widget()) {
        w->setParent(fraConcurrent);
        w->hide();
    }
    SiteBox.push_back(std::move(box));
    return true;
}

void frmProgram::UnloadSiteBox(int index)
{
    if (index >= 0 && index < int(SiteBox.size()))
        SiteBox.erase(SiteBox.begin() + index);
}

SiteBoxControl& frmProgram::SiteBoxAt(int index)
{
    return *SiteBox.at(size_t(index));
}

qint32 frmProgram::EngineSiteCount()
{
    // One site box per site: a count the station cannot show is taken as one.
    return UsableCount(Ask([&] { return Engine().SiteCount(); }, qint32(1)), kMaxSites, "site count");
}

qint32 frmProgram::UsableCount(qint32 reported, qint32 most, const char* what)
{
    if (reported >= 1 && reported <= most)
        return reported;
    // 0 is the engine's "none": one, as it means.
    if (reported == 0)
        return 1;
    // Said once for each value, not at every refresh that reads it again.
    qint32& last = m_reportedCounts[QLatin1String(what)];
    if (last != reported) {
        last = reported;
        ::WriteLogInfo(QStringLiteral("The engine's %1 %2 is outside 1 to %3: 1 is used.")
                           .arg(QLatin1String(what))
                           .arg(reported)
                           .arg(most),
                       true);
    }
    return 1;
}

// --- the run's host ---

void frmProgram::StatusLine(const QString& text)
{
    AddStatusTextLine(text);
}

int frmProgram::ProgressRowCount() const
{
    return std::min<int>(HasProgrammerData() ? m_station.pgmrData().GetMaximumNumberOfOptions() : 0,
                         ProgressBar1.size());
}

void frmProgram::SetProgressValue(int row, int value)
{
    // A progress bar repaints itself (and the frames behind it) at once on
    // every new value; the engine sends many per device. With updates held
    // the new value shows at the next pump, once per frame.
    QProgressBar* bar = ProgressBar1[row];
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
}

bool frmProgram::ProgressRowChecked(int row) const
{
    return CheckValue(Check1[row]) == CheckBoxValue::Ticked;
}

void frmProgram::ShowSiteStatus(int index, qint32 status, const QString& statusText, const QString& errorText)
{
    SiteBoxControl& box = *SiteBox.at(size_t(index));
    Try([&] { box.StatusText(statusText); });
    // The display of each status; the handler states show nothing of their own.
    const std::pair<qint32, void (SiteBoxControl::*)()> displays[] = {
        {SiteStatus::Passed, &SiteBoxControl::ShowPassed},
        {SiteStatus::Failed, &SiteBoxControl::ShowFailed},
        {SiteStatus::Idle, &SiteBoxControl::ShowIdle},
        {SiteStatus::Active, &SiteBoxControl::ShowActive},
        {SiteStatus::Ready, &SiteBoxControl::ShowReady},
        {SiteStatus::NotApplicable, &SiteBoxControl::ShowNotApplicable},
    };
    if (status == SiteStatus::Failed)
        Try([&] { box.ErrorText(errorText); });
    for (const auto& [code, show] : displays) {
        if (code == status)
            Try([&] { (box.*show)(); });
    }
}

void frmProgram::UpdateButtonStates()
{
    SetButtonStates();
}

void frmProgram::LockOptionSettings(bool locked)
{
    EnableOperationSettings(!locked);
}

void frmProgram::PumpEvents()
{
    // Painting the window more often than the screen shows a frame only
    // slows the run; a press of Stop waits at most one frame.
    if (m_pumpClock.isValid() && m_pumpClock.elapsed() < kPumpIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_pumpClock.start();
}

qint32 frmProgram::Prompt(const QString& text, qint32 buttons, const QString& title)
{
    // The run's boxes are the station's message boxes: a silent engine has
    // them written to the status line, answered OK.
    return AppMsgBox(text, buttons, title);
}

qint16 frmProgram::EngineSiteSlotCount()
{
    return Ask([&] { return Engine().SiteSlotCount(); }, qint16(1));
}

qint32 frmProgram::HandlerType()
{
    return pgmrData().udtHandlerType;
}

void frmProgram::LogLine(const QString& text)
{
    ::WriteLogInfo(text, true);
}

H950HdlrControl& frmProgram::AutoHandler()
{
    return m_station.QXH950AutoHandler;
}

ManualHdlControl& frmProgram::ManualHandler()
{
    return m_station.ConcurrentManualHandler;
}

int frmProgram::ProgressValue(int row) const
{
    return row >= 0 && row < ProgressBar1.size() ? ProgressBar1[row]->value() : 0;
}

OperationRun::OptionRow frmProgram::Row(int row) const
{
    OperationRun::OptionRow r;
    if (row < 0 || row >= cboOperation.size() || row >= Check1.size())
        return r;
    const QComboBox* combo = cboOperation[row];
    r.check = CheckValue(Check1[row]);
    r.hasSelection = combo->currentIndex() >= 0;
    if (r.hasSelection) {
        r.code = combo->itemData(combo->currentIndex()).toInt();
        r.text = combo->currentText();
    }
    r.visible = !combo->isHidden();
    r.enabled = combo->isEnabled();
    return r;
}

qint32 frmProgram::CurrentAction() const
{
    return udtAction;
}

qint32 frmProgram::ActionCount() const
{
    return lngNumberOfActions;
}

QString frmProgram::SelectedTabCaption() const
{
    return tabOperation->Caption(tabOperation->SelectedIndex());
}

QList<bool> frmProgram::ProcRequired() const
{
    return blnProcRequired;
}

qint32 frmProgram::DataPositionIndex() const
{
    return cboDatPos->currentIndex();
}

qint32 frmProgram::BankIndex() const
{
    return cboBankNum->currentIndex();
}

qint32 frmProgram::ActiveCountShown() const
{
    return m_sDevicesActiveValue->text().trimmed().toInt();
}

void frmProgram::EnableMenu(bool enable)
{
    if (gMainForm)
        gMainForm->EnableMenu(enable);
}

bool frmProgram::ActionButtonAvailable() const
{
    return btnAction->isEnabled() && !btnAction->isHidden();
}

void frmProgram::DisableStopButton()
{
    btnStop->setEnabled(false);
}

void frmProgram::AskJobID()
{
    funcAskJobID();
}

void frmProgram::SetBufferSource(const QString& name, const QDateTime& date, qint16 type)
{
    BufferType(name, date, type);
}
