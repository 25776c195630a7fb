#include "JobFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>

namespace {

const QByteArray kMagic = QByteArrayLiteral("TarvoJob ");
const QByteArray kSaltTag = QByteArrayLiteral("Salt ");
const QByteArray kDataTag = QByteArrayLiteral("Data ");
const QByteArray kSealTag = QByteArrayLiteral("Seal ");
// The engine's key of the seal: a file edited by hand or damaged on the way
// does not carry a seal that matches it.
const QByteArray kSealKey = QByteArrayLiteral("Corvane QX engine job seal");
constexpr int kSaltBytes = 16;
constexpr int kSealHexChars = 64;

// The escapes, both ways: one table.
struct EscapePair
{
    QChar plain;
    QChar code;
};
const EscapePair kEscapes[] = {
    {QLatin1Char('\\'), QLatin1Char('\\')}, {QLatin1Char('\n'), QLatin1Char('n')},
    {QLatin1Char('\r'), QLatin1Char('r')},  {QLatin1Char('='), QLatin1Char('e')},
    {QLatin1Char('['), QLatin1Char('o')},   {QLatin1Char(']'), QLatin1Char('c')},
};

bool IsHex(const QByteArray& text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

QString JobFile::Escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        bool escaped = false;
        for (const EscapePair& e : kEscapes)
            if (c == e.plain) {
                out += QLatin1Char('\\');
                out += e.code;
                escaped = true;
                break;
            }
        if (!escaped)
            out += c;
    }
    return out;
}

std::optional<QString> JobFile::Unescape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            // A raw character that is always escaped cannot be part of a
            // sound entry.
            for (const EscapePair& e : kEscapes)
                if (c == e.plain)
                    return std::nullopt;
            out += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        bool known = false;
        for (const EscapePair& e : kEscapes)
            if (text.at(i) == e.code) {
                out += e.plain;
                known = true;
                break;
            }
        if (!known)
            return std::nullopt;
    }
    return out;
}

JobFile::Section* JobFile::find(const QString& name)
{
    for (Section& s : m_sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

const JobFile::Section* JobFile::find(const QString& name) const
{
    for (const Section& s : m_sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

JobFile::Section& JobFile::section(const QString& name)
{
    if (Section* s = find(name))
        return *s;
    m_sections.append(Section{name, {}});
    return m_sections.last();
}

bool JobFile::KeyReadsBack(const QString& key)
{
    return !key.isEmpty() && !key.toUtf8().startsWith(kDataTag);
}

void JobFile::Set(const QString& sectionName, const QString& key, const QString& value)
{
    Section& s = section(sectionName);
    for (Entry& e : s.entries)
        if (e.key == key) {
            e.value = value;
            return;
        }
    s.entries.append(Entry{key, value});
}

bool JobFile::SetFirst(const QString& sectionName, const QString& key, const QString& value)
{
    if (Value(sectionName, key))
        return false;
    Set(sectionName, key, value);
    return true;
}

std::optional<QString> JobFile::Value(const QString& sectionName, const QString& key) const
{
    if (const Section* s = find(sectionName))
        for (const Entry& e : s->entries)
            if (e.key == key)
                return e.value;
    return std::nullopt;
}

QString JobFile::ValueOr(const QString& sectionName, const QString& key, const QString& fallback) const
{
    return Value(sectionName, key).value_or(fallback);
}

QStringList JobFile::Sections() const
{
    QStringList names;
    for (const Section& s : m_sections)
        names << s.name;
    return names;
}

QByteArray JobFile::Seal(const QByteArray& body, int version)
{
    if (version == kOldVersion)
        return QCryptographicHash::hash(body, QCryptographicHash::Sha256);
    return QMessageAuthenticationCode::hash(body, kSealKey, QCryptographicHash::Sha256);
}

namespace {

// Appends the seal line to body in place: the data block is not copied again.
void AppendSeal(QByteArray& body, const QByteArray& seal)
{
    body.reserve(body.size() + kSealTag.size() + kSealHexChars + 1);
    body += kSealTag;
    body += seal.toHex();
    body += '\n';
}

} // namespace

QByteArray JobFile::Sealed(const QByteArray& body, int version)
{
    QByteArray sealed = body;
    AppendSeal(sealed, Seal(body, version));
    return sealed;
}

QByteArray JobFile::Serialize() const
{
    return SerializeLike(QByteArray());
}

QByteArray JobFile::SerializeLike(const QByteArray& earlier) const
{
    // The text first, then one buffer of the final size for text, data and
    // seal, so that the data pattern is copied once.
    QByteArray text;
    text += kMagic + QByteArray::number(version) + '\n';
    if (version != kOldVersion) {
        // The earlier salt line, when the earlier bytes have one.
        QByteArray saltHex;
        const qsizetype lineEnd = earlier.indexOf('\n');
        if (lineEnd > 0 && earlier.mid(lineEnd + 1, kSaltTag.size()) == kSaltTag) {
            saltHex = earlier.mid(lineEnd + 1 + kSaltTag.size(), 2 * kSaltBytes);
            if (saltHex.size() != 2 * kSaltBytes || QByteArray::fromHex(saltHex).size() != kSaltBytes
                || earlier.mid(lineEnd + 1 + kSaltTag.size() + 2 * kSaltBytes, 1) != "\n")
                saltHex.clear();
        }
        if (saltHex.isEmpty()) {
            QByteArray salt(kSaltBytes, '\0');
            QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
            saltHex = salt.toHex();
        }
        text += kSaltTag + saltHex + '\n';
    }
    for (const Section& s : m_sections) {
        text += '[' + Escape(s.name).toUtf8() + "]\n";
        for (const Entry& e : s.entries)
            text += Escape(e.key).toUtf8() + '=' + Escape(e.value).toUtf8() + '\n';
    }
    if (hasData)
        text += kDataTag + QByteArray::number(data.size()) + '\n';

    // Against earlier bytes, text and data are compared before anything is
    // sealed: a changed job costs no seal here.
    const qsizetype bodySize = text.size() + (hasData ? data.size() + 1 : 0);
    if (!earlier.isEmpty()
        && (earlier.size() != bodySize + kSealTag.size() + kSealHexChars + 1 || !earlier.startsWith(text)
            || (hasData && QByteArrayView(earlier).sliced(text.size(), data.size()) != QByteArrayView(data))))
        return QByteArray();

    QByteArray body;
    body.reserve(text.size() + data.size() + 1 + kSealTag.size() + kSealHexChars + 1);
    body += text;
    if (hasData) {
        body += data;
        body += '\n';
    }
    AppendSeal(body, Seal(body, version));
    return body;
}

bool JobFile::SameContent(const JobFile& other) const
{
    if (version != other.version || hasData != other.hasData || data != other.data
        || m_sections.size() != other.m_sections.size())
        return false;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        const Section& a = m_sections.at(i);
        const Section& b = other.m_sections.at(i);
        if (a.name != b.name || a.entries.size() != b.entries.size())
            return false;
        for (qsizetype j = 0; j < a.entries.size(); ++j) {
            if (a.entries.at(j).key != b.entries.at(j).key || a.entries.at(j).value != b.entries.at(j).value)
                return false;
        }
    }
    return true;
}

qint32 JobFile::SealValue(const QByteArray& sealedBytes)
{
    const qsizetype at = sealedBytes.size() - 1 - kSealHexChars;
    if (at < 0)
        return 0;
    const QByteArray seal = QByteArray::fromHex(sealedBytes.mid(at, 8));
    if (seal.size() != 4)
        return 0;
    const quint32 value = (quint32(quint8(seal[0])) << 24) | (quint32(quint8(seal[1])) << 16)
        | (quint32(quint8(seal[2])) << 8) | quint32(quint8(seal[3]));
    return qint32(value);
}

std::optional<JobFile> JobFile::Parse(const QByteArray& bytes, QString& reason)
{
    if (bytes.isEmpty()) {
        reason = QStringLiteral("the file is empty");
        return std::nullopt;
    }
    if (!bytes.startsWith(kMagic)) {
        reason = QStringLiteral("it is not a job file");
        return std::nullopt;
    }
    const qsizetype headerEnd = bytes.indexOf('\n');
    if (headerEnd < 0) {
        reason = QStringLiteral("the file is cut short");
        return std::nullopt;
    }
    bool versionOk = false;
    const QByteArray versionText = bytes.mid(kMagic.size(), headerEnd - kMagic.size());
    const int version = versionText.toInt(&versionOk);
    if (!versionOk || versionText != QByteArray::number(version)) {
        reason = QStringLiteral("it is not a job file");
        return std::nullopt;
    }
    if (version != kVersion && version != kOldVersion) {
        reason = QStringLiteral("version %1 of the job file is not known").arg(version);
        return std::nullopt;
    }

    // The seal line closes the file; everything before it is sealed.
    const qsizetype sealLine = bytes.size() - (kSealTag.size() + kSealHexChars + 1);
    if (sealLine <= headerEnd || bytes.at(sealLine - 1) != '\n' || !bytes.endsWith('\n')
        || bytes.mid(sealLine, kSealTag.size()) != kSealTag) {
        reason = QStringLiteral("the file is cut short or has no seal");
        return std::nullopt;
    }
    const QByteArray sealHex = bytes.mid(sealLine + kSealTag.size(), kSealHexChars);
    const QByteArray body = bytes.left(sealLine);
    if (!IsHex(sealHex) || QByteArray::fromHex(sealHex) != Seal(body, version)) {
        reason = QStringLiteral("the integrity check failed");
        return std::nullopt;
    }

    JobFile job;
    job.version = version;
    qsizetype pos = headerEnd + 1;
    auto nextLine = [&](QByteArray& line) {
        const qsizetype end = body.indexOf('\n', pos);
        if (end < 0)
            return false;
        line = body.mid(pos, end - pos);
        pos = end + 1;
        return true;
    };
    auto refuse = [&](const QString& why) {
        reason = why;
        return std::nullopt;
    };

    QByteArray line;
    if (version != kOldVersion) {
        if (!nextLine(line) || !line.startsWith(kSaltTag) || line.size() != kSaltTag.size() + 2 * kSaltBytes
            || !IsHex(line.mid(kSaltTag.size())))
            return refuse(QStringLiteral("the salt line is damaged"));
    }

    Section* current = nullptr;
    while (pos < body.size()) {
        if (!nextLine(line))
            return refuse(QStringLiteral("a line has no end"));
        if (line.startsWith(kDataTag)) {
            bool sizeOk = false;
            const QByteArray sizeText = line.mid(kDataTag.size());
            const qint64 size = sizeText.toLongLong(&sizeOk);
            if (!sizeOk || size < 0 || sizeText != QByteArray::number(size) || size + 1 != body.size() - pos
                || body.at(body.size() - 1) != '\n')
                return refuse(QStringLiteral("the data block is damaged"));
            job.hasData = true;
            job.data = body.mid(pos, size);
            pos = body.size();
            break;
        }
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')) && text.size() >= 2) {
            const std::optional<QString> name = Unescape(text.mid(1, text.size() - 2));
            if (!name || job.find(*name))
                return refuse(QStringLiteral("a section heading is damaged or doubled"));
            job.m_sections.append(Section{*name, {}});
            current = &job.m_sections.last();
            continue;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (!current || equals <= 0)
            return refuse(QStringLiteral("a line is neither a section nor a value"));
        const std::optional<QString> key = Unescape(text.left(equals));
        const std::optional<QString> value = Unescape(text.mid(equals + 1));
        if (!key || !value)
            return refuse(QStringLiteral("a value is damaged"));
        for (const Entry& e : current->entries)
            if (e.key == *key)
                return refuse(QStringLiteral("a key is doubled"));
        current->entries.append(Entry{*key, *value});
    }
    return job;
}

std::optional<JobFile> JobFile::Read(const QString& path, QString& reason, QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("the file cannot be opened");
        return std::nullopt;
    }
    const QByteArray content = file.readAll();
    if (bytes)
        *bytes = content;
    return Parse(content, reason);
}

bool JobFile::Write(const QString& path, const QByteArray& bytes, QString& reason, const WriteFaults& faults)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = QStringLiteral("the file cannot be written: ") + file.errorString();
        return false;
    }
    const qsizetype half = bytes.size() / 2;
    if (file.write(bytes.constData(), half) != half) {
        reason = QStringLiteral("the file cannot be written: ") + file.errorString();
        file.cancelWriting();
        return false;
    }
    if (faults.failPartWay) {
        file.cancelWriting();
        reason = QStringLiteral("the disk refused the rest of the file");
        return false;
    }
    if (faults.slowMs > 0) {
        file.flush();
        QThread::msleep(ulong(faults.slowMs));
    }
    if (file.write(bytes.constData() + half, bytes.size() - half) != bytes.size() - half || !file.commit()) {
        reason = QStringLiteral("the file cannot be written: ") + file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool JobFile::Write(const QString& path, const QByteArray& bytes, QString& reason)
{
    return Write(path, bytes, reason, WriteFaults());
}
