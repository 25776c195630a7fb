#include "settings/SettingsLog.h"

#include <QtDebug>

namespace {

SettingsLogWriter& Writer()
{
    static SettingsLogWriter writer;
    return writer;
}

} // namespace

void SetSettingsLogWriter(SettingsLogWriter writer)
{
    Writer() = std::move(writer);
}

void WriteSettingsLog(const QString& line)
{
    if (Writer())
        Writer()(line);
    else
        qWarning("%s", qPrintable(line));
}
