#pragma once

// The engine's algorithm database "qxalg.db", an SQLite file made at build
// time from the readable sources in data/qxalg (see data/README.md).
//
// Opening reads only what the engine needs at once: the layout version, the
// revision, the programmer models and the capability names. A device's
// details are read when it is looked up, the whole device list only when it
// is asked for, so opening a database of ten thousand devices costs no more
// than opening a small one.

#include "DeviceRecord.h"
#include "ProgrammerModels.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

struct sqlite3;

class AlgorithmDatabase
{
public:
    // Results of Open, as the engine's LoadAlgorithmDatabase answers them.
    static constexpr qint32 Loaded = 0;
    static constexpr qint32 FileNotFound = 2;
    static constexpr qint32 Unreadable = 13; // not an algorithm database, or damaged
    static constexpr qint32 VersionMismatch = 113;
    // The layout this engine reads (meta "format").
    static constexpr int Layout = 3;

    AlgorithmDatabase();
    ~AlgorithmDatabase();
    AlgorithmDatabase(const AlgorithmDatabase&) = delete;
    AlgorithmDatabase& operator=(const AlgorithmDatabase&) = delete;

    // Opens the file read-only, closing the one open before; one of the
    // results above. After a failure nothing is open.
    qint32 Open(const QString& path);
    void Close();
    // Exchanges what the two hold (an open database moves with its queries).
    void Swap(AlgorithmDatabase& other) noexcept;
    bool IsOpen() const { return m_db != nullptr; }
    // Why the last Open failed ("" after a success).
    const QString& ErrorText() const { return m_error; }

    qint32 Revision() const { return m_revision; }
    const ProgrammerModels& Models() const { return m_models; }
    // The capability members the database describes devices by.
    const QStringList& CapabilityNames() const { return m_capabilities; }

    // The device of that name, whatever the letter case; none when the
    // database has no such device (or cannot read it).
    std::optional<DeviceRecord> FindDevice(const QString& name) const;
    // The whole device list in name order, read at the first call.
    const QVector<DeviceSummary>& DeviceIndex() const;

private:
    qint32 Fail(qint32 result, const QString& text);

    struct Statements;
    sqlite3* m_db = nullptr;
    std::unique_ptr<Statements> m_statements;
    QString m_error;
    qint32 m_revision = 0;
    ProgrammerModels m_models;
    QStringList m_capabilities;
    mutable std::optional<QVector<DeviceSummary>> m_index;
};
