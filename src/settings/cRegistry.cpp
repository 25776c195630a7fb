#include "settings/cRegistry.h"

#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "platform/Registry.h"

#include <QtEndian>

#include <limits>
#include <optional>

namespace {

// Closes a registry handle when it goes out of scope (also when a write
// throws).
class OpenKey
{
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey()
    {
        if (m_key)
            reg::RegCloseKey(m_key);
    }
    reg::HKEY* out() { return &m_key; }
    reg::HKEY get() const { return m_key; }

private:
    reg::HKEY m_key = 0;
};

reg::HKEY Handle(qint32 root) { return reg::HKEY(quint32(root)); }

// A value as text, as the program writes it: Booleans as the words True and
// False, nothing as "".
QString Text(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

// A whole number that fits a DWORD (signed or not); other kinds are refused.
std::optional<quint32> Dword(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: {
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<qint32>::min() || number > qlonglong(std::numeric_limits<quint32>::max()))
            return std::nullopt;
        return quint32(number);
    }
    case QMetaType::ULongLong:
        if (value.toULongLong() > std::numeric_limits<quint32>::max())
            return std::nullopt;
        return quint32(value.toULongLong());
    default:
        return std::nullopt;
    }
}

// Text is stored as REG_EXPAND_SZ when it holds a "%" with another "%" at
// least two places after it (so "%%" and "100%" stay REG_SZ).
bool NeedsExpansion(const QString& text)
{
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

// String data without their terminating NUL.
QString StringData(QByteArray data)
{
    if (data.endsWith('\0'))
        data.chop(1);
    return QString::fromUtf8(data);
}

} // namespace

void cRegistry::Machine(const QString& name)
{
    if (name.size() < 3)
        m_machine.clear();
    else if (name.startsWith(QStringLiteral("\\\\")))
        m_machine = name;
    else
        m_machine = QStringLiteral("\\\\") + name;
}

bool cRegistry::KeyExists()
{
    OpenKey key;
    return reg::RegOpenKeyEx(Handle(m_classKey), m_sectionKey, key.out()) == reg::ERROR_SUCCESS;
}

bool cRegistry::CreateKey()
{
    OpenKey key;
    if (reg::RegCreateKeyEx(Handle(m_classKey), m_sectionKey, key.out()) != reg::ERROR_SUCCESS)
        Raise(ErrorNumber, QStringLiteral("Failed to create registry Key: '") + m_sectionKey);
    return true;
}

bool cRegistry::DeleteKey()
{
    if (reg::RegDeleteKey(Handle(m_classKey), m_sectionKey) != reg::ERROR_SUCCESS)
        Raise(ErrorNumber, QStringLiteral("Failed to delete registry Key: '%1',Section: '%2").arg(Root(), m_sectionKey));
    return true;
}

bool cRegistry::DeleteValue()
{
    OpenKey key;
    if (reg::RegOpenKeyEx(Handle(m_classKey), m_sectionKey, key.out()) != reg::ERROR_SUCCESS)
        Raise(ErrorNumber,
              QStringLiteral("Failed to open key '%1',Section: '%2' for delete access").arg(Root(), m_sectionKey));
    if (reg::RegDeleteValue(key.get(), m_valueKey) != reg::ERROR_SUCCESS)
        Raise(ErrorNumber, QStringLiteral("Failed to delete registry Key: '%1',Section: '%2',Key: '%3")
                               .arg(Root(), m_sectionKey, m_valueKey));
    return true;
}

QVariant cRegistry::Value()
{
    OpenKey connection;
    reg::HKEY root = Handle(m_classKey);
    if (!m_machine.isEmpty()) {
        if (reg::RegConnectRegistry(m_machine, root, connection.out()) != reg::ERROR_SUCCESS)
            return m_default;
        root = connection.get();
    }
    reg::ValueType type = reg::REG_NONE;
    QByteArray data;
    if (reg::RegGetValue(root, m_sectionKey, m_valueKey, &type, &data) != reg::ERROR_SUCCESS)
        return m_default;

    m_valueType = qint32(type);
    switch (type) {
    case reg::REG_SZ:
    case reg::REG_MULTI_SZ:
        return StringData(data);
    case reg::REG_EXPAND_SZ:
        return m_expandOnRead ? ExpandEnvStr(StringData(data)) : StringData(data);
    case reg::REG_DWORD:
    case reg::REG_DWORD_BIG_ENDIAN: {
        const QByteArray bytes = data.leftJustified(4, '\0', true);
        const qint32 number = qFromLittleEndian<qint32>(bytes.constData());
        return type == reg::REG_DWORD ? number : SwapEndian(number);
    }
    default:
        // Exactly the stored bytes (not one more).
        return data;
    }
}

void cRegistry::WriteEntries(const QList<reg::ValueEntry>& entries, const QString& shownName,
                             const QVariant& shownValue) const
{
    OpenKey connection;
    reg::HKEY root = Handle(m_classKey);
    if (!m_machine.isEmpty()) {
        if (reg::RegConnectRegistry(m_machine, root, connection.out()) != reg::ERROR_SUCCESS)
            Raise(ErrorNumber, SetFailureText(shownName, shownValue));
        root = connection.get();
    }
    OpenKey key;
    if (reg::RegCreateKeyEx(root, m_sectionKey, key.out()) != reg::ERROR_SUCCESS)
        Raise(ErrorNumber, SetFailureText(shownName, shownValue));
    const long rc = entries.size() == 1
                        ? reg::RegSetValueEx(key.get(), entries.first().name, entries.first().type, entries.first().data)
                        : reg::RegSetValuesEx(key.get(), entries);
    if (rc != reg::ERROR_SUCCESS)
        Raise(WriteErrorNumber, SetFailureText(shownName, shownValue));
}

reg::ValueEntry cRegistry::Encoded(const QString& name, const QVariant& value) const
{
    reg::ValueEntry entry;
    entry.name = name;
    switch (m_valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const QString text = Text(value);
        entry.type = NeedsExpansion(text) ? reg::REG_EXPAND_SZ : reg::REG_SZ;
        entry.data = text.toUtf8() + '\0';
        break;
    }
    case REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            Raise(ErrorNumber, QStringLiteral("Application-defined or object-defined error"));
        entry.type = reg::REG_BINARY;
        entry.data = value.toByteArray();
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        // A value that is no whole number is refused rather than silently
        // left unwritten.
        const std::optional<quint32> number = Dword(value);
        if (!number)
            Raise(WriteErrorNumber, SetFailureText(value));
        entry.type = reg::REG_DWORD;
        entry.data.resize(4);
        qToLittleEndian(*number, entry.data.data());
        break;
    }
    default:
        Raise(WriteErrorNumber, SetFailureText(value));
    }
    return entry;
}

void cRegistry::Value(const QVariant& value)
{
    WriteEntries({Encoded(m_valueKey, value)}, m_valueKey, value);
}

void cRegistry::Values(const QList<std::pair<QString, QVariant>>& values)
{
    if (values.isEmpty())
        return;
    // Every value is converted before anything is written, so a value that
    // cannot be stored leaves the key as it was.
    QList<reg::ValueEntry> entries;
    entries.reserve(values.size());
    for (const auto& [name, value] : values)
        entries.append(Encoded(name, value));
    WriteEntries(entries, values.first().first, values.first().second);
}

bool cRegistry::EnumerateValues(QStringList& names, qint32& count)
{
    names.clear();
    count = 0;
    OpenKey key;
    if (reg::RegOpenKeyEx(Handle(m_classKey), m_sectionKey, key.out()) == reg::ERROR_SUCCESS) {
        QString name;
        while (reg::RegEnumValue(key.get(), quint32(names.size()), &name) == reg::ERROR_SUCCESS)
            names << name;
    }
    count = qint32(names.size());
    return true;
}

bool cRegistry::EnumerateSections(QStringList& names, qint32& count)
{
    names.clear();
    count = 0;
    OpenKey key;
    if (reg::RegOpenKeyEx(Handle(m_classKey), m_sectionKey, key.out()) == reg::ERROR_SUCCESS) {
        QString name;
        while (reg::RegEnumKey(key.get(), quint32(names.size()), &name) == reg::ERROR_SUCCESS)
            names << name;
    }
    count = qint32(names.size());
    return true;
}

bool cRegistry::CreateEXEAssociation(const QString& programPath, const QString& className,
                                     const QString& classDescription, const QString& fileExtension,
                                     const QString& openMenuText, bool supportPrint, const QString& printMenuText,
                                     bool supportNew, const QString& newMenuText, bool supportInstall,
                                     const QString& installMenuText, qint32 defaultIcon)
{
    QString path = programPath.trimmed();
    if (!path.startsWith(u'"'))
        path.prepend(u'"');
    if (!path.endsWith(u'"') || path.size() == 1)
        path.append(u'"');

    auto orDefault = [](const QString& text, const QString& fallback) { return text.isEmpty() ? fallback : text; };
    auto write = [this](const QString& key, const QString& value) {
        SectionKey(key);
        SetClassesValue(value);
    };

    ValueType(REG_SZ);
    ValueKey(QString());
    write(QStringLiteral(".") + fileExtension, className);
    write(className, classDescription);
    write(className + QStringLiteral("\\shell\\open"), orDefault(openMenuText, QStringLiteral("&Open")));
    write(className + QStringLiteral("\\shell\\open\\command"), path + QStringLiteral(" \"%1\""));
    if (supportPrint) {
        write(className + QStringLiteral("\\shell\\print"), orDefault(printMenuText, QStringLiteral("&Print")));
        write(className + QStringLiteral("\\shell\\print\\command"), path + QStringLiteral(" /p \"%1\""));
    }
    if (supportInstall) {
        write(className + QStringLiteral("\\shell\\add"),
              orDefault(installMenuText, QStringLiteral("&Install ") + fileExtension));
        write(className + QStringLiteral("\\shell\\add\\command"), path + QStringLiteral(" /a \"%1\""));
    }
    if (supportNew) {
        write(className + QStringLiteral("\\shell\\new"), orDefault(newMenuText, QStringLiteral("&New")));
        write(className + QStringLiteral("\\shell\\new\\command"), path + QStringLiteral(" /n \"%1\""));
    }
    if (defaultIcon > -1)
        write(className + QStringLiteral("\\DefaultIcon"), path + u',' + QString::number(defaultIcon));
    return true;
}

bool cRegistry::CreateAdditionalEXEAssociations(const QString& className, const QVariantList& items)
{
    if (items.size() % 3 != 0)
        Raise(ErrorNumber,
              QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"));
    ClassKey(HKEY_CLASSES_ROOT);
    SectionKey(className);
    if (!KeyExists())
        Raise(ErrorNumber, QStringLiteral("Error - attempt to create additional associations before class defined."));
    ValueType(REG_SZ);
    ValueKey(QString());
    for (qsizetype i = 0; i < items.size(); i += 3) {
        const QString key = className + QStringLiteral("\\shell\\") + Text(items.at(i));
        SectionKey(key);
        SetClassesValue(Text(items.at(i + 1)));
        SectionKey(key + QStringLiteral("\\command"));
        SetClassesValue(Text(items.at(i + 2)));
    }
    return true;
}

QVariant cRegistry::ValueEx(qint32 root, const QString& sectionKey, const QString& valueKey, qint32 valueType,
                            const QVariant& defaultValue)
{
    ClassKey(root);
    SectionKey(sectionKey);
    ValueKey(valueKey);
    ValueType(valueType);
    Default(defaultValue);
    return Value();
}

void cRegistry::ValueEx(qint32 root, const QString& sectionKey, const QString& valueKey, qint32 valueType,
                        const QVariant& defaultValue, const QVariant& value)
{
    ClassKey(root);
    SectionKey(sectionKey);
    ValueKey(valueKey);
    ValueType(valueType);
    Default(defaultValue);
    if (valueType == REG_SZ && Text(value).isEmpty())
        Value(defaultValue);
    else
        Value(value);
}

// Writes the text under HKCR and again under HKLM\SOFTWARE\Classes; the root
// stays HKLM afterwards.
void cRegistry::SetClassesValue(const QString& value)
{
    ClassKey(HKEY_CLASSES_ROOT);
    Value(value);
    const QString section = m_sectionKey;
    ClassKey(HKEY_LOCAL_MACHINE);
    SectionKey(QStringLiteral("SOFTWARE\\Classes\\") + section);
    try {
        Value(value);
    } catch (...) {
        SectionKey(section);
        throw;
    }
    SectionKey(section);
}

qint32 cRegistry::SwapEndian(qint32 value) { return qbswap(value); }

// %NAME% becomes the environment variable's value; a name that is not set,
// and "%%", stay as they are.
QString cRegistry::ExpandEnvStr(const QString& text)
{
    QString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            result += QStringView(text).sliced(pos);
            break;
        }
        result += QStringView(text).sliced(pos, open - pos);
        const QString name = text.sliced(open + 1, close - open - 1);
        const QByteArray variable = name.toLocal8Bit();
        if (!name.isEmpty() && qEnvironmentVariableIsSet(variable.constData())) {
            result += qEnvironmentVariable(variable.constData());
            pos = close + 1;
        } else {
            // Keep the "%" and look for a name from the next "%" on.
            result += QStringView(text).sliced(open, close - open);
            pos = close;
        }
    }
    return result;
}

void cRegistry::Raise(qint32 number, const QString& description) const
{
    throw AutomationError(number, appinfo::ExeName() + QStringLiteral(".cRegistry"), description);
}

QString cRegistry::Root() const { return QString::number(m_classKey); }

QString cRegistry::SetFailureText(const QVariant& value) const
{
    return SetFailureText(m_valueKey, value);
}

QString cRegistry::SetFailureText(const QString& valueName, const QVariant& value) const
{
    return QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: '%3' to value: '%4'")
        .arg(Root(), m_sectionKey, valueName, Text(value));
}
