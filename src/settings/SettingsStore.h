#pragma once

// The settings store: how the windows and objects of the program keep their
// settings between runs. One registry key per section under
// HKEY_CURRENT_USER\Software\Corvane\<application name>, one text value per
// setting. Callers pass the running program's title (appinfo::ApplicationTitle)
// as the application name, so an edition running under another title keeps
// its own settings.
//
// Every call works through a fresh cRegistry of its own; nothing is cached
// between calls. Reading never fails (the default comes back, with its own
// type); writing and deleting throw the registry class's AutomationError.

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

class cRegistry;

// Points the registry object at the section: HKEY_CURRENT_USER,
// "Software\Corvane\<application name>\<section>", REG_SZ.
void OpenSettingsKey(cRegistry& registry, const QString& applicationName, const QString& section);

// Saves the value as text (Booleans as True or False, numbers as decimal
// text); the section is created when missing.
void SaveSettingValue(const QString& applicationName, const QString& section, const QString& valueName,
                      const QVariant& value);

// Saves several values of the section in one write of the settings: either
// all of them are saved or, when it throws, none of them changed.
void SaveSettingValues(const QString& applicationName, const QString& section,
                       const QList<std::pair<QString, QVariant>>& values);

// The stored value (as text), or defaultValue itself when the section or the
// value does not exist or cannot be read.
QVariant GetSettingValue(const QString& applicationName, const QString& section, const QString& valueName,
                         const QVariant& defaultValue);

// One row of GetAllSettingValues: column 0 and column 1.
struct SettingEntry
{
    QString name;
    QVariant value; // invalid when the value could not be read
};
using SettingsTable = QList<SettingEntry>;

// Every value of the section in the registry's enumeration order (the order
// of first writing). A section that is empty or does not exist gives no table
// at all (std::nullopt), never a table of zero rows.
std::optional<SettingsTable> GetAllSettingValues(const QString& applicationName, const QString& section);

// The value name that stands for "none given".
inline const QString kIsMissing = QStringLiteral("_IsMissing_");

// Deletes one value, or with no value name ("_IsMissing_") the whole
// section's key. Deleting what does not exist throws.
void DeleteSettingValue(const QString& applicationName, const QString& section,
                        const QString& valueName = kIsMissing);
