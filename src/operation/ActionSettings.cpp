#include "ActionSettings.h"

#include "ActionTabs.h"

#include "platform/AppInfo.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"

namespace ActionSettings {

namespace {

const QString kSection = QStringLiteral("Configuration");
const QString kCheckbox = QStringLiteral("CHECKBOX_");
const QString kListbox = QStringLiteral("LISTBOX_");

template <class F>
void ForEachKeptRow(const ProgrammerClass& data, const TabAction& whichAction, F&& f)
{
    const qint32 total = data.GetTotalNumberOfTabs();
    for (int tab = 1; tab < total; ++tab) {
        const qint32 action = whichAction(tab);
        if (Prefix(action).isEmpty())
            continue;
        for (int row = 0; row < data.GetMaximumNumberOfOptions(); ++row)
            f(tab, action, row);
    }
}

} // namespace

QString Prefix(qint32 action)
{
    static const char* const prefixes[] = {"PROGRAM_", "VERIFY_", "READ_", "BLANKCHECK_", "TEST_", "SECURE_", "ERASE_"};
    if (action < ActionTabs::kProgram || action > ActionTabs::kErase)
        return {};
    return QString::fromLatin1(prefixes[action - ActionTabs::kProgram]);
}

QString ValueName(qint32 action, const QString& kind, int row)
{
    return Prefix(action) + kind + QString::number(row + 1);
}

void Load(ProgrammerClass& data, const TabAction& whichAction)
{
    const QString app = appinfo::ApplicationTitle();
    ForEachKeptRow(data, whichAction, [&](int tab, qint32 action, int row) {
        data.intUserCheckbox(tab, row,
                             ToInteger(GetSettingValue(app, kSection, ValueName(action, kCheckbox, row), kDefaultCheckbox),
                                       kDefaultCheckbox));
        data.intUserListboxIndex(
            tab, row,
            ToInteger(GetSettingValue(app, kSection, ValueName(action, kListbox, row), kDefaultListIndex),
                      kDefaultListIndex));
    });
}

void Save(const ProgrammerClass& data, const TabAction& whichAction)
{
    const QString app = appinfo::ApplicationTitle();
    ForEachKeptRow(data, whichAction, [&](int tab, qint32 action, int row) {
        SaveSettingValue(app, kSection, ValueName(action, kCheckbox, row), data.intUserCheckbox(tab, row));
        SaveSettingValue(app, kSection, ValueName(action, kListbox, row), data.intUserListboxIndex(tab, row));
    });
}

} // namespace ActionSettings
