// The handler's own part of a Sealbook auto file: its places, marker and
// package (members 6 to 11), and its panel's empty-socket test interval and
// laser marker lines. The host has the file open, so the handler reads
// (SealbookAutoValue58) and writes (SealbookAutoValue59) them through the
// host's requests: the texts with ReadSealbookValueRequest, the interval as a
// number with ReadSealbookLongRequest, the count of marker lines with
// ReadSealbookStringRequest (the host answers it as a number), and every one
// with WriteSealbookValueRequest. Section "H950hdlr", keyed as the station
// keeps the same settings in its registry; the marker lines as "Laser Marker
// Lines" (their count) and "Laser Marker Line 1" and on.

#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <algorithm>
#include <optional>

namespace {

const QString kSection = QStringLiteral("H950hdlr");
// The engine's kind of a text value.
constexpr qint32 kTextKind = 2;
// The engine's read status: found, no such key.
constexpr qint32 kFound = 0;
constexpr qint32 kNotFound = 1;
// No answer came back: no host, or its call to the engine failed.
constexpr qint32 kNoAnswer = -1;
// The handler's part of the file does not add up (a count of marker lines
// without its lines): beside the engine's statuses (2 is its "no file").
constexpr qint32 kDamaged = 3;

struct Setting
{
    const char* key;
    int dispid;
};

constexpr Setting kSettings[] = {
    {"Primary Source", H950HdlrId::PrimarySource},
    {"Alternate Source", H950HdlrId::AlternateSource},
    {"Primary Destination", H950HdlrId::PrimaryDestination},
    {"Alternate Destination", H950HdlrId::AlternateDestination},
    {"Marker", H950HdlrId::Marker},
    {"Package", H950HdlrId::Package},
};

const QString kIntervalKey = QStringLiteral("Empty Socket Test Interval");
const QString kLineCountKey = QStringLiteral("Laser Marker Lines");
QString LineKey(qint32 i)
{
    return QStringLiteral("Laser Marker Line %1").arg(i + 1);
}
// A marking has a few lines: a count beyond this is no count of lines.
constexpr qint32 kMaxMarkerLines = 16;
constexpr qint32 kNoLines = -1;

} // namespace

void H950HdlrStandIn::bindSealbook()
{
    // All six are read before any is taken, so a failed read changes
    // nothing; a key the file leaves out keeps its value.
    On(H950HdlrId::SealbookAutoValue58, [this](InvokeKind, QVariantList&) {
        using namespace H950HdlrId;
        QHash<int, QString> read;
        const auto readText = [&](const QString& key, QString& value) {
            qint32 status = kNoAnswer;
            RaiseEvent.ReadSealbookValueRequest(kSection, key, QString(), kTextKind, status, value);
            return status;
        };
        for (const Setting& s : kSettings) {
            QString value;
            const qint32 status = readText(QLatin1String(s.key), value);
            if (status == kFound)
                read.insert(s.dispid, value);
            else if (status != kNotFound)
                return QVariant(status);
        }
        // The numbers come back as numbers; a key the file leaves out (or a
        // host that does not answer) gives back the value the handler has.
        qint32 interval = Stored(EmptySocketTestInterval).toInt();
        RaiseEvent.ReadSealbookLongRequest(kSection, kIntervalKey, QString::number(interval), interval);
        // -1: the file names no marker lines (a file of an older handler).
        qint32 lineCount = kNoLines;
        RaiseEvent.ReadSealbookStringRequest(kSection, kLineCountKey, QString::number(kNoLines), lineCount);
        std::optional<QStringList> lines;
        if (lineCount != kNoLines) {
            if (lineCount < 0 || lineCount > kMaxMarkerLines)
                return QVariant(kDamaged);
            lines.emplace();
            for (qint32 i = 0; i < lineCount; ++i) {
                QString line;
                const qint32 status = readText(LineKey(i), line);
                if (status != kFound)
                    return QVariant(status == kNotFound ? kDamaged : status);
                lines->append(line);
            }
        }
        for (auto it = read.cbegin(); it != read.cend(); ++it)
            Store(it.key(), it.value());
        Store(EmptySocketTestInterval, interval);
        if (lines)
            StoreMarkerLines(*lines);
        return QVariant(kFound);
    });
    // The first refused write ends the save with the engine's status.
    On(H950HdlrId::SealbookAutoValue59, [this](InvokeKind, QVariantList&) {
        using namespace H950HdlrId;
        QList<QPair<QString, QString>> values;
        for (const Setting& s : kSettings)
            values.append({QLatin1String(s.key), Stored(s.dispid).toString()});
        values.append({kIntervalKey, QString::number(Stored(EmptySocketTestInterval).toInt())});
        const qint32 lineCount = std::clamp(Stored(LaserMarkerLineCount).toInt(), 0, kMaxMarkerLines);
        values.append({kLineCountKey, QString::number(lineCount)});
        for (qint32 i = 0; i < lineCount; ++i)
            values.append({LineKey(i), Stored(LaserMarkerLineAt, {QVariant(i)}).toString()});
        for (const auto& [key, value] : values) {
            qint32 result = kNoAnswer;
            RaiseEvent.WriteSealbookValueRequest(kSection, key, QString(), value, kTextKind, kNoAnswer, result);
            if (result != kFound)
                return QVariant(result);
        }
        return QVariant(kFound);
    });
}
