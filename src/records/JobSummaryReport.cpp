#include "JobSummaryReport.h"

#include "JobRecordLog.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/Twips.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextOption>
#include <cmath>
#include <memory>

using enginecall::Ask;

namespace {

constexpr double kTitleSize = 14;
constexpr double kNoticeSize = 12;
constexpr double kBodySize = 8;
constexpr qint32 kStaplFileType = 16;
constexpr qint32 kJedecFileType = 13;
constexpr double kNoDaughterCard = 4294967295.0;

QString Place(const QString& text, JobSummaryReport::Template fieldTemplate)
{
    const int width = int(fieldTemplate);
    // The counter templates fill from the right; a longer text shows whole.
    if (fieldTemplate == JobSummaryReport::Template::CounterLabel
        || fieldTemplate == JobSummaryReport::Template::CounterValue)
        return text.rightJustified(width, QLatin1Char(' '));
    return text.leftJustified(width, QLatin1Char(' '));
}

QString Hex(qint64 value)
{
    return QString::number(quint32(value), 16).toUpper();
}

QString WholeNumber(double value)
{
    return QString::number(value, 'f', 0);
}

QString HandlerTypeText(qint32 handlerType)
{
    switch (handlerType) {
    case 0: return QStringLiteral("Concurrent handler");
    case 1: return QStringLiteral("6x00 handler");
    case 2: return QStringLiteral("8x00 handler");
    default: return QStringLiteral("N/A");
    }
}

[[noreturn]] void MissingControl(const char* what)
{
    throw AutomationError(ControlAccessor::ErrObjectNotSet, QStringLiteral("Tarvo"),
                          QStringLiteral("Object variable not set (%1)").arg(QLatin1String(what)));
}

} // namespace

JobSummaryReport::JobSummaryReport(QTextDocument* document, JobSummaryInputs inputs)
    : m_in(std::move(inputs)),
      m_document(document),
      m_cursor(document)
{
    m_cursor.movePosition(QTextCursor::End);
    // Qt's document layout takes tab stops from the block format only: the
    // blocks the report writes carry the box's stops.
    QTextBlockFormat block;
    block.setTabPositions(document->defaultTextOption().tabs());
    m_cursor.mergeBlockFormat(block);
}

namespace {

// Whether one column is one character of any emphasis: "i", "W" and the
// space advance alike in the plain, bold and italic faces.
bool HasEqualAdvances(const QFont& font)
{
    const qreal column = QFontMetricsF(font).horizontalAdvance(QLatin1Char(' '));
    if (column <= 0)
        return false;
    QFont bold = font;
    bold.setBold(true);
    QFont italic = font;
    italic.setItalic(true);
    for (const QFont& face : {font, bold, italic}) {
        const QFontMetricsF metrics(face);
        for (const QChar c : {QLatin1Char('i'), QLatin1Char('W'), QLatin1Char(' ')})
            if (std::abs(metrics.horizontalAdvance(c) - column) > 0.01)
                return false;
    }
    return true;
}

// The first family whose advances really are equal: the desktop's fixed
// font, then the usual fixed families. Qt's fixed-pitch flag is no guide:
// fontconfig calls some monospaced families proportional, and "monospace"
// may resolve to a family that is not.
QString ChooseReportFamily()
{
    QStringList candidates{QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
    candidates << QStringLiteral("DejaVu Sans Mono") << QStringLiteral("Liberation Mono")
               << QStringLiteral("Noto Sans Mono") << QStringLiteral("Noto Mono") << QStringLiteral("Ubuntu Mono")
               << QStringLiteral("Nimbus Mono PS") << QStringLiteral("FreeMono") << QStringLiteral("Courier New")
               << QStringLiteral("Courier");
    for (const QString& family : std::as_const(candidates)) {
        QFont font(family);
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(kBodySize);
        // The family the name resolves to on this machine is the one used.
        if (HasEqualAdvances(font))
            return QFontInfo(font).family();
    }
    return candidates.first();
}

} // namespace

QFont JobSummaryReport::ReportFont()
{
    // The fonts of a running station do not change: chosen once.
    static const QString family = ChooseReportFamily();
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(kBodySize);
    return font;
}

void JobSummaryReport::PrepareDocument(QTextDocument* document)
{
    const QFont font = ReportFont();
    document->setDefaultFont(font);
    // Bold and italic keep the advance of a fixed-pitch font: one column
    // is one character of any emphasis.
    const qreal column = QFontMetricsF(font).horizontalAdvance(QLatin1Char(' '));
    QTextOption option = document->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (int stop : kTabColumns)
        tabs << QTextOption::Tab(stop * column, QTextOption::LeftTab);
    option.setTabs(tabs);
    option.setTabStopDistance(kTabColumnsAfter * column);
    document->setDefaultTextOption(option);
}

QString JobSummaryReport::LaidOutText(const QString& plainText)
{
    QString out;
    out.reserve(plainText.size() * 2);
    int column = 0;
    for (const QChar c : plainText) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            out += c;
            column = 0;
            continue;
        }
        if (c != QLatin1Char('\t')) {
            out += c;
            ++column;
            continue;
        }
        // The first stop past the column, as the window's layout takes it.
        int stop = 0;
        for (int s : kTabColumns) {
            if (s > column) {
                stop = s;
                break;
            }
        }
        if (stop == 0)
            stop = (column / kTabColumnsAfter + 1) * kTabColumnsAfter;
        out += QString(stop - column, QLatin1Char(' '));
        column = stop;
    }
    return out;
}

void JobSummaryReport::Print(const QTextDocument& report, const QTextCursor& part, QPagedPaintDevice* device)
{
    // A copy keeps the report's fonts, tab stops and emphases; of a part,
    // the text before and after it is taken out.
    const std::unique_ptr<QTextDocument> copy(report.clone());
    if (part.hasSelection()) {
        QTextCursor cut(copy.get());
        cut.setPosition(part.selectionEnd());
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        cut.setPosition(0);
        cut.setPosition(part.selectionStart(), QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    if (device->width() <= 0 || device->logicalDpiX() <= 0) {
        copy->print(device); // a device without a page: as it comes
        return;
    }
    copy->setTextWidth(-1); // each line at its own width
    const qreal widest = copy->idealWidth() - copy->documentMargin();

    // The page in the units the report is laid out in (the screen's), with
    // the margins a printed document gets; the printer shows it scaled to
    // its own page.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96;
    const qreal margin = 2 / 2.54 * dpi;
    const qreal printable = device->width() * dpi / device->logicalDpiX();
    const qreal pageWidth = std::max(printable, std::ceil(widest) + 2 * margin + 1);
    const qreal pageHeight = pageWidth * device->height() / device->width();
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(margin);
    copy->rootFrame()->setFrameFormat(frame);
    copy->setPageSize(QSizeF(pageWidth, pageHeight));
    copy->print(device);
}

QTextCharFormat JobSummaryReport::HeadingEmphasis()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    format.setFontUnderline(true);
    return format;
}

QTextCharFormat JobSummaryReport::LabelEmphasis()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

QTextCharFormat JobSummaryReport::ValueEmphasis()
{
    QTextCharFormat format;
    format.setFontItalic(true);
    return format;
}

// --- primitives ---

void JobSummaryReport::Insert(const QString& text)
{
    m_cursor.insertText(text, m_format);
}

void JobSummaryReport::SetEmphasis(const QTextCharFormat& emphasis, bool on)
{
    // An emphasis switched off returns its properties to the plain text's.
    if (emphasis.hasProperty(QTextFormat::FontWeight))
        m_format.setFontWeight(on ? emphasis.fontWeight() : QFont::Normal);
    if (emphasis.hasProperty(QTextFormat::FontUnderline))
        m_format.setFontUnderline(on && emphasis.fontUnderline());
    if (emphasis.hasProperty(QTextFormat::FontItalic))
        m_format.setFontItalic(on && emphasis.fontItalic());
}

void JobSummaryReport::AddHeading(const QString& title)
{
    SetEmphasis(HeadingEmphasis(), true);
    Insert(QStringLiteral("\n") + title + QStringLiteral(":\n"));
    SetEmphasis(HeadingEmphasis(), false);
}

void JobSummaryReport::AddLabel(const QString& label, Template fieldTemplate)
{
    SetEmphasis(LabelEmphasis(), true);
    Insert(QStringLiteral("\t") + Place(label, fieldTemplate));
    SetEmphasis(LabelEmphasis(), false);
}

void JobSummaryReport::AddSubLabel(const QString& label)
{
    SetEmphasis(LabelEmphasis(), true);
    Insert(QStringLiteral("\t   ") + Place(label, Template::SubLabel));
    SetEmphasis(LabelEmphasis(), false);
}

void JobSummaryReport::AddValue(int tabCount, const QString& text, bool emphasised)
{
    for (int i = 0; i < tabCount; ++i)
        Insert(QStringLiteral("\t"));
    SetEmphasis(ValueEmphasis(), emphasised);
    // The line end goes in on its own: a carriage return a value ends with
    // stays a line end of its own, not part of this one.
    Insert(text);
    Insert(QStringLiteral("\n"));
    SetEmphasis(ValueEmphasis(), false);
}

void JobSummaryReport::LabelLine(const QString& label, const QString& value, bool emphasised)
{
    AddLabel(label);
    AddValue(1, value, emphasised);
}

void JobSummaryReport::AddCounterRow(const QString& label1, double number1, const QString& label2, double number2,
                                     const QString& label3, double number3, const QString& extra)
{
    const QString plainFamily = m_document->defaultFont().family();
    // Each label starts at a tab stop of its own.
    const auto pair = [&](const QString& label, double number) {
        Insert(QStringLiteral("\t") + Place(label, Template::CounterLabel));
        m_format.setFontFamilies({CounterFontFamily()});
        Insert(Place(WholeNumber(number), Template::CounterValue));
        m_format.setFontFamilies({plainFamily});
    };
    pair(label1, number1);
    pair(label2, number2);
    if (!label3.isEmpty()) {
        pair(label3, number3);
        Insert(QStringLiteral("\t") + Place(extra, Template::CounterValue));
    }
    Insert(QStringLiteral("\n"));
}

void JobSummaryReport::AppendToRecord(int column, const QString& text)
{
    if (m_in.user.isEmpty() || m_in.logDir.isEmpty())
        return;
    m_record.Set(column, text);
}

QString JobSummaryReport::FormatYield(qint64 part, qint64 other)
{
    if (part == 0 && other == 0)
        return QStringLiteral("N/A");
    // In 64 bits: part * 10000 no longer overflows past 214,748 devices. The
    // whole part and the hundredths come from one rounded value (half to
    // even), so 99.996% reads 100.00%.
    const double x = double(part * 10000) / double(part + other);
    const qint64 n = qint64(std::nearbyint(x));
    return QStringLiteral("%1.%2%").arg(n / 100).arg(n % 100, 2, 10, QLatin1Char('0'));
}

JobSummaryReport::DeviceCounts JobSummaryReport::GetJobDeviceCounts()
{
    DeviceCounts counts;
    if (m_in.udtHandlerType == 1 || m_in.udtHandlerType == 2) {
        counts.failed = AutoHandler().HandlerValue4();
        counts.passed = AutoHandler().HandlerValue3();
    } else {
        counts.failed = m_in.counters.lngNumFailed;
        counts.passed = m_in.counters.lngNumPassed;
    }
    counts.total = counts.failed + counts.passed;
    return counts;
}

// --- controls ---

QXPgmrControl& JobSummaryReport::Engine()
{
    if (!m_in.engine)
        MissingControl("QXProgrammer");
    return *m_in.engine;
}

H950HdlrControl& JobSummaryReport::AutoHandler()
{
    if (!m_in.autoHandler)
        MissingControl("QXH950AutoHandler");
    return *m_in.autoHandler;
}

ManualHdlControl& JobSummaryReport::ManualHandler()
{
    if (!m_in.manualHandler)
        MissingControl("ConcurrentManualHandler");
    return *m_in.manualHandler;
}

SiteBoxControl& JobSummaryReport::Site(int index)
{
    SiteBoxControl* site = m_in.siteBox ? m_in.siteBox(index) : nullptr;
    if (!site)
        MissingControl("SiteBox");
    return *site;
}

template <class F>
void JobSummaryReport::Section(F&& section)
{
    enginecall::Try(std::forward<F>(section));
}

bool JobSummaryReport::IsMediaTransferJob()
{
    return m_in.udtHandlerType != 0 && Ask([&] { return AutoHandler().AutoHandlerInUse(); }, false);
}

// --- the report ---

void JobSummaryReport::BuildReport()
{
    m_record.Clear();
    const QList<qint32> failures = {
        m_in.counters.lngNumFailedAlreadySecured, m_in.counters.lngNumFailedBadID,
        m_in.counters.lngNumFailedContinuity,     m_in.counters.lngNumFailedErase,
        m_in.counters.lngNumFailedFunctionality,  m_in.counters.lngNumFailedIllegalBit,
        m_in.counters.lngNumFailedNonBlank,       m_in.counters.lngNumFailedOverCurrent,
        m_in.counters.lngNumFailedProgramming,    m_in.counters.lngNumFailedSecurity,
        m_in.counters.lngNumFailedVerify,         m_in.counters.lngNumFailedOther,
    };
    m_categoryCount.fill(0);
    for (int i = 0; i < failures.size(); ++i)
        m_categoryCount[size_t(i + 1)] = failures[i];

    AppendToRecord(JobRecord::kUser, m_in.user);
    AppendToRecord(JobRecord::kHandlerType, HandlerTypeText(m_in.udtHandlerType));

    const QLocale system = QLocale::system();
    m_format.setFontPointSize(kTitleSize);
    SetEmphasis(HeadingEmphasis(), true);
    Insert(QStringLiteral("Job Summary  --  ") + system.toString(m_in.now.date(), QLocale::LongFormat)
           + QStringLiteral("  ") + system.toString(m_in.now.time(), QLocale::LongFormat) + QStringLiteral("\n"));
    SetEmphasis(HeadingEmphasis(), false);
    // Other tools parse this column: English names whatever the locale.
    AppendToRecord(JobRecord::kDateTime, QLocale::c().toString(m_in.now, QStringLiteral("ddd MMM dd HH:mm:ss yyyy")));

    if (m_in.blnStopClicked) {
        m_format.setFontPointSize(kNoticeSize);
        SetEmphasis(ValueEmphasis(), true);
        m_format.setForeground(QColor(255, 0, 0));
        Insert(QStringLiteral("\nThis job has been stopped.\n"));
        m_format.setForeground(QColor(0, 0, 0));
        SetEmphasis(ValueEmphasis(), false);
    }
    m_format.setFontPointSize(kBodySize);

    Section([&] { ReportJob(); });
    Section([&] { ReportDataPatternFile(); });
    Section([&] { ReportDevice(); });

    DeviceCounts counts;
    Section([&] { counts = GetJobDeviceCounts(); });

    if (m_in.selectedTabCaption == QLatin1String("&Program")) {
        Section([&] { ReportSerialization(counts.total); });
    } else if (Ask([&] { return Engine().DeviceSupportsStaplSerialization(); }, false)
               && Ask([&] { return Engine().DataFileTypeCode(); }, qint32(-1)) == kStaplFileType) {
        Section([&] { ReportStaplSerialization(); });
    }
    if (m_in.udtHandlerType != 0)
        Section([&] { ReportAutoHandler(); });
    Section([&] { ReportStatistics(counts); });
    if (m_in.udtHandlerType != 0 && Ask([&] { return AutoHandler().HandlerKind(); }, qint32(0)) == 1)
        Section([&] { ReportVisionInspection(); });

    if (counts.total <= 1)
        return;
    if (Ask([&] { return Engine().IsConcurrentProgrammer(); }, false) && m_in.actionIsRepeatable
        && m_in.lngNumCopies != 1 && m_in.firstSiteBoxVisible)
        Section([&] { ReportSiteYields(); });
    Section([&] { ReportSocketCounters(); });
    WriteJobRecord();
}

void JobSummaryReport::ReportJob()
{
    AddHeading(QStringLiteral("Job"));
    if (IsMediaTransferJob())
        LabelLine(QStringLiteral("Warning:"), QStringLiteral("Devices not programmed. Media transfer only."), true);
    LabelLine(QStringLiteral("Name:"), m_in.strJobName, true);
    LabelLine(QStringLiteral("Operating Mode:"),
              m_in.bStartInOperatorMode ? QStringLiteral("Operator Mode") : QStringLiteral("Supervisor Mode"), true);
    if (!m_in.strJobID.isEmpty())
        LabelLine(QStringLiteral("Job ID:"), m_in.strJobID, true);
    const quint32 v = quint32(Engine().EngineVersion());
    LabelLine(QStringLiteral("Software Revision:"),
              QStringLiteral("V%1.%2.%3\r").arg(Hex(v / 65536), Hex((v % 65536) / 256), Hex(v % 256)), true);
    QString model = Engine().ProgrammerModelName();
    const qsizetype slash = model.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        model.truncate(slash);
    LabelLine(QStringLiteral("Programmer:"), model, true);
}

void JobSummaryReport::ReportDataPatternFile()
{
    if (IsMediaTransferJob())
        return;
    AddHeading(QStringLiteral("Data Pattern File"));
    LabelLine(QStringLiteral("Name:"), m_in.bufferName, true);
    if (!m_in.isVexalDeviceOrAfmOrStaplFile)
        LabelLine(QStringLiteral("CSUM:"), Engine().ChecksumText(), false);
    if (Engine().DataFileTypeCode() == kJedecFileType)
        LabelLine(QStringLiteral("Fuse CheckSum:"), Hex(Engine().FuseChecksum()) + QStringLiteral("h"), false);
    LabelLine(QStringLiteral("Date:"), m_in.bufferDate, false);
    if (!m_in.isVexalDeviceOrAfmOrStaplFile) {
        const qint32 n = m_in.lngFileSize;
        QString size;
        if (Engine().SizeInFuses())
            size = QString::number(n) + QStringLiteral(" fuses");
        else if (m_in.udtRadix == 0)
            size = QString::number(n);
        else
            size = Hex(n) + QStringLiteral("h");
        LabelLine(QStringLiteral("Size:"), size.trimmed(), false);
    }
}

void JobSummaryReport::ReportDevice()
{
    if (IsMediaTransferJob())
        return;
    AddHeading(QStringLiteral("Device"));
    LabelLine(QStringLiteral("Name:"), m_in.strDeviceName, true);
    if (!m_in.isVexalDeviceOrAfmOrStaplFile)
        LabelLine(QStringLiteral("Size:"), m_in.strDeviceSize, false);
    AddLabel(QStringLiteral("Operations:"));
    AddValue(1, m_in.operationsLog.value(0), false);
    for (qsizetype i = 1; i < m_in.operationsLog.size(); ++i) {
        if (!m_in.operationsLog[i].isEmpty())
            AddValue(4, m_in.operationsLog[i], false);
    }
}

void JobSummaryReport::ReportStatistics(const DeviceCounts& counts)
{
    AddHeading(QStringLiteral("Statistics"));
    LabelLine(QStringLiteral("Successful operations:"), QString::number(counts.passed), true);
    m_categoryCount[0] = counts.passed;
    AppendToRecord(JobRecord::kPassed, QString::number(counts.passed));
    for (int i = 1; i <= 12; ++i)
        AppendToRecord(JobRecord::kFirstCategory + i - 1, QString::number(m_categoryCount[size_t(i)]));
    LabelLine(QStringLiteral("Failure operations:"), QString::number(counts.failed), false);
    LabelLine(QStringLiteral("Total operations:"), QString::number(counts.total), false);
    AddValue(3, QStringLiteral(" "), false);
    ReportFailureDetails(counts.failed);
    const QString yield = FormatYield(counts.passed, counts.failed);
    LabelLine(QStringLiteral("Overall Yield:"), yield, false);
    AppendToRecord(JobRecord::kOverallYield, yield);

    if (m_in.udtHandlerType != 0 && !AutoHandler().AutoHandlerInUse()) {
        ReportHandlerTimes();
    } else if (m_in.lngNumCopies >= 2 && m_in.udtHandlerType == 0 && Engine().IsConcurrentProgrammer()) {
        ReportUnitsPerHour(ManualHandler().SessionValue1004());
    }
}

void JobSummaryReport::ReportFailureDetails(qint64 failed)
{
    if (failed == 0)
        return;
    AddLabel(QStringLiteral("Failure operation details:"));
    AddValue(1, QStringLiteral(" "), false);
    if (m_in.udtHandlerType == 1 || m_in.udtHandlerType == 2)
        ReportHandlerBins();
    ReportFailureCategories(false);
    AddValue(1, QStringLiteral(" "), false);
}

void JobSummaryReport::ReportHandlerBins()
{
    const qint32 binCount = AutoHandler().BinCount();
    for (qint32 i = 0; i < binCount; ++i) {
        if (AutoHandler().BinFlagAAt(i) == 0)
            continue;
        if (AutoHandler().BinFlagBAt(i) != 0) {
            ReportFailureCategories(true);
        } else {
            AddSubLabel(AutoHandler().BinLabelAt(i));
            AddValue(1, QString::number(AutoHandler().BinCountAt(i)), false);
        }
    }
}

void JobSummaryReport::ReportFailureCategories(bool forced)
{
    if (m_in.udtHandlerType != 0 && !forced)
        return;
    for (int i = 1; i <= 12; ++i) {
        if (m_categoryCount[size_t(i)] > 0) {
            AddSubLabel(JobRecord::CategoryNames().at(i));
            AddValue(1, QString::number(m_categoryCount[size_t(i)]), false);
        }
    }
}

void JobSummaryReport::ReportHandlerTimes()
{
    H950HdlrControl& handler = AutoHandler();
    LabelLine(QStringLiteral("Start Time:"), handler.JobStartTime().toString(), false);
    LabelLine(QStringLiteral("End Time:"), handler.JobEndTime().toString(), false);
    const qint32 runTime = handler.JobRunTime();
    ReportUnitsPerHour(runTime);
    AddValue(1, QStringLiteral(" "), false);
    const qint32 potential = handler.PotentialUnitsPerHour();
    LabelLine(QStringLiteral("Potential Units/Hour:"), QString::number(potential), true);
    LabelLine(QStringLiteral("Delay Time During the Job:"), handler.DelayTime().toString(), true);
    const double efficiency = potential == 0 ? 0.0 : double(runTime) / double(potential) * 100.0;
    LabelLine(QStringLiteral("Operation Efficiency:"), QString::number(efficiency, 'f', 2) + QStringLiteral("%"), true);
}

void JobSummaryReport::ReportUnitsPerHour(qint32 units)
{
    LabelLine(QStringLiteral("Units/Hour:"), QString::number(units), false);
    AppendToRecord(JobRecord::kUnitsPerHour, QString::number(units));
}

void JobSummaryReport::ReportAutoHandler()
{
    if (AutoHandler().AutoHandlerInUse())
        return;
    AddHeading(QStringLiteral("AutoHandler"));
    const qint32 interval = AutoHandler().EmptySocketTestInterval();
    LabelLine(QStringLiteral("Empty Socket Test Interval:"),
              interval >= 1 ? QString::number(interval) : QStringLiteral("N/A"), false);
}

void JobSummaryReport::ReportSerialization(qint64 total)
{
    QXPgmrControl& e = Engine();
    AddHeading(QStringLiteral("Serialization"));
    QString type = QStringLiteral("None");
    qint32 probe = 0;
    if (e.SerializationValueAt245(probe) != 0 && e.SerializationField244())
        type = e.SerializationField260() != 0 ? QStringLiteral("Complex") : QStringLiteral("Simple");
    LabelLine(QStringLiteral("Type:"), type, true);
    if (type == QLatin1String("None"))
        return;
    LabelLine(QStringLiteral("Serialization Working Dir.:"), m_in.sWorkingDirectoryAtLaunch, false);
    const bool simple = type == QLatin1String("Simple");
    if (!simple) {
        const QString command = e.SerializationField236().trimmed();
        const QString program = e.SerializationValueAt314(command);
        LabelLine(QStringLiteral("Program File:"), program, false);
        // The arguments are what follows the program path in the command
        // (quoted or not); Linux programs carry no ".exe" to look for.
        QString rest;
        const qsizetype at = program.isEmpty() ? -1 : command.indexOf(program);
        if (at >= 0) {
            rest = command.mid(at + program.size());
            if (at > 0 && command.at(at - 1) == QLatin1Char('"') && rest.startsWith(QLatin1Char('"')))
                rest.remove(0, 1);
        }
        rest = rest.trimmed();
        if (!rest.isEmpty())
            LabelLine(QStringLiteral("Command Line Arguments:"), rest, false);
    }
    ReportSerializationFiles(type);
    if (!simple) {
        LabelLine(QStringLiteral("Resume from Last SN in file:"),
                  e.SerializationField243() != 0 ? QStringLiteral("Enabled") : QStringLiteral("Disabled"), false);
    } else {
        const QVariant address = e.SerializationField237();
        bool numeric = false;
        const qint64 addressValue = address.toLongLong(&numeric);
        QString addressText = address.toString();
        if (e.SerializationField242() != 0 && numeric)
            addressText = Hex(addressValue) + QStringLiteral("h");
        LabelLine(QStringLiteral("SN Buffer Address:"), addressText, false);
        LabelLine(QStringLiteral("Serial Number Size (bytes):"), QString::number(e.SerializationField238()), false);
        LabelLine(QStringLiteral("Buffer Bytes to Skip:"),
                  e.SerializationField239() != 0 ? QStringLiteral("Every Other") : QStringLiteral("None"), false);
        LabelLine(QStringLiteral("Byte Order:"),
                  e.SerializationField240() != 0 ? QStringLiteral("Forward") : QStringLiteral("Reverse"), false);
    }
    QString first = QStringLiteral("N/A");
    if (total >= 1) {
        first = e.SerializationIndexRange();
        if (simple && e.SerializationField242() > 0)
            first += QStringLiteral("h");
    }
    LabelLine(QStringLiteral("First Serial Number:"), first, false);
}

void JobSummaryReport::ReportSerializationFiles(const QString& typeText)
{
    QXPgmrControl& e = Engine();
    LabelLine(QStringLiteral("Data File:"), e.SerialDataFilePath(), false);
    if (e.IsConcurrentProgrammer())
        LabelLine(QStringLiteral("Log File:"), e.SerialLogFilePath(), false);
    if (typeText != QLatin1String("STAPL"))
        LabelLine(QStringLiteral("Verify Serial Number:"),
                  e.SerialVerifyEnabled() ? QStringLiteral("Enabled") : QStringLiteral("Disabled"), false);
    LabelLine(QStringLiteral("Attempt Retry of Failed SN:"),
              e.SerializationField241() != 0 ? QStringLiteral("Enabled") : QStringLiteral("Disabled"), false);
}

void JobSummaryReport::ReportStaplSerialization()
{
    AddHeading(QStringLiteral("Serialization"));
    ReportSerializationFiles(QStringLiteral("STAPL"));
    LabelLine(QStringLiteral("Index Range:"), Engine().SerializationIndexRange(), false);
}

void JobSummaryReport::ReportVisionInspection()
{
    H950HdlrControl& handler = AutoHandler();
    AddHeading(QStringLiteral("2D Vision Inspection Statistics"));
    // As the handler gives it: a 16-bit reading would turn large numbers
    // negative.
    LabelLine(QStringLiteral("Program Number:"),
              QString::number(handler.GetByName(QStringLiteral("InspectionProgramNumber")).toLongLong()), true);
    LabelLine(QStringLiteral("File Name:"), handler.InspectionFileName(), false);
    LabelLine(QStringLiteral("Total Number Of Parts Inspected:"), QString::number(handler.PartsInspected()), false);
    AddValue(1, QStringLiteral(" "), false);
    for (qint32 i = 0; i < 8; ++i) {
        AddLabel(QStringLiteral("    ") + handler.InspectionLabelAt(i) + QStringLiteral(":"));
        AddValue(1,
                 QStringLiteral("Passed: %1\tFailed: %2")
                     .arg(handler.InspectionPassedAt(i))
                     .arg(handler.InspectionFailedAt(i)),
                 false);
    }
}

void JobSummaryReport::ReportSiteYields()
{
    AddHeading(QStringLiteral("Site Yields"));
    const qint32 siteCount = Engine().SiteCount();
    for (qint32 i = 0; i < siteCount; ++i) {
        SiteBoxControl& site = Site(i);
        AddLabel(QStringLiteral("Site ") + site.SiteLabel() + QStringLiteral(":"), Template::SiteLabel);
        const qint32 passed = site.SitePassedCount();
        const qint32 failed = site.SiteFailedCount();
        const qint32 total = site.SiteTotalCount();
        const QString yield = FormatYield(passed, failed);
        AddCounterRow(QStringLiteral("Passed: "), passed, QStringLiteral("Failed: "), failed, QStringLiteral("Total: "),
                      total, yield);
        const int column = JobRecord::kFirstSiteYield + 4 * i;
        if (i < JobRecord::JOBSUM_MAX_SITES) {
            AppendToRecord(column, QString::number(passed));
            AppendToRecord(column + 1, QString::number(failed));
            AppendToRecord(column + 2, QString::number(total));
            AppendToRecord(column + 3, yield);
        }
    }
}

void JobSummaryReport::ReportSocketCounters()
{
    QXPgmrControl& e = Engine();
    AddHeading(QStringLiteral("Socket Module Insertion Counters"));
    const qint32 siteCount = e.SiteCount();
    for (qint32 i = 0; i < siteCount; ++i) {
        AddLabel(QStringLiteral("Site ") + Site(i).SiteLabel() + QStringLiteral(":"), Template::SiteLabel);
        qint32 smTotal = 0, smSinceReset = 0, dcTotal = 0, dcSinceReset = 0;
        const qint32 result = e.SocketModuleCount(i + 1, smTotal, smSinceReset, dcTotal, dcSinceReset);
        const int column = JobRecord::kFirstOdometer + 2 * i;
        const auto record = [&](double base, double socket) {
            if (i < JobRecord::JOBSUM_MAX_SITES) {
                AppendToRecord(column, WholeNumber(base));
                AppendToRecord(column + 1, WholeNumber(socket));
            }
        };
        // The counters are unsigned; all ones marks an absent daughter card.
        const double smT = quint32(smTotal), smR = quint32(smSinceReset);
        const double dcT = quint32(dcTotal), dcR = quint32(dcSinceReset);
        if (result != 0) {
            AddValue(1, Place(QStringLiteral("N/A"), Template::CounterValue), false);
        } else if (e.SiteSlotCount() > 1) {
            AddCounterRow(QStringLiteral("Total: "), dcT, QStringLiteral("Since Reset: "), dcR);
            record(dcT, dcR);
        } else if (dcT != kNoDaughterCard && dcR != kNoDaughterCard) {
            AddCounterRow(QStringLiteral("Daughter Card Total: "), dcT, QStringLiteral("Daughter Card Since Reset: "),
                          dcR);
            record(dcT, dcR);
        } else {
            AddCounterRow(QStringLiteral("Total: "), smT, QStringLiteral("Since Reset: "), smR);
            record(smT, smR);
        }
    }
}

void JobSummaryReport::WriteJobRecord()
{
    if (m_in.user.isEmpty() || m_in.logDir.isEmpty())
        return;
    m_recordAttempted = true;
    m_recordWritten = JobRecordLog::Append(m_in.logDir, JobRecord::HeaderLine(), m_record.Line(), &m_recordError);
}
