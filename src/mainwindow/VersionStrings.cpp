#include "VersionStrings.h"

#include "BlackBoxLog.h"
#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/EngineCall.h"
#include "platform/UiService.h"
#include "settings/ProgrammerClass.h"
#include "shell/ShellUtilities.h"
#include "platform/AppInfo.h"
#include "shell/CommandLine.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <ctime>

namespace {

// A refused read of the engine gives the fallback, so that a text is built
// from what could be obtained.
using enginecall::Ask;

QXPgmrControl* g_hostEngine = nullptr;
QXPgmrControl* g_mainEngine = nullptr;

// The export log's state: the first line of a run starts a new file.
bool m_bExportLogFirstWrite = true;
bool m_bExportLogWritten = false;

struct VersionParts
{
    quint32 major = 0;
    quint32 minor = 0;
    quint32 revision = 0;
};

// The packed EngineVersion: the version number in the upper 16 bits, the
// minor number and the revision (build) in the two bytes below. Read as
// unsigned, so a high version number does not give negative parts.
VersionParts SplitVersion(qint32 packed)
{
    const quint32 bits = quint32(packed);
    return {bits >> 16, (bits >> 8) & 0xFF, bits & 0xFF};
}

// The engine's version; 0 when it cannot be read.
VersionParts ReadVersion(QXPgmrControl& engine)
{
    return SplitVersion(Ask([&] { return qint32(engine.EngineVersion()); }, qint32(0)));
}

QString Hex(quint32 value) { return QString::number(value, 16).toUpper(); }

// "<major>.<minor>.<revision>" in hexadecimal.
QString VersionNumber(const VersionParts& v)
{
    return QStringLiteral("%1.%2.%3").arg(Hex(v.major), Hex(v.minor), Hex(v.revision));
}

// "V<major>.<minor>." of a version.
QString VersionHead(const VersionParts& v) { return QStringLiteral("V%1.%2.").arg(Hex(v.major), Hex(v.minor)); }

// The decimal text of one of the engine's dates; empty when it cannot be read.
QString ReadDate(QXPgmrControl& engine, bool beta)
{
    return Ask(
        [&] { return QString::number(beta ? engine.EngineDatePart2() : engine.EngineDatePart1()); }, QString());
}

// A date given as the decimal text YYYYMMDD, shown month/day/year.
QString DateText(const QString& yyyymmdd)
{
    return yyyymmdd.mid(4, 2) + QLatin1Char('/') + yyyymmdd.mid(6, 2) + QLatin1Char('/') + yyyymmdd.mid(0, 4);
}

// The end of a version and date text: the revision and the release date, or
// "Beta" and the beta date.
QString VersionTail(QXPgmrControl& engine, const VersionParts& v, bool beta)
{
    return (beta ? QStringLiteral("Beta") : Hex(v.revision)) + QStringLiteral("  ") + DateText(ReadDate(engine, beta));
}

QString AlgorithmRevisionHex(QXPgmrControl& engine)
{
    return Hex(quint32(Ask([&] { return qint32(engine.AlgorithmDatabaseRevision()); }, qint32(0))));
}

} // namespace

QXPgmrControl* HostEngine()
{
    if (g_mainEngine && g_mainEngine->IsAttached())
        return g_mainEngine;
    return g_hostEngine;
}

void SetMainWindowEngine(QXPgmrControl* engine) { g_mainEngine = engine; }

void SetHostEngine(QXPgmrControl* engine) { g_hostEngine = engine; }

QString LogVersionLine(QXPgmrControl& engine, bool bWithV)
{
    const VersionParts v = ReadVersion(engine);
    const bool vexal = Ask([&] { return bool(engine.IsVexalMode()); }, false);
    return (vexal ? QStringLiteral("DTarvo ") : QStringLiteral("Tarvo ")) + (bWithV ? QStringLiteral("V") : QString()) +
           VersionNumber(v) + QStringLiteral("  Algo DB Rev. ") + AlgorithmRevisionHex(engine);
}

QString GeneralDateText(const QDateTime& when)
{
    return ShortDateText(when.date()) + QLatin1Char(' ') + LongTimeText(when.time());
}

QString GeneralDateTextNow()
{
    // The C library's local time: QDateTime reads the time zone file again
    // for every call, which would cost more than writing the log line.
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (!::localtime_r(&now, &local) || local.tm_year + 1900 < 1000 || local.tm_year + 1900 > 9999)
        return GeneralDateText(QDateTime::currentDateTime());
    char text[32];
    char* at = text;
    const auto put = [&at](int value, int digits) {
        char reversed[8];
        int n = 0;
        do {
            reversed[n++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0 || n < digits);
        while (n > 0)
            *at++ = reversed[--n];
    };
    const int hour = local.tm_hour % 12;
    put(local.tm_mon + 1, 1);
    *at++ = '/';
    put(local.tm_mday, 1);
    *at++ = '/';
    put(local.tm_year + 1900, 4);
    *at++ = ' ';
    put(hour == 0 ? 12 : hour, 1);
    *at++ = ':';
    put(local.tm_min, 2);
    *at++ = ':';
    put(local.tm_sec, 2);
    *at++ = ' ';
    *at++ = local.tm_hour < 12 ? 'A' : 'P';
    *at++ = 'M';
    return QString::fromLatin1(text, at - text);
}

// Written out by hand: every stamped log line formats them, and a format
// pattern would be parsed again for each line.
QString ShortDateText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QString::asprintf("%d/%d/%04d", date.month(), date.day(), date.year());
}

QString LongTimeText(const QTime& time)
{
    if (!time.isValid())
        return {};
    const int hour = time.hour() % 12;
    return QString::asprintf("%d:%02d:%02d %s", hour == 0 ? 12 : hour, time.minute(), time.second(),
                             time.hour() < 12 ? "AM" : "PM");
}

QString LegalNotice() { return QStringLiteral("Copyright (C) Corvane. All rights reserved."); }

QString GetSoftwareVersion(QXPgmrControl& engine) { return QStringLiteral("V") + VersionNumber(ReadVersion(engine)); }

QString GetVersionNDate(QXPgmrControl& engine)
{
    const VersionParts v = ReadVersion(engine);
    return VersionHead(v) + VersionTail(engine, v, v.revision > 9);
}

QString SplashVersionLine(QXPgmrControl& engine)
{
    try {
        const VersionParts v = SplitVersion(engine.EngineVersion());
        const QString revision = Hex(quint32(engine.AlgorithmDatabaseRevision()));
        return QStringLiteral("V") + VersionNumber(v) + QStringLiteral("  Algo DB Rev. ") + revision +
               QStringLiteral("  ");
    } catch (const AutomationError&) {
        return QStringLiteral(" ");
    }
}

QString AboutVersionText(QXPgmrControl& engine)
{
    const VersionParts v = ReadVersion(engine);
    // The About window names only build 9 a release; every other build shows
    // as a beta with the beta date.
    return VersionHead(v) + VersionTail(engine, v, v.revision != 9);
}

QString AboutRevisionText(QXPgmrControl& engine)
{
    return QStringLiteral("Algo DB Rev. ") + AlgorithmRevisionHex(engine);
}

void WriteStartupInformation(QXPgmrControl& engine)
{
    const QDateTime now = QDateTime::currentDateTime();
    WriteLogInfo(QStringLiteral("Application Execution Information:"), false);
    WriteLogInfo(QStringLiteral("  ") + LogVersionLine(engine, true), false);
    WriteLogInfo(QStringLiteral("  Date: ") + ShortDateText(now.date()), false);
    WriteLogInfo(QStringLiteral("  Time: ") + LongTimeText(now.time()), false);
    WriteLogInfo(QStringLiteral("  User: ") + gUserName, false);
    WriteLogInfo(QStringLiteral("  Log file folder: ") + blackbox::GetLogFolder() + QStringLiteral("\r\n\r\n"), false);
}

void SetDemoMode(qint32 model, ProgrammerClass& pgmrData, QXPgmrControl& engine,
                 const std::function<void()>& updateWindows,
                 const std::function<void(const QString&)>& addStatusTextLine)
{
    try {
        pgmrData.udtParallelPort = 0;
        pgmrData.udtPgmrType = model;
        qint32 modelIndex = model;
        engine.SelectProgrammerModel(modelIndex);
        engine.PortIndex(0);
        if (updateWindows)
            updateWindows();
    } catch (const AutomationError&) {
        // A status line reaches the black-box log by itself.
        const QString text = QStringLiteral("Failed to set the demo mode.");
        if (addStatusTextLine)
            addStatusTextLine(text);
        else
            WriteLogInfo(text, true);
    }
}

void WriteInfoToLogFile(const QString& text, bool bAddDate)
{
    const QString name = GetCmdLineLogFile();
    if (name.isEmpty() || !gbChiseloEdition || text.isEmpty())
        return;

    const QString folder = QFileInfo(name).path();
    bool ok = QFileInfo::exists(folder) || CreateDirectoryPath(folder);
    if (ok && m_bExportLogFirstWrite && QFileInfo::exists(name))
        ok = QFile::remove(name);
    m_bExportLogFirstWrite = false;

    QFile file(name);
    if (ok && file.open(QIODevice::Append)) {
        const QString line =
            bAddDate ? GeneralDateTextNow() + QStringLiteral("  ") + text : text;
        file.write((line + QStringLiteral("\r\n")).toUtf8());
        file.close();
        return;
    }

    const QString message = QStringLiteral("Unable to create log file at ") + name +
                            QStringLiteral("\r\nPlease select a valid log file location and name from the Configure menu.");
    AppMsgBox(message, vb::vbCritical, QStringLiteral("Log File Error"));
    WriteLogInfo(message, true);
    SetCmdLineLogFile(QString());
}

void SetExportChiseloLogFile(bool value) { m_bExportLogWritten = value; }

void ResetExportLog()
{
    m_bExportLogFirstWrite = true;
    m_bExportLogWritten = false;
}
