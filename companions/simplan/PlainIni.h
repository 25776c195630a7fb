#pragma once

// The simulations' small settings files (engine.ini, faultplan.ini), read as
// text: "[Section]" lines, "key=value" lines, ';' and '#' comment lines. The
// files are written with QSettings, so its escapes are read back ("\\n",
// "\\x41", quotes, "%2F" in keys, '\\' for '/' in keys, "@@" for a leading '@',
// "@ByteArray(...)"), but a serialised value ("@Variant(...)" and the other
// "@Type(...)" forms) is never decoded: it reads as absent. So nothing a file
// holds decides what reading it costs beyond its own size.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace simplan {

class PlainIni
{
public:
    // A missing or unreadable file reads as empty.
    static PlainIni Read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? Parse(f.readAll()) : PlainIni();
    }

    static PlainIni Parse(const QByteArray& text)
    {
        PlainIni ini;
        QString section;
        for (QByteArray line : text.split('\n')) {
            line = line.trimmed();
            if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
                continue;
            if (line.startsWith('[')) {
                const qsizetype end = line.indexOf(']');
                section = end > 0 ? UnescapedKey(line.mid(1, end - 1).trimmed()) : QString();
                continue;
            }
            const qsizetype eq = line.indexOf('=');
            if (eq <= 0)
                continue;
            const QString key = UnescapedKey(line.left(eq).trimmed());
            std::optional<QString> value = UnescapedValue(line.mid(eq + 1).trimmed());
            if (key.isEmpty() || !value)
                continue;
            Entries& entries = ini.m_sections[section];
            bool replaced = false;
            for (auto& entry : entries)
                if (entry.first == key) {
                    entry.second = *value;
                    replaced = true;
                }
            if (!replaced)
                entries.append({key, *value});
        }
        return ini;
    }

    std::optional<QString> Value(const QString& section, const QString& key) const
    {
        for (const auto& entry : m_sections.value(section))
            if (entry.first == key)
                return entry.second;
        return std::nullopt;
    }
    QString Text(const QString& section, const QString& key, const QString& fallback = {}) const
    {
        return Value(section, key).value_or(fallback);
    }
    int Int(const QString& section, const QString& key, int fallback) const
    {
        bool ok = false;
        const int value = Text(section, key).trimmed().toInt(&ok);
        return ok ? value : fallback;
    }
    // As QVariant reads a Boolean text: anything but "", "0" and "false".
    bool Bool(const QString& section, const QString& key, bool fallback) const
    {
        const std::optional<QString> value = Value(section, key);
        if (!value)
            return fallback;
        const QString t = value->trimmed().toLower();
        return !(t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("false"));
    }
    // The keys of a section in the order they first appear.
    QStringList Keys(const QString& section) const
    {
        QStringList keys;
        for (const auto& entry : m_sections.value(section))
            keys << entry.first;
        return keys;
    }

    // QSettings writes '/' in a key as '\' and other characters than
    // letters, digits, '_', '-' and '.' as %XX or %UXXXX.
    static QString UnescapedKey(const QByteArray& text)
    {
        QString out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text.at(i);
            if (c == '\\') {
                out += QLatin1Char('/');
                continue;
            }
            if (c == '%') {
                const bool wide = i + 1 < text.size() && text.at(i + 1) == 'U';
                const qsizetype digits = wide ? 4 : 2;
                const qsizetype from = i + (wide ? 2 : 1);
                bool ok = false;
                const uint code = text.mid(from, digits).toUInt(&ok, 16);
                if (ok && from + digits <= text.size()) {
                    out += QChar(char16_t(code));
                    i = from + digits - 1;
                    continue;
                }
            }
            out += QString::fromUtf8(&c, 1);
        }
        return out;
    }

    // A value as QSettings writes a string or a byte array; nullopt for a
    // serialised value of any other type.
    static std::optional<QString> UnescapedValue(const QByteArray& text)
    {
        if (text.startsWith("@@"))
            return Unescaped(text.mid(1));
        if (text.startsWith('@')) {
            for (const char* plain : {"@ByteArray(", "@String("}) {
                const QByteArray head(plain);
                if (text.startsWith(head) && text.endsWith(')'))
                    return Unescaped(text.mid(head.size(), text.size() - head.size() - 1));
            }
            return std::nullopt;
        }
        return Unescaped(text);
    }

private:
    static QString Unescaped(const QByteArray& text)
    {
        QByteArray out;
        out.reserve(text.size());
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text.at(i);
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (c != '\\' || i + 1 == text.size()) {
                out += c;
                continue;
            }
            const char e = text.at(++i);
            switch (e) {
            case 'a': out += '\a'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'v': out += '\v'; break;
            case 'x': {
                // Up to four hex digits: one UTF-16 unit.
                qsizetype end = i + 1;
                while (end < text.size() && end < i + 5 && isxdigit(uchar(text.at(end))))
                    ++end;
                const uint code = text.mid(i + 1, end - i - 1).toUInt(nullptr, 16);
                out += QString(QChar(char16_t(code))).toUtf8();
                i = end - 1;
                break;
            }
            case '0': out += '\0'; break;
            default: out += e; break; // \\ \" \' \? and the rest stand for themselves
            }
        }
        return QString::fromUtf8(out);
    }

    using Entries = QList<std::pair<QString, QString>>;
    QHash<QString, Entries> m_sections;
};

} // namespace simplan
