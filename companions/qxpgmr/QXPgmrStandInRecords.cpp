// The engine's members behind the job records: the serialization settings
// the serialization dialog hands over and reads back, the socket module
// counters of the job summary, and the automatic save of a job summary.
//
// Serialization (RunSerialization, 14 arguments). The settings are checked
// as an engine would before any is taken:
//   - the serialization data file's folder exists (when a file is named);
//   - simple modes (0, 1): a serial number size of 1 to 6 bytes;
//   - STAPL (4): index ranges like "1,3,5-12" (numbers and ranges separated
//     by commas, each range low to high);
//   - serialization programs (2, 3) without resume: first and last serial
//     numbers are numbers in the given radix (hexadecimal when the hex
//     argument is not 0), first not above last. The simple modes take their
//     numbers in sequence from the data file: whatever the dialog holds in
//     the serial-number fields is not looked at.
// A refusal answers 1 and raises LogMessage with the reason; nothing is kept.
// Taken settings turn serialization on: SerializationValueAt245 answers 1
// (0 once DisableSerialization turned it off), 232 to 243, 248 and 260 give
// the settings back. Serialization is available (244) for any selected device
// whose data pattern can hold a serial number; a fuse-counted device cannot
// (303 True: "not supported by the current data pattern").
//
// Socket module counters (SocketModuleCount, site 1 to the model's sites):
// counters per site that the summary prints. TARVO_ENGINE_SOCKETS chooses
// what the programmer reports: "unavailable" (the call answers 1), or
// "nodaughtercard" (the daughter card values are all ones).
//
// AutoSaveJobSummary(text): asks the host for the folder
// (RequestAutoSaveSealbookDir) and writes the text there as
// "JobSummary_<yyyyMMdd_hhmmss>.txt" (with "_2", "_3", ... when that name
// is taken) with CR LF line ends; a folder that is
// missing or cannot be written raises SysInfoMessage naming it.

#include "QXPgmrStandIn.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// The executable in a program text: its first word, or the quoted text when
// it starts with a quote.
QString ProgramPath(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('"'))) {
        const qsizetype end = trimmed.indexOf(QLatin1Char('"'), 1);
        return end < 0 ? trimmed.mid(1) : trimmed.mid(1, end - 1);
    }
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    return blank < 0 ? trimmed : trimmed.left(blank);
}

bool IndexRangesValid(const QString& text)
{
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString& one : items) {
        const QRegularExpressionMatch m = item.match(one);
        if (!m.hasMatch())
            return false;
        if (m.capturedLength(2) > 0 && m.captured(1).toULongLong() > m.captured(2).toULongLong())
            return false;
    }
    return !items.isEmpty();
}

} // namespace

void QXPgmrStandIn::bindRecords()
{
    using namespace QXPgmrId;
    Answer(RunSerialization, [this](InvokeKind, QVariantList& args) {
        Serialization s;
        s.mode = Arg(args, 0, ValueKind::Int).toInt();
        s.size = Arg(args, 1, ValueKind::Long).toInt();
        s.dataFile = Arg(args, 2, ValueKind::String).toString();
        s.bufferAddress = Arg(args, 3, ValueKind::String).toString();
        s.skip = Arg(args, 4, ValueKind::Long).toInt();
        s.order = Arg(args, 5, ValueKind::Long).toInt();
        s.verify = Arg(args, 6, ValueKind::Long).toInt();
        s.logFile = Arg(args, 7, ValueKind::String).toString();
        s.retry = Arg(args, 8, ValueKind::Long).toInt();
        s.hex = Arg(args, 9, ValueKind::Int).toInt();
        s.first = Arg(args, 10, ValueKind::String).toString();
        s.last = Arg(args, 11, ValueKind::String).toString();
        s.program = Arg(args, 12, ValueKind::String).toString();
        s.resume = Arg(args, 13, ValueKind::Long).toInt();

        QString refusal;
        const bool isProgram = s.mode == 2 || s.mode == 3;
        const int base = s.hex != 0 ? 16 : 10;
        bool firstOk = false, lastOk = false;
        const qulonglong first = s.first.trimmed().toULongLong(&firstOk, base);
        const qulonglong last = s.last.trimmed().toULongLong(&lastOk, base);
        if (s.mode < 0 || s.mode > 4)
            refusal = QStringLiteral("Serialization mode %1 is not known.").arg(s.mode);
        else if (!s.dataFile.isEmpty() && !QFileInfo(s.dataFile).absoluteDir().exists())
            refusal = QStringLiteral("The folder of the serialization data file %1 does not exist.").arg(s.dataFile);
        else if ((s.mode == 0 || s.mode == 1) && (s.size < 1 || s.size > 6))
            refusal = QStringLiteral("A serial number of %1 bytes cannot be written: 1 to 6 bytes.").arg(s.size);
        else if (s.mode == 4 && !IndexRangesValid(s.first))
            refusal = QStringLiteral("The index ranges \"%1\" cannot be read.").arg(s.first);
        else if (isProgram && s.resume == 0 && (!firstOk || !lastOk))
            refusal = QStringLiteral("The serial numbers \"%1\" and \"%2\" are not numbers in base %3.")
                          .arg(s.first, s.last)
                          .arg(base);
        else if (isProgram && s.resume == 0 && first > last)
            refusal = QStringLiteral("The first serial number %1 is above the last %2.").arg(s.first, s.last);
        if (!refusal.isEmpty()) {
            QVariantList event{refusal};
            Raise(QStringLiteral("LogMessage"), event);
            return QVariant::fromValue<qint16>(1);
        }
        s.on = true;
        m_serialization = s;
        return QVariant::fromValue<qint16>(0);
    });
    Answer(DisableSerialization, [this](InvokeKind, QVariantList&) {
        m_serialization.on = false;
        return QVariant();
    });
    const auto text = [this](QString Serialization::*member) {
        return [this, member](InvokeKind, QVariantList&) { return QVariant(m_serialization.*member); };
    };
    const auto number = [this](qint32 Serialization::*member) {
        return [this, member](InvokeKind, QVariantList&) { return QVariant::fromValue(m_serialization.*member); };
    };
    Answer(SerialDataFilePath, text(&Serialization::dataFile));
    Answer(SerialLogFilePath, text(&Serialization::logFile));
    Answer(SerializationField234, text(&Serialization::first));
    Answer(SerializationField235, text(&Serialization::last));
    Answer(SerializationField236, text(&Serialization::program));
    Answer(SerializationIndexRange, text(&Serialization::first));
    Answer(SerializationField238, number(&Serialization::size));
    Answer(SerializationField239, number(&Serialization::skip));
    Answer(SerializationField240, number(&Serialization::order));
    Answer(SerializationField241, number(&Serialization::retry));
    Answer(SerializationField242, number(&Serialization::hex));
    Answer(SerializationField243, number(&Serialization::resume));
    Answer(SerializationField237, [this](InvokeKind, QVariantList&) {
        // The address as a number in the radix it was given in, or the text.
        bool ok = false;
        const qint64 address =
            m_serialization.bufferAddress.trimmed().toLongLong(&ok, m_serialization.hex != 0 ? 16 : 10);
        return ok && address >= 0 && address <= std::numeric_limits<qint32>::max()
            ? QVariant::fromValue(qint32(address))
            : QVariant(m_serialization.bufferAddress);
    });
    Answer(SerializationField260, [this](InvokeKind, QVariantList&) {
        return QVariant::fromValue<qint32>(m_serialization.mode == 2 || m_serialization.mode == 3 ? 1 : 0);
    });
    Answer(SerializationField244,
           [this](InvokeKind, QVariantList&) { return VbBool(m_device.has_value() && !m_device->SizeInFuses()); });
    Answer(SerializationValue303,
           [this](InvokeKind, QVariantList&) { return VbBool(m_device.has_value() && m_device->SizeInFuses()); });
    Answer(SerializationValueAt245,
           [this](InvokeKind, QVariantList&) { return QVariant::fromValue<qint32>(m_serialization.on ? 1 : 0); });
    Answer(SerializationValueAt314, [this](InvokeKind, QVariantList& args) {
        return QVariant(ProgramPath(Arg(args, 0, ValueKind::String).toString()));
    });

    Answer(SocketModuleCount, [this](InvokeKind, QVariantList& args) {
        const qint32 site = Arg(args, 0, ValueKind::Long).toInt();
        const QString knob = qEnvironmentVariable("TARVO_ENGINE_SOCKETS").trimmed().toLower();
        if (site < 1 || site > model().siteCount || knob == QLatin1String("unavailable"))
            return QVariant::fromValue<qint32>(1);
        const bool daughterCard = knob != QLatin1String("nodaughtercard");
        const qint32 values[] = {12000 + site, 300 + site, daughterCard ? 4000 + site : -1,
                                 daughterCard ? 200 + site : -1};
        for (int i = 0; i < 4 && i + 1 < args.size(); ++i)
            args[i + 1] = QVariant::fromValue(values[i]);
        return QVariant::fromValue<qint32>(0);
    });

    Answer(AutoSaveJobSummary, [this](InvokeKind, QVariantList& args) {
        QString report = Arg(args, 0, ValueKind::String).toString();
        QVariantList ask{QString()};
        Raise(QStringLiteral("RequestAutoSaveSealbookDir"), ask);
        const QString folder = ask.value(0).toString();
        // Two jobs ending in the same second keep both reports: the later
        // one takes the next free "_<n>" name.
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
        QString name = QStringLiteral("JobSummary_%1.txt").arg(stamp);
        for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++n)
            name = QStringLiteral("JobSummary_%1_%2.txt").arg(stamp).arg(n);
        report.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        QSaveFile file(QDir(folder).filePath(name));
        const bool saved = !folder.isEmpty() && QFileInfo(folder).isDir() && file.open(QIODevice::WriteOnly)
            && file.write(report.toUtf8()) >= 0 && file.commit();
        if (!saved) {
            QVariantList event{QStringLiteral("The job summary cannot be saved in the folder \"%1\".").arg(folder)};
            Raise(QStringLiteral("SysInfoMessage"), event);
        }
        return QVariant();
    });
}
