#include "BufferRules.h"

#include "engine/EngineCodes.h"

#include <QDir>

namespace bufferrules {

bool TakesAddressSize(qint32 typeCode)
{
    return typeCode == FileTypes::FT_INTEL || typeCode == FileTypes::FT_MOTOROLA;
}

bool LocksFillValue(qint32 typeCode)
{
    return typeCode == FileTypes::FT_JEDEC || typeCode == FileTypes::FT_IEEE1532DATA;
}

QString HexDigits(qint32 value)
{
    return QString::number(quint32(value), 16).toUpper();
}

QString SizeText(qint32 size, bool hex, bool fuses)
{
    const QString number = hex ? HexDigits(size) + QLatin1Char('h') : QString::number(size);
    return number + (fuses ? QStringLiteral(" fuses") : QStringLiteral(" bytes"));
}

qint32 HighestBufferAddress(qint32 bufferSize)
{
    return bufferSize > 0 ? bufferSize - 1 : 0;
}

FileLocation SplitPath(const QString& path)
{
    FileLocation location;
    const QString native = QDir::fromNativeSeparators(path);
    const qsizetype cut = native.lastIndexOf(QLatin1Char('/'));
    location.folder = native.left(cut + 1);
    location.name = native.mid(cut + 1);
    if (native.startsWith(QLatin1Char('/')))
        location.drive = QStringLiteral("/");
    else
        location.drive = native.section(QLatin1Char('/'), 0, 0);
    return location;
}

} // namespace bufferrules
