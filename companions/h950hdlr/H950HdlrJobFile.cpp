#include "H950HdlrJobFile.h"

#include "engine/H950HdlrControl.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace {

const QString kSection = QStringLiteral("[H950Job]");
// A job file is a few lines: anything much larger is not one.
constexpr qint64 kMaxFileSize = 64 * 1024;

struct Key
{
    const char* name;
    int dispid;
    bool number;
};

// In the order they are written.
constexpr Key kKeys[] = {
    {"Quantity", H950HdlrId::Quantity, true},
    {"Primary Source", H950HdlrId::PrimarySource, false},
    {"Alternate Source", H950HdlrId::AlternateSource, false},
    {"Primary Destination", H950HdlrId::PrimaryDestination, false},
    {"Alternate Destination", H950HdlrId::AlternateDestination, false},
    {"Marker", H950HdlrId::Marker, false},
    {"Package", H950HdlrId::Package, false},
    {"SKAuto File Directory", H950HdlrId::SealbookAutoFileDirectory, false},
    {"Serial Number", H950HdlrId::SerialNumber, false},
};

const Key* FindKey(const QString& name)
{
    for (const Key& key : kKeys) {
        if (name == QLatin1String(key.name))
            return &key;
    }
    return nullptr;
}

} // namespace

bool H950HdlrJobFile::Save(const QString& path, const Read& read)
{
    QString text = kSection + QStringLiteral("\r\n");
    for (const Key& key : kKeys) {
        const QVariant value = read(key.dispid);
        const QString valueText = key.number ? QString::number(value.toLongLong()) : value.toString();
        if (valueText.contains(QLatin1Char('\n')) || valueText.contains(QLatin1Char('\r')))
            return false;
        text += QLatin1String(key.name) + QLatin1Char('=') + valueText + QStringLiteral("\r\n");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

bool H950HdlrJobFile::Load(const QString& path, const Write& write)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize || bytes.contains('\0'))
        return false;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));

    bool inSection = false;
    QHash<int, QVariant> values;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (!inSection) {
            if (line.trimmed() != kSection)
                return false;
            inSection = true;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return false;
        const Key* key = FindKey(line.left(equals).trimmed());
        if (!key || values.contains(key->dispid))
            return false;
        const QString value = line.mid(equals + 1);
        if (key->number) {
            bool ok = false;
            const qint32 n = value.trimmed().toInt(&ok);
            if (!ok || n < 0)
                return false;
            values.insert(key->dispid, QVariant::fromValue<qint32>(n));
        } else {
            values.insert(key->dispid, value);
        }
    }
    if (!inSection)
        return false;
    // Every value read: only now does anything change.
    for (const Key& key : kKeys) {
        if (const auto it = values.constFind(key.dispid); it != values.constEnd())
            write(key.dispid, *it);
    }
    return true;
}
