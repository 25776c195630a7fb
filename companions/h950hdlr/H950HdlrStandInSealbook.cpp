// The handler's own part of a Sealbook auto file: its places, marker and
// package (members 6 to 11). The host has the file open, so the handler reads
// (SealbookAutoValue58) and writes (SealbookAutoValue59) them through the
// host's ReadSealbookValueRequest and WriteSealbookValueRequest. Section
// "H950hdlr", keyed as the station keeps the same settings in its registry.

#include "H950HdlrStandIn.h"

#include "engine/H950HdlrControl.h"

#include <QHash>

namespace {

const QString kSection = QStringLiteral("H950hdlr");
// The engine's kind of a text value.
constexpr qint32 kTextKind = 2;
// The engine's read status: found, no such key.
constexpr qint32 kFound = 0;
constexpr qint32 kNotFound = 1;
// No answer came back: no host, or its call to the engine failed.
constexpr qint32 kNoAnswer = -1;

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

} // namespace

void H950HdlrStandIn::bindSealbook()
{
    // All six are read before any is taken, so a failed read changes
    // nothing; a key the file leaves out keeps its value.
    On(H950HdlrId::SealbookAutoValue58, [this](InvokeKind, QVariantList&) {
        QHash<int, QString> read;
        for (const Setting& s : kSettings) {
            qint32 status = kNoAnswer;
            QString value;
            RaiseEvent.ReadSealbookValueRequest(kSection, QLatin1String(s.key), QString(), kTextKind, status, value);
            if (status == kFound)
                read.insert(s.dispid, value);
            else if (status != kNotFound)
                return QVariant(status);
        }
        for (auto it = read.cbegin(); it != read.cend(); ++it)
            Store(it.key(), it.value());
        return QVariant(kFound);
    });
    // The first refused write ends the save with the engine's status.
    On(H950HdlrId::SealbookAutoValue59, [this](InvokeKind, QVariantList&) {
        for (const Setting& s : kSettings) {
            qint32 result = kNoAnswer;
            RaiseEvent.WriteSealbookValueRequest(kSection, QLatin1String(s.key), QString(), Stored(s.dispid).toString(),
                                                 kTextKind, kNoAnswer, result);
            if (result != kFound)
                return QVariant(result);
        }
        return QVariant(kFound);
    });
}
