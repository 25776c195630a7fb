#include "CBufferSource.h"

#include <QLocale>

namespace {
const QString kEmptyName = QStringLiteral("<Empty>");
const QString kChanged = QStringLiteral("*");
} // namespace

void CBufferSource::Clear()
{
    m_type = TypeEmpty;
    m_name = kEmptyName;
    m_date = QDateTime::currentDateTime();
    m_state = Empty;
}

void CBufferSource::Update(const QString& name, const QDateTime& date, qint16 event)
{
    const bool knownState = m_state >= Empty && m_state <= UserInput;
    if (!knownState || event < LoadedFromFile || event > EditedByOperator) {
        Clear();
        return;
    }

    switch (event) {
    case LoadedFromFile:
        // A file replaces whatever was there.
        m_state = File;
        m_type = TypeFile;
        m_name = name;
        m_date = date;
        break;
    case ReadFromDevice:
        // A second read of the device keeps its name and only renews the date.
        if (m_state != DeviceContent)
            m_name = name;
        m_state = DeviceContent;
        m_type = TypeDevice;
        m_date = date;
        break;
    case EditedByOperator:
        switch (m_state) {
        case Empty:
            m_state = UserInput;
            m_type = TypeUserInput;
            m_name = name + kChanged;
            m_date = date;
            break;
        case File:
            // The file's own date stays: the edit is marked by the "*".
            m_state = FileModified;
            m_name += kChanged;
            break;
        case DeviceContent:
            m_state = DeviceContentModified;
            m_name += kChanged;
            m_date = date;
            break;
        default:
            // Already changed: one "*" is enough.
            break;
        }
        break;
    }
}

QString CBufferSource::GeneralDate(const QDateTime& when)
{
    const QLocale c = QLocale::c();
    const QString date = c.toString(when.date(), QStringLiteral("M/d/yyyy"));
    const QString time = c.toString(when.time(), QStringLiteral("h:mm:ss AP"));
    if (when.date() == QDate(1899, 12, 30))
        return time;
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + time;
}
