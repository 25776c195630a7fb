#include "JobRecord.h"

JobRecord::JobRecord()
{
    Clear();
}

void JobRecord::Clear()
{
    m_fields = QStringList();
    m_fields.resize(kColumnCount);
}

void JobRecord::Set(int column, const QString& value)
{
    if (column >= 0 && column < kColumnCount)
        m_fields[column] = value;
}

bool JobRecord::IsEmpty() const
{
    for (const QString& field : m_fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}

const QStringList& JobRecord::CategoryNames()
{
    static const QStringList names = {
        QStringLiteral("Successful operations:"), QStringLiteral("Already secured     :"),
        QStringLiteral("Bad electronic IDs :"),   QStringLiteral("Continuity failures :"),
        QStringLiteral("Erase failures      :"),  QStringLiteral("Functional failures :"),
        QStringLiteral("Illegal bit failures:"),  QStringLiteral("Non-blank failures  :"),
        QStringLiteral("Overcurrent failures:"),  QStringLiteral("Program failures    :"),
        QStringLiteral("Security failures   :"),  QStringLiteral("Verify failures     :"),
        QStringLiteral("All other failures:"),
    };
    return names;
}

QStringList JobRecord::HeaderTitles()
{
    QStringList titles = {QStringLiteral("User"), QStringLiteral("Handler Type"), QStringLiteral("Date & Time")};
    titles += CategoryNames();
    titles << QStringLiteral("Overall Yield") << QStringLiteral("Units/Hour");
    for (int n = 1; n <= JOBSUM_MAX_SITES; ++n) {
        for (const char* what : {"Passed", "Failed", "Total", "Yield"})
            titles << QStringLiteral("Site %1 %2").arg(n).arg(QLatin1String(what));
    }
    for (int n = 1; n <= JOBSUM_MAX_SITES; ++n) {
        titles << QStringLiteral("Site %1 SM Odometer Base").arg(n);
        titles << QStringLiteral("Site %1 SM Odometer Socket").arg(n);
    }
    return titles;
}

QByteArray JobRecord::Line(const QStringList& fields)
{
    QString line;
    for (const QString& field : fields) {
        const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
            || field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
        if (quote) {
            QString doubled = field;
            doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
            line += QLatin1Char('"') + doubled + QLatin1Char('"');
        } else {
            line += field;
        }
        line += QLatin1Char(',');
    }
    line += QLatin1String("\r\n");
    return line.toUtf8();
}
