#pragma once

// One hive of the registry in memory, and its text form (described at the top
// of RegistryHive.cpp). Names compare without regard to case, as on Windows,
// and keep the case they were first written with; values and subkeys keep the
// order in which they were first written.

#include "Registry.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <vector>

namespace reg::hive {

struct Value
{
    QString name;
    ValueType type = REG_NONE;
    QByteArray data;
};

class Key
{
public:
    explicit Key(QString name = {})
        : m_name(std::move(name))
    {
    }

    const QString& name() const { return m_name; }

    const std::vector<Value>& values() const { return m_values; }
    const Value* value(QStringView name) const;
    // True when the hive changed (a value written again with the same type
    // and data leaves it as it was).
    bool setValue(const QString& name, ValueType type, const QByteArray& data);
    bool removeValue(QStringView name);

    const std::vector<std::unique_ptr<Key>>& subkeys() const { return m_subkeys; }
    Key* subkey(QStringView name) const;
    Key* addSubkey(const QString& name);
    bool removeSubkey(QStringView name);

    // The key at this path below this one, or nullptr.
    Key* find(const QStringList& path);
    const Key* find(const QStringList& path) const;

private:
    // A key with many entries finds them through an index of their folded
    // names, so reading a hive grows with its size, not with its square; a
    // small key is searched in place. An index is built on the first lookup
    // past the threshold, kept up to date by additions and dropped by a
    // removal (which moves the entries behind it).
    static constexpr size_t kIndexFrom = 16;
    using Index = QHash<QString, size_t>;
    template <class Items, class NameOf>
    static const typename Items::value_type* Lookup(const Items& items, Index& index, QStringView name, NameOf nameOf);

    QString m_name;
    std::vector<Value> m_values;
    std::vector<std::unique_ptr<Key>> m_subkeys;
    mutable Index m_valueIndex;
    mutable Index m_subkeyIndex;
};

// Keys nest at most this deep below a hive's root (as on Windows); a deeper
// key is neither read nor created.
constexpr qsizetype kMaxKeyDepth = 512;

// A key name is one to 255 printable characters without a backslash.
bool IsValidKeyName(QStringView name);

// The text form of a hive. Parse answers nullptr for a text that is not a
// hive, with the reason (and line) in *error.
QByteArray Serialize(const Key& root);
std::unique_ptr<Key> Parse(const QByteArray& text, QString* error);

} // namespace reg::hive
