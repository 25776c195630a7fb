// The text form of a hive file (UTF-8, '\n' line ends; '\r\n' is read too):
//
//   Corvane registry hive 1
//
//   [Software\Corvane\Tarvo\Configuration]
//   "Quantity"=sz:"100"
//   @=sz:"the key's default value"
//
// - The first line names the format. A file without it (an empty file
//   included) is not a hive.
// - Blank lines and lines that begin with ';' are ignored.
// - "[path]" starts a key: its path from the hive's root with backslashes
//   between the names; "[]" is the root itself. Every key has its line, a key
//   before its subkeys and sibling keys in the order they were first created,
//   so empty keys and the enumeration order survive a reload.
// - The key's values follow, one line each in the order they were first
//   written: the name in double quotes (@ for the key's default value, whose
//   name is empty), '=', the type, ':' and the data:
//     sz:"text"          REG_SZ (the text without its ending NUL)
//     expand_sz:"text"   REG_EXPAND_SZ (likewise)
//     multi_sz:"a","b"   REG_MULTI_SZ (the strings without their NULs)
//     dword:00000100     REG_DWORD (the number in hex)
//     dword_be:00000100  REG_DWORD_BIG_ENDIAN (the number in hex)
//     hex:00,7f,ff       REG_BINARY (the bytes in hex)
//     hex(N):41,42       type N (decimal) with bytes that have no readable
//                        form: a string without its ending NUL, text that is
//                        not UTF-8, a DWORD of other than four bytes, an
//                        unknown type.
// - In quoted text \\ \" \n \r \t and \xHH stand for a backslash, a double
//   quote, LF, CR, TAB and any other control character; the rest is itself.

#include "RegistryHive.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace reg::hive {

namespace {

const QByteArray kSignature = "Corvane registry hive 1";

// Names differing in length never match (case folding keeps the length of
// every character), so most names are passed over without folding them.
bool SameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsUtf8(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true; // plain ASCII, the usual case, without decoding
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// --- writing ---

bool NeedsEscape(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return c == '\\' || c == '"' || u < 0x20 || u == 0x7f;
}

void AppendQuoted(QByteArray& out, QByteArrayView text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (!NeedsEscape(c))
            continue;
        out.append(text.sliced(plainFrom, i - plainFrom));
        plainFrom = i + 1;
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            const auto u = static_cast<unsigned char>(c);
            const char escape[] = {'\\', 'x', hex[u >> 4], hex[u & 0xf]};
            out.append(escape, 4);
        }
        }
    }
    out.append(text.sliced(plainFrom));
    out += '"';
}

void AppendHex(QByteArray& out, const QByteArray& data)
{
    out += data.toHex(',');
}

void AppendDword(QByteArray& out, quint32 number)
{
    out += QByteArray::number(number, 16).rightJustified(8, '0');
}

// The readable form of a value's data where its type has one.
bool AppendReadable(QByteArray& out, const Value& value)
{
    const QByteArray& data = value.data;
    switch (value.type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        if (!data.endsWith('\0'))
            return false;
        const QByteArrayView text(data.constData(), data.size() - 1);
        if (!IsUtf8(text))
            return false;
        out += value.type == REG_SZ ? "sz:" : "expand_sz:";
        AppendQuoted(out, text);
        return true;
    }
    case REG_MULTI_SZ: {
        if (!data.endsWith(QByteArrayView("\0\0", 2)))
            return false;
        QList<QByteArray> parts = data.left(data.size() - 1).split('\0');
        parts.removeLast();
        for (const QByteArray& part : parts) {
            if (!IsUtf8(part))
                return false;
        }
        out += "multi_sz:";
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                out += ',';
            AppendQuoted(out, parts.at(i));
        }
        return true;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        if (data.size() != 4)
            return false;
        out += value.type == REG_DWORD ? "dword:" : "dword_be:";
        AppendDword(out,
                    value.type == REG_DWORD ? qFromLittleEndian<quint32>(data.constData())
                                            : qFromBigEndian<quint32>(data.constData()));
        return true;
    case REG_BINARY:
        out += "hex:";
        AppendHex(out, data);
        return true;
    default: return false;
    }
}

void AppendValues(QByteArray& out, const Key& key)
{
    for (const Value& value : key.values()) {
        if (value.name.isEmpty())
            out += '@';
        else
            AppendQuoted(out, value.name.toUtf8());
        out += '=';
        if (!AppendReadable(out, value)) {
            out += "hex(" + QByteArray::number(quint32(value.type)) + "):";
            AppendHex(out, value.data);
        }
        out += '\n';
    }
}

void AppendKey(QByteArray& out, const Key& key, const QString& path)
{
    out += "\n[";
    out += path.toUtf8();
    out += "]\n";
    AppendValues(out, key);
    for (const auto& subkey : key.subkeys())
        AppendKey(out, *subkey, path + u'\\' + subkey->name());
}

// --- reading ---

// Reads a line one item at a time; every reader answers false when the line
// does not hold what it asked for.
class LineReader
{
public:
    explicit LineReader(QByteArrayView line)
        : m_line(line)
    {
    }

    bool atEnd() const { return m_pos >= m_line.size(); }
    bool take(char c)
    {
        if (atEnd() || m_line.at(m_pos) != c)
            return false;
        ++m_pos;
        return true;
    }
    // Everything up to (not including) the next c, which is consumed.
    bool takeUntil(char c, QByteArrayView* token)
    {
        const qsizetype end = m_line.indexOf(c, m_pos);
        if (end < 0)
            return false;
        *token = m_line.sliced(m_pos, end - m_pos);
        m_pos = end + 1;
        return true;
    }
    QByteArrayView rest()
    {
        const QByteArrayView rest = m_line.sliced(m_pos);
        m_pos = m_line.size();
        return rest;
    }

    bool takeQuoted(QByteArray* text)
    {
        if (!take('"'))
            return false;
        text->clear();
        while (!atEnd()) {
            const char c = m_line.at(m_pos++);
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                return false;
            if (c != '\\') {
                *text += c;
                continue;
            }
            if (atEnd())
                return false;
            switch (m_line.at(m_pos++)) {
            case '\\': *text += '\\'; break;
            case '"': *text += '"'; break;
            case 'n': *text += '\n'; break;
            case 'r': *text += '\r'; break;
            case 't': *text += '\t'; break;
            case 'x': {
                if (m_pos + 2 > m_line.size())
                    return false;
                bool ok = false;
                const uint byte = m_line.sliced(m_pos, 2).toByteArray().toUInt(&ok, 16);
                if (!ok)
                    return false;
                *text += char(byte);
                m_pos += 2;
                break;
            }
            default: return false;
            }
        }
        return false;
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

bool ParseHex(QByteArrayView text, QByteArray* data)
{
    data->clear();
    if (text.isEmpty())
        return true;
    for (const QByteArray& pair : text.toByteArray().split(',')) {
        bool ok = false;
        const uint byte = pair.toUInt(&ok, 16);
        if (pair.size() != 2 || !ok)
            return false;
        *data += char(byte);
    }
    return true;
}

bool ParseDword(QByteArrayView text, bool bigEndian, QByteArray* data)
{
    bool ok = false;
    const quint32 number = text.toByteArray().toUInt(&ok, 16);
    if (!ok || text.isEmpty() || text.size() > 8 || text.startsWith('+') || text.startsWith('-'))
        return false;
    data->resize(4);
    if (bigEndian)
        qToBigEndian(number, data->data());
    else
        qToLittleEndian(number, data->data());
    return true;
}

bool ParseData(QByteArrayView typeName, LineReader& reader, ValueType* type, QByteArray* data)
{
    if (typeName == "sz" || typeName == "expand_sz") {
        *type = typeName == "sz" ? REG_SZ : REG_EXPAND_SZ;
        if (!reader.takeQuoted(data) || !reader.atEnd())
            return false;
        *data += '\0';
        return true;
    }
    if (typeName == "multi_sz") {
        *type = REG_MULTI_SZ;
        data->clear();
        do {
            QByteArray part;
            if (!reader.takeQuoted(&part) || part.contains('\0'))
                return false;
            *data += part + '\0';
        } while (reader.take(','));
        *data += '\0';
        return reader.atEnd();
    }
    if (typeName == "dword" || typeName == "dword_be") {
        *type = typeName == "dword" ? REG_DWORD : REG_DWORD_BIG_ENDIAN;
        return ParseDword(reader.rest(), *type == REG_DWORD_BIG_ENDIAN, data);
    }
    if (typeName == "hex") {
        *type = REG_BINARY;
        return ParseHex(reader.rest(), data);
    }
    if (typeName.startsWith("hex(") && typeName.endsWith(')')) {
        bool ok = false;
        const QByteArray number = typeName.sliced(4, typeName.size() - 5).toByteArray();
        *type = ValueType(number.toUInt(&ok, 10));
        return ok && !number.startsWith('+') && ParseHex(reader.rest(), data);
    }
    return false;
}

} // namespace

// --- the key tree ---

template <class Items, class NameOf>
const typename Items::value_type* Key::Lookup(const Items& items, Index& index, QStringView name, NameOf nameOf)
{
    if (items.size() < kIndexFrom) {
        const auto it =
            std::find_if(items.begin(), items.end(), [&](const auto& item) { return SameName(nameOf(item), name); });
        return it == items.end() ? nullptr : &*it;
    }
    if (index.size() != qsizetype(items.size())) {
        index.clear();
        index.reserve(qsizetype(items.size()));
        for (size_t i = 0; i < items.size(); ++i)
            index.insert(nameOf(items[i]).toCaseFolded(), i);
    }
    const auto it = index.constFind(name.toString().toCaseFolded());
    return it == index.constEnd() ? nullptr : &items[*it];
}

namespace {

const QString& ValueName(const Value& value)
{
    return value.name;
}

const QString& SubkeyName(const std::unique_ptr<Key>& key)
{
    return key->name();
}

// An entry just added joins an index in use; one out of step is rebuilt on
// the next lookup.
void Indexed(QHash<QString, size_t>& index, const QString& name, size_t position)
{
    if (!index.isEmpty() && size_t(index.size()) == position)
        index.insert(name.toCaseFolded(), position);
}

} // namespace

const Value* Key::value(QStringView name) const
{
    return Lookup(m_values, m_valueIndex, name, ValueName);
}

bool Key::setValue(const QString& name, ValueType type, const QByteArray& data)
{
    auto* existing = const_cast<Value*>(value(name));
    if (!existing) {
        m_values.push_back({name, type, data});
        Indexed(m_valueIndex, name, m_values.size() - 1);
        return true;
    }
    if (existing->type == type && existing->data == data)
        return false;
    existing->type = type;
    existing->data = data;
    return true;
}

bool Key::removeValue(QStringView name)
{
    const Value* found = value(name);
    if (!found)
        return false;
    m_values.erase(m_values.begin() + (found - m_values.data()));
    m_valueIndex.clear();
    return true;
}

Key* Key::subkey(QStringView name) const
{
    const std::unique_ptr<Key>* found = Lookup(m_subkeys, m_subkeyIndex, name, SubkeyName);
    return found ? found->get() : nullptr;
}

Key* Key::addSubkey(const QString& name)
{
    if (Key* existing = subkey(name))
        return existing;
    m_subkeys.push_back(std::make_unique<Key>(name));
    Indexed(m_subkeyIndex, name, m_subkeys.size() - 1);
    return m_subkeys.back().get();
}

bool Key::removeSubkey(QStringView name)
{
    const std::unique_ptr<Key>* found = Lookup(m_subkeys, m_subkeyIndex, name, SubkeyName);
    if (!found)
        return false;
    m_subkeys.erase(m_subkeys.begin() + (found - m_subkeys.data()));
    m_subkeyIndex.clear();
    return true;
}

Key* Key::find(const QStringList& path)
{
    return const_cast<Key*>(std::as_const(*this).find(path));
}

const Key* Key::find(const QStringList& path) const
{
    const Key* key = this;
    for (const QString& name : path) {
        key = key->subkey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

bool IsValidKeyName(QStringView name)
{
    if (name.isEmpty() || name.size() > 255)
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

QByteArray Serialize(const Key& root)
{
    QByteArray out;
    out.reserve(4096);
    out += kSignature;
    out += '\n';
    if (!root.values().empty()) {
        out += "\n[]\n";
        AppendValues(out, root);
    }
    for (const auto& subkey : root.subkeys())
        AppendKey(out, *subkey, subkey->name());
    return out;
}

std::unique_ptr<Key> Parse(const QByteArray& text, QString* error)
{
    auto fail = [error](qsizetype lineNumber, const char* why) -> std::unique_ptr<Key> {
        *error =
            lineNumber > 0 ? QStringLiteral("line %1: %2").arg(lineNumber).arg(QLatin1String(why)) : QLatin1String(why);
        return nullptr;
    };
    if (!IsUtf8(text))
        return fail(0, "not UTF-8 text");

    QList<QByteArray> lines = text.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.first() != kSignature)
        return fail(1, "not a registry hive (first line)");

    auto root = std::make_unique<Key>();
    Key* current = nullptr;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const qsizetype lineNumber = i + 1;
        if (line.isEmpty() || line.startsWith(';'))
            continue;

        if (line.startsWith('[')) {
            if (!line.endsWith(']') || line.size() < 2)
                return fail(lineNumber, "key line without ']'");
            const QString path = QString::fromUtf8(line.sliced(1, line.size() - 2));
            current = root.get();
            if (path.isEmpty())
                continue;
            if (path.count(u'\\') >= kMaxKeyDepth)
                return fail(lineNumber, "key nested too deeply");
            for (const QString& name : path.split(u'\\')) {
                if (!IsValidKeyName(name))
                    return fail(lineNumber, "invalid key name");
                current = current->addSubkey(name);
            }
            continue;
        }

        if (!current)
            return fail(lineNumber, "value before the first key");
        LineReader reader(line);
        QString name;
        if (!reader.take('@')) {
            QByteArray nameBytes;
            if (!reader.takeQuoted(&nameBytes) || !IsUtf8(nameBytes))
                return fail(lineNumber, "invalid value name");
            name = QString::fromUtf8(nameBytes);
        }
        QByteArrayView typeName;
        if (!reader.take('=') || !reader.takeUntil(':', &typeName))
            return fail(lineNumber, "value line without '=type:'");
        ValueType type = REG_NONE;
        QByteArray data;
        if (!ParseData(typeName, reader, &type, &data))
            return fail(lineNumber, "invalid value data");
        current->setValue(name, type, data);
    }
    return root;
}

} // namespace reg::hive
