#pragma once

// Where the content of the engine's data buffer came from: nothing, a
// data-pattern file, a read of the device or the operator's own editing, and
// whether it was changed afterwards. Only Update changes it; the summary line,
// the data pattern window and the job summary read its name and date.

#include <QDateTime>
#include <QString>

class CBufferSource
{
public:
    // BufferSourceState
    enum State : qint16 { Empty = 0, File = 1, FileModified = 2, DeviceContent = 3, DeviceContentModified = 4,
                          UserInput = 5 };
    // BufferSourceType
    enum Type : qint16 { TypeEmpty = 0, TypeFile = 1, TypeDevice = 2, TypeUserInput = 3 };
    // BufferSourceEvent (any other number acts as a clear)
    enum Event : qint16 { Cleared = 0, LoadedFromFile = 1, ReadFromDevice = 2, EditedByOperator = 3 };

    // One transition; name and date are what the caller reports with the
    // event (a clear records "<Empty>" and the time of the clear instead).
    void Update(const QString& name, const QDateTime& date, qint16 event);

    const QString& Name() const { return m_name; }
    const QDateTime& Date() const { return m_date; }
    // The date as text in the general date form.
    QString DateText() const { return GeneralDate(m_date); }
    qint16 SourceType() const { return m_type; }
    qint16 SourceState() const { return m_state; }

    // The general date form of a date and time: "M/d/yyyy h:mm:ss AM", the
    // date alone at midnight and the time alone on day zero (12/30/1899).
    static QString GeneralDate(const QDateTime& when);

private:
    void Clear();

    qint16 m_state = Empty;
    qint16 m_type = TypeEmpty;
    QString m_name;
    QDateTime m_date;
};
