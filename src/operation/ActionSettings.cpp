#include "ActionSettings.h"

#include "ActionTabs.h"

#include "settings/ProgrammerClass.h"
#include "settings/SettingsLog.h"

namespace ActionSettings {

namespace {

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
    ForEachKeptRow(data, whichAction, [&](int tab, qint32 action, int row) {
        data.intUserCheckbox(tab, row, data.LoadActionValue(ValueName(action, kCheckbox, row), kDefaultCheckbox));
        data.intUserListboxIndex(tab, row,
                                 data.LoadActionValue(ValueName(action, kListbox, row), kDefaultListIndex));
    });
}

bool Save(ProgrammerClass& data, const TabAction& whichAction)
{
    int refused = 0;
    int values = 0;
    ForEachKeptRow(data, whichAction, [&](int tab, qint32 action, int row) {
        refused += !data.SaveActionValue(ValueName(action, kCheckbox, row), data.intUserCheckbox(tab, row));
        refused += !data.SaveActionValue(ValueName(action, kListbox, row), data.intUserListboxIndex(tab, row));
        values += 2;
    });
    if (refused)
        WriteSettingsLog(QStringLiteral("%1 of %2 option settings of the action tabs could not be saved.")
                             .arg(refused)
                             .arg(values));
    return refused == 0;
}

} // namespace ActionSettings
