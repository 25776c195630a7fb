#pragma once

// cRegistry: the program's one wrapper over the registry. An object carries a
// location (root, key path, value name), a value type for writing and a
// default for reading; its operations act on that location.
//
// Reads never fail: they fall back on Default. Creating, deleting and writing
// throw AutomationError (26001, or 0x800469A9 for a failed write) with the
// source "<executable name>.cRegistry"; a failure leaves the object as it was.
//
// Properties are a getter and a setter of the same name: ClassKey() reads,
// ClassKey(HKEY_CURRENT_USER) sets.

#include "platform/Registry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

class cRegistry
{
public:
    // Roots, as the Long the class keeps.
    static constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000u);
    static constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
    static constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);

    // Value types.
    static constexpr qint32 REG_SZ = 1;
    static constexpr qint32 REG_EXPAND_SZ = 2;
    static constexpr qint32 REG_BINARY = 3;
    static constexpr qint32 REG_DWORD = 4;
    static constexpr qint32 REG_DWORD_BIG_ENDIAN = 5;
    static constexpr qint32 REG_MULTI_SZ = 7;

    // Error numbers.
    static constexpr qint32 ErrorNumber = 26001;
    // The object error base (0x80040000) + 1048 + 26001: a failed write.
    static constexpr qint32 WriteErrorNumber = qint32(0x800469A9u);

    // The computer whose registry Value reads and writes; "" is this one. A
    // name of three or more characters is kept with "\\" in front; a shorter
    // one clears it.
    QString Machine() const { return m_machine; }
    void Machine(const QString& name);

    bool KeyExists();
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();

    // The value at the location, converted by its stored type (which becomes
    // ValueType): SZ and MULTI_SZ as text (a multi-string keeps its NUL
    // separators), EXPAND_SZ as text with %NAME% expanded from the
    // environment, DWORD and DWORD_BIG_ENDIAN as a Long, anything else as a
    // byte array. Default when there is nothing to read.
    QVariant Value();
    // Writes by ValueType: SZ and EXPAND_SZ store the text (as EXPAND_SZ when
    // it holds "%...%"), BINARY needs a byte array, DWORD and
    // DWORD_BIG_ENDIAN need a whole number and store a DWORD.
    void Value(const QVariant& value);
    // Writes several values of the key (name, value; each converted as Value
    // converts it) in one save: all of them are written or, when it throws,
    // none of them changed.
    void Values(const QList<std::pair<QString, QVariant>>& values);

    // The key's value names in enumeration order (VB's element 1 is names[0])
    // and their count; an unopenable key gives none. Always true.
    bool EnumerateValues(QStringList& names, qint32& count);
    bool EnumerateSections(QStringList& names, qint32& count);

    // File type associations under HKCR, and again under
    // HKLM\SOFTWARE\Classes.
    bool CreateEXEAssociation(const QString& programPath, const QString& className,
                              const QString& classDescription, const QString& fileExtension,
                              const QString& openMenuText = QString(), bool supportPrint = false,
                              const QString& printMenuText = QString(), bool supportNew = false,
                              const QString& newMenuText = QString(), bool supportInstall = false,
                              const QString& installMenuText = QString(), qint32 defaultIcon = -1);
    // items: name, menu text, command; again and again.
    bool CreateAdditionalEXEAssociations(const QString& className, const QVariantList& items);

    qint32 ValueType() const { return m_valueType; }
    void ValueType(qint32 type) { m_valueType = type; }
    qint32 ClassKey() const { return m_classKey; }
    void ClassKey(qint32 root) { m_classKey = root; }
    QString SectionKey() const { return m_sectionKey; }
    void SectionKey(const QString& path) { m_sectionKey = path; }
    QString ValueKey() const { return m_valueKey; }

    // Sets the five properties and reads Value.
    QVariant ValueEx(qint32 root, const QString& sectionKey, const QString& valueKey, qint32 valueType,
                     const QVariant& defaultValue);
    // Sets the five properties and writes the value; an empty text with
    // REG_SZ writes the default instead.
    void ValueEx(qint32 root, const QString& sectionKey, const QString& valueKey, qint32 valueType,
                 const QVariant& defaultValue, const QVariant& value);

    void ValueKey(const QString& name) { m_valueKey = name; }
    QVariant Default() const { return m_default; }
    void Default(const QVariant& value) { m_default = value; }
    // Whether REG_EXPAND_SZ text is expanded when read (it is by default).
    // The settings store turns it off: text it saved with a "%...%" in it,
    // such as a file path, must come back exactly as it was written.
    void ExpandOnRead(bool expand) { m_expandOnRead = expand; }

private:
    void SetClassesValue(const QString& value);
    static qint32 SwapEndian(qint32 value);
    static QString ExpandEnvStr(const QString& text);

    [[noreturn]] void Raise(qint32 number, const QString& description) const;
    QString Root() const;
    QString SetFailureText(const QVariant& value) const;
    QString SetFailureText(const QString& valueName, const QVariant& value) const;
    reg::ValueEntry Encoded(const QString& name, const QVariant& value) const;
    void WriteEntries(const QList<reg::ValueEntry>& entries, const QString& shownName,
                      const QVariant& shownValue) const;

    qint32 m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    qint32 m_valueType = 0;
    QVariant m_default;
    QString m_machine;
    bool m_expandOnRead = true;
};
