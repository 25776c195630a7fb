#include "VersionInfo.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"

namespace {
QString Hex(qint64 v) { return QString::number(v, 16).toUpper(); }
} // namespace

QString LegalNotice()
{
    return QStringLiteral("Copyright (C) Corvane. All rights reserved.");
}

QString SplashVersionLine(QXPgmrControl& engine)
{
    try {
        const quint32 packed = quint32(engine.EngineVersion());
        const qint64 revision = engine.AlgorithmDatabaseRevision();
        return QStringLiteral("V") + Hex(packed / 65536) + QLatin1Char('.') + Hex((packed & 0xFFFF) / 256) +
               QLatin1Char('.') + Hex(packed & 0xFF) + QStringLiteral("  Algo DB Rev. ") + Hex(revision) +
               QStringLiteral("  ");
    } catch (const AutomationError&) {
        return QStringLiteral(" ");
    }
}
