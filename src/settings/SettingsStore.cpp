#include "settings/SettingsStore.h"

#include "settings/cRegistry.h"

void OpenSettingsKey(cRegistry& registry, const QString& applicationName, const QString& section)
{
    registry.ClassKey(cRegistry::HKEY_CURRENT_USER);
    registry.SectionKey(QStringLiteral("Software\\Corvane\\") + applicationName + u'\\' + section);
    registry.ValueType(cRegistry::REG_SZ);
    registry.ExpandOnRead(false);
}

void SaveSettingValue(const QString& applicationName, const QString& section, const QString& valueName,
                      const QVariant& value)
{
    cRegistry registry;
    OpenSettingsKey(registry, applicationName, section);
    registry.ValueKey(valueName);
    registry.Value(value);
}

void SaveSettingValues(const QString& applicationName, const QString& section,
                       const QList<std::pair<QString, QVariant>>& values)
{
    cRegistry registry;
    OpenSettingsKey(registry, applicationName, section);
    registry.Values(values);
}

QVariant GetSettingValue(const QString& applicationName, const QString& section, const QString& valueName,
                         const QVariant& defaultValue)
{
    cRegistry registry;
    OpenSettingsKey(registry, applicationName, section);
    registry.ValueKey(valueName);
    registry.Default(defaultValue);
    return registry.Value();
}

std::optional<SettingsTable> GetAllSettingValues(const QString& applicationName, const QString& section)
{
    cRegistry registry;
    OpenSettingsKey(registry, applicationName, section);
    QStringList names;
    qint32 count = 0;
    registry.EnumerateValues(names, count);
    if (count < 1)
        return std::nullopt;
    SettingsTable table;
    table.reserve(names.size());
    for (const QString& name : names) {
        registry.ValueKey(name);
        table.append({name, registry.Value()});
    }
    return table;
}

void DeleteSettingValue(const QString& applicationName, const QString& section, const QString& valueName)
{
    cRegistry registry;
    OpenSettingsKey(registry, applicationName, section);
    if (valueName == kIsMissing) {
        registry.DeleteKey();
    } else {
        registry.ValueKey(valueName);
        registry.DeleteValue();
    }
}
