#pragma once

// The test's own engine that also records every write and method call, in
// order, as "Name=value", "Name(index)=value" or "Name(arg,arg)"; reads are
// not recorded. Booleans show as -1 and 0, as they go on the wire.

#include "OperationFixture.h"

#include <QStringList>

class RecordingEngine : public FakeEngine
{
public:
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        if (kind != InvokeKind::PropertyGet)
            writes << Describe(dispid, kind, args);
        if (failing.contains(dispid))
            Fail(DISP_E_MEMBERNOTFOUND, QStringLiteral("Member not found."));
        return FakeEngine::Invoke(dispid, kind, args);
    }

    using DispatchObject::On;

    // The writes since the last call, and forgets them.
    QStringList TakeWrites()
    {
        QStringList taken = writes;
        writes.clear();
        return taken;
    }

    QStringList writes;
    // Members that fail with an automation error.
    QSet<int> failing;

private:
    static QString Describe(int dispid, InvokeKind kind, const QVariantList& args)
    {
        const MemberInfo* member = FindMember(QXPgmrControl::Members(), dispid);
        const QString name = member ? QString::fromLatin1(member->name) : QString::number(dispid);
        QStringList values;
        for (const QVariant& arg : args)
            values << arg.toString();
        if (kind == InvokeKind::Method)
            return name + QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
        const QString value = values.isEmpty() ? QString() : values.takeLast();
        const QString index =
            values.isEmpty() ? QString() : QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
        return name + index + QLatin1Char('=') + value;
    }
};
