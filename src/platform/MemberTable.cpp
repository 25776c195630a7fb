#include "MemberTable.h"

const MemberInfo* FindMember(MemberTable table, int dispid, bool event)
{
    for (const MemberInfo& m : table) {
        if (m.dispid == dispid && (m.kind == MemberKind::Event) == event)
            return &m;
    }
    return nullptr;
}

const MemberInfo* FindMember(MemberTable table, const QString& name)
{
    const MemberInfo* eventRow = nullptr;
    for (const MemberInfo& m : table) {
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) != 0)
            continue;
        if (m.kind != MemberKind::Event)
            return &m;
        if (!eventRow)
            eventRow = &m;
    }
    return eventRow;
}

QStringList EventNames(MemberTable table)
{
    QStringList names;
    for (const MemberInfo& m : table) {
        if (m.kind == MemberKind::Event)
            names << QLatin1String(m.name);
    }
    return names;
}
