#pragma once

// The job summary of a finished job: a formatted report written into a text
// document (title, stopped notice, job, data pattern, device, serialization,
// handler, statistics with failure categories, vision, site yields and socket
// counters) and, beside it, the job's row of the job record log. It only
// reads: the windows hand over their values, the controls are read through
// their accessors. An error while reading ends only the section it occurs in.

#include "JobRecord.h"
#include "operation/RunCounters.h"

#include <QDateTime>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <array>
#include <functional>

class QPagedPaintDevice;
class QTextDocument;
class QXPgmrControl;
class H950HdlrControl;
class ManualHdlControl;
class SiteBoxControl;

// What the report reads outside the controls: the operation window's
// counters and members, its job configuration and the main window's values,
// taken when the summary is built.
struct JobSummaryInputs
{
    QString user;   // USER
    QString logDir; // QXELOG
    QDateTime now = QDateTime::currentDateTime();

    RunCounters counters;
    bool blnStopClicked = false;
    QString selectedTabCaption; // "&Program" for the program tab
    QString bufferName;
    QString bufferDate;
    QStringList operationsLog;
    bool actionIsRepeatable = false; // of the window's udtAction
    bool firstSiteBoxVisible = false;

    // job configuration
    qint32 udtHandlerType = 0;
    QString strJobName;
    QString strJobID;
    bool bStartInOperatorMode = false;
    qint32 lngFileSize = 0;
    qint32 udtRadix = 0;
    QString strDeviceName;
    QString strDeviceSize;

    // main window
    bool isVexalDeviceOrAfmOrStaplFile = false;
    qint32 lngNumCopies = 1;
    QString sWorkingDirectoryAtLaunch;

    // The controls; a missing one ends the sections that read it.
    QXPgmrControl* engine = nullptr;
    H950HdlrControl* autoHandler = nullptr;
    ManualHdlControl* manualHandler = nullptr;
    // Site control i (site i + 1); nullptr when the window has none.
    std::function<SiteBoxControl*(int)> siteBox;
};

class JobSummaryReport
{
public:
    // Widths of the field templates, in characters.
    enum class Template { Label = 32, SubLabel = 45, SiteLabel = 9, CounterLabel = 13, CounterValue = 10 };

    JobSummaryReport(QTextDocument* document, JobSummaryInputs inputs);

    // The fields are made of character positions, and the report is read
    // in the window, in print and as a text file: it is written in one
    // fixed-pitch font, and its six tab stops stand at character columns
    // chosen so that every value lines up under the others (a label field
    // ends between the third and the fourth stop, a sub-label field before
    // the fourth, and four tabs reach the fourth). Past the last stop, a
    // stop every eight columns.
    static constexpr std::array<int, 6> kTabColumns = {4, 14, 24, 56, 80, 104};
    static constexpr int kTabColumnsAfter = 8;
    static QFont ReportFont();
    // The report box's settings: the report's font and tab stops, and no
    // wrapping before the right margin.
    static void PrepareDocument(QTextDocument* document);
    // The report's plain text with each tab replaced by the spaces that
    // reach its stop: the text file reads as the window shows it, in any
    // editor.
    static QString LaidOutText(const QString& plainText);
    // Prints the report, or the part of it that part selects, on the device
    // as the window lays it out. A report wider than the page's printable
    // width (less margins of 2 cm) is scaled down as a whole, so that no
    // line, the heading among them, wraps on paper.
    static void Print(const QTextDocument& report, const QTextCursor& part, QPagedPaintDevice* device);

    // Writes the report and, for a job of more than one device, the job
    // record; to be called once.
    void BuildReport();

    // The part's share of part + other as "97.50%", "N/A" when both are 0.
    static QString FormatYield(qint64 part, qint64 other);
    struct DeviceCounts
    {
        qint64 failed = 0;
        qint64 passed = 0;
        qint64 total = 0;
    };
    DeviceCounts GetJobDeviceCounts();

    const JobRecord& Record() const { return m_record; }
    // Whether BuildReport appended the record to the log, and why it could
    // not when it tried.
    bool RecordAttempted() const { return m_recordAttempted; }
    bool RecordWritten() const { return m_recordWritten; }
    QString RecordError() const { return m_recordError; }

    // The three emphases and the fonts, for whoever checks the formatting.
    static QTextCharFormat HeadingEmphasis();
    static QTextCharFormat LabelEmphasis();
    static QTextCharFormat ValueEmphasis();
    static QString CounterFontFamily() { return ReportFont().family(); }

private:
    // layout primitives
    void AddHeading(const QString& title);
    void AddLabel(const QString& label, Template fieldTemplate = Template::Label);
    void AddSubLabel(const QString& label);
    void AddValue(int tabCount, const QString& text, bool emphasised);
    void AddCounterRow(const QString& label1, double number1, const QString& label2, double number2,
                       const QString& label3 = QString(), double number3 = 0, const QString& extra = QString());
    void AppendToRecord(int column, const QString& text);
    void Insert(const QString& text);
    void SetEmphasis(const QTextCharFormat& emphasis, bool on);
    void LabelLine(const QString& label, const QString& value, bool emphasised);

    // sections
    void ReportJob();
    void ReportDataPatternFile();
    void ReportDevice();
    void ReportStatistics(const DeviceCounts& counts);
    void ReportFailureDetails(qint64 failed);
    void ReportHandlerBins();
    void ReportFailureCategories(bool forced);
    void ReportHandlerTimes();
    void ReportUnitsPerHour(qint32 units);
    void ReportAutoHandler();
    void ReportSerialization(qint64 total);
    void ReportSerializationFiles(const QString& typeText);
    void ReportStaplSerialization();
    void ReportVisionInspection();
    void ReportSiteYields();
    void ReportSocketCounters();
    void WriteJobRecord();

    // Runs one section; an automation error ends it and the report goes on.
    template <class F>
    void Section(F&& section);
    bool IsMediaTransferJob();
    QXPgmrControl& Engine();
    H950HdlrControl& AutoHandler();
    ManualHdlControl& ManualHandler();
    SiteBoxControl& Site(int index);

    JobSummaryInputs m_in;
    QTextDocument* m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_format; // of the text inserted next
    JobRecord m_record;
    std::array<qint64, 13> m_categoryCount{};
    bool m_recordAttempted = false;
    bool m_recordWritten = false;
    QString m_recordError;
};
