#pragma once

// One row of the job record log "JobSum.log": 162 fixed columns, filled by
// column while the job summary is written. A section that is cut short or not
// written leaves its columns empty, so the columns after it never shift.

#include <QByteArray>
#include <QString>
#include <QStringList>

class JobRecord
{
public:
    // Sites the header names; a programmer with more sites fills only these.
    static constexpr int JOBSUM_MAX_SITES = 24;
    static constexpr int kUser = 0;
    static constexpr int kHandlerType = 1;
    static constexpr int kDateTime = 2;
    static constexpr int kPassed = 3;
    static constexpr int kFirstCategory = 4; // failure categories 1 to 12
    static constexpr int kOverallYield = 16;
    static constexpr int kUnitsPerHour = 17;
    static constexpr int kFirstSiteYield = 18; // 4 per site: passed, failed, total, yield
    static constexpr int kFirstOdometer = 114; // 2 per site: base, socket
    static constexpr int kColumnCount = kFirstOdometer + 2 * JOBSUM_MAX_SITES; // 162

    JobRecord();

    void Clear();
    // Sets one column; columns outside the row are ignored (sites above 24).
    void Set(int column, const QString& value);
    QString At(int column) const { return m_fields.value(column); }
    bool IsEmpty() const;

    // The column titles, colons and spaces included.
    static QStringList HeaderTitles();
    // A line of the log: every field followed by ",", ended by CR LF, UTF-8.
    // A field holding a comma, a double quote, CR or LF is quoted with its
    // quotes doubled (other tools read the log as CSV); other fields are
    // written as they are.
    static QByteArray Line(const QStringList& fields);
    QByteArray Line() const { return Line(m_fields); }
    static QByteArray HeaderLine() { return Line(HeaderTitles()); }

    // The names of the failure categories in report and header order:
    // 0 successful operations, 1 to 12 the failure categories.
    static const QStringList& CategoryNames();

private:
    QStringList m_fields;
};
