#pragma once

// A job file of the simulated engine (".qx", QXType "SK") or a Sealbook auto
// file (QXType "SKAuto"): named text values in sections, an optional binary
// block with the data pattern, and a seal over all of it. The layout is
// described in data/README.md ("Job files").
//
// A file is read whole and checked (header, version, seal, every line)
// before anything in it is used; a file that fails any check is refused
// with its reason and nothing of it is kept. A write goes to a temporary
// file that replaces the old one only once all of it is on disk.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class JobFile
{
public:
    // Version 2 is written; version 1 (no salt, a plain SHA-256 as its seal)
    // is still read, so that older jobs can be converted.
    static constexpr int kVersion = 2;
    static constexpr int kOldVersion = 1;

    int version = kVersion;

    // Replaces any value of the key.
    // A key the file can hold and read back: not empty, and not beginning
    // with the tag that opens the data block.
    static bool KeyReadsBack(const QString& key);
    void Set(const QString& section, const QString& key, const QString& value);
    // Keeps the value first written for a key: False when the key has one.
    bool SetFirst(const QString& section, const QString& key, const QString& value);
    std::optional<QString> Value(const QString& section, const QString& key) const;
    QString ValueOr(const QString& section, const QString& key, const QString& fallback = {}) const;
    QStringList Sections() const;

    // The data pattern held inside the file; none when the job links it.
    bool hasData = false;
    QByteArray data;

    // The sealed bytes of the file, with a new salt.
    QByteArray Serialize() const;
    // The same with the salt of earlier sealed bytes: equal to those bytes
    // exactly when the content is unchanged; empty when it plainly changed.
    QByteArray SerializeLike(const QByteArray& earlier) const;
    // True when both hold the same version, entries in the same order and
    // the same data: they differ at most in salt and seal.
    bool SameContent(const JobFile& other) const;
    // The file's 32-bit identity: the first four bytes of its seal. Two
    // files with the same content differ here, as each save salts anew.
    static qint32 SealValue(const QByteArray& sealedBytes);

    // Checks and reads sealed bytes; on refusal, reason says why.
    static std::optional<JobFile> Parse(const QByteArray& bytes, QString& reason);
    // The file at path; an unreadable file is refused like a damaged one.
    static std::optional<JobFile> Read(const QString& path, QString& reason, QByteArray* bytes = nullptr);

    // How a write is to misbehave, for the engine's fault plan.
    struct WriteFaults
    {
        bool failPartWay = false; // stops half-way, as a full disk would
        int slowMs = 0;           // waits half-way, so that a test can kill the writer
    };
    // Writes bytes to path atomically: False, with the reason, when the old
    // file (if any) is left as it was.
    static bool Write(const QString& path, const QByteArray& bytes, QString& reason, const WriteFaults& faults);
    static bool Write(const QString& path, const QByteArray& bytes, QString& reason);

    // The seal of a body (everything before the seal line) in a version.
    // Public so that tests can reseal damaged content and reach the reader
    // behind the seal.
    static QByteArray Seal(const QByteArray& body, int version);
    // The body of a file with its seal line appended.
    static QByteArray Sealed(const QByteArray& body, int version);

    // Text escapes of names and values: backslash, line ends, "=", "[" and
    // "]" become two-character codes, so that every entry is one line.
    static QString Escape(const QString& text);
    static std::optional<QString> Unescape(const QString& text);

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };
    Section* find(const QString& name);
    const Section* find(const QString& name) const;
    Section& section(const QString& name);

    QList<Section> m_sections;
};
