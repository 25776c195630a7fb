#include "ArbiterStandIn.h"

ArbiterStandIn::ArbiterStandIn(QString className, MemberTable members)
    : DispatchObject(std::move(className), members)
{
    // Every method of an arbiter is a notice to the session; none answers.
    // Every event of it is the session's to raise.
    for (const MemberInfo& member : members) {
        if (member.kind == MemberKind::Event)
            Raises({member.name});
        if (member.kind != MemberKind::Method)
            continue;
        const QString name = QLatin1String(member.name);
        On(member.dispid, [this, name](InvokeKind, QVariantList& args) {
            if (m_listener)
                m_listener(name, args);
            return QVariant();
        });
    }
}
