// Every row of every member table against an independent index of the
// outside controls' members (ReferenceMembers.tsv beside this file). The
// program and the stand-ins share the tables, so a wrong number would pass
// every other test; here it meets a second record. Where the two differ on
// purpose, the table of exceptions says why.

#include "engine/DataPaneControl.h"
#include "engine/H950HdlrControl.h"
#include "engine/ManualHdlControl.h"
#include "engine/ManualHdlDeviceArbiterControl.h"
#include "engine/ManualHdlSocketArbiterControl.h"
#include "engine/QXPgmrControl.h"
#include "engine/SiteBoxControl.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

struct Control
{
    const char* indexName; // the control as the index names it
    MemberTable members;
};

const Control kControls[] = {
    {"QXProgrammer", QXPgmrControl::Members()},
    {"ConcurrentManualHandler", ManualHdlControl::Members()},
    {"ConcurrentManualHandler:DeviceAutomationArbiter", ManualHdlDeviceArbiterControl::Members()},
    {"ConcurrentManualHandler:SocketAutomationArbiter (ThreadCommUtil)", ManualHdlSocketArbiterControl::Members()},
    {"QXH950AutoHandler", H950HdlrControl::Members()},
    {"vwBufViewer (DataPane)", DataPaneControl::Members()},
    {"SiteBox (BayCtrl)", SiteBoxControl::Members()},
};

// Second names of a member: not rows of their own, only names of a number.
struct Alias
{
    const char* control;
    const char* name;
    int dispid;
    const char* member;
};
const Alias kAliases[] = {
    {"QXProgrammer", "ProgramVariantCount", QXPgmrId::ProgramVariantCount, "ExtraCommandCount"},
};

// Deliberate differences from the index, with the reason.
struct Exception
{
    const char* control;
    const char* name;
    const char* why;
};
const Exception kKindExceptions[] = {
    {"QXProgrammer", "SilentMode",
     "the program only reads it; the engine also takes a put, so that a host (and the tests) can make it silent"},
    {"QXH950AutoHandler", "SealbookAutoValue58", "read like a property but it acts on the open Sealbook file: a method"},
    {"QXH950AutoHandler", "SealbookAutoValue59", "read like a property but it acts on the open Sealbook file: a method"},
};

const Exception* FindKindException(const QString& control, const QString& name)
{
    for (const Exception& e : kKindExceptions) {
        if (control == QLatin1String(e.control) && name == QLatin1String(e.name))
            return &e;
    }
    return nullptr;
}

struct Row
{
    int line;
    QString control, name, dispid, kind, args, result, flag;
};

QList<Row> ReadIndex()
{
    QList<Row> rows;
    QFile file(QStringLiteral(TARVO_SOURCE_DIR "/tests/engine/ReferenceMembers.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot read " << file.fileName().toStdString();
        return rows;
    }
    int line = 0;
    bool header = true;
    while (!file.atEnd()) {
        const QString text = QString::fromUtf8(file.readLine()).chopped(1);
        ++line;
        if (text.startsWith(QLatin1Char('#')))
            continue;
        if (header) {
            header = false;
            continue;
        }
        const QStringList f = text.split(QLatin1Char('\t'));
        if (f.size() != 7) {
            ADD_FAILURE() << "line " << line << " has " << f.size() << " fields";
            continue;
        }
        rows.append({line, f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
    }
    return rows;
}

MemberKind KindOf(const QString& kind)
{
    static const QHash<QString, MemberKind> kinds{
        {"get", MemberKind::Get},       {"put", MemberKind::Put},       {"getput", MemberKind::GetPut},
        {"method", MemberKind::Method}, {"event", MemberKind::Event},
    };
    return kinds.value(kind, MemberKind::Event);
}

// The number the index gives: decimal, or hexadecimal; the first of the two
// forms where it gives both ("1745027079 (0x68030007)"). -1 when none.
int NumberOf(const QString& dispid)
{
    const QString first = dispid.section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const qlonglong n = first.startsWith(QLatin1String("0x")) ? first.mid(2).toLongLong(&ok, 16) : first.toLongLong(&ok);
    return ok ? int(n) : -1;
}

// The value types the index's result allows ("Long", "Long/Boolean",
// "Long (put) / Double (get)"); empty when it names none.
QList<ValueKind> TypesOf(const QString& result)
{
    static const QHash<QString, ValueKind> types{
        {"Boolean", ValueKind::Bool},  {"Integer", ValueKind::Int},    {"Long", ValueKind::Long},
        {"Double", ValueKind::Double}, {"Single", ValueKind::Double},  {"String", ValueKind::String},
        {"Date", ValueKind::Date},     {"Variant", ValueKind::Variant}, {"Object", ValueKind::Object},
    };
    QList<ValueKind> allowed;
    for (const QString& part : result.split(QLatin1Char('/'))) {
        const QString word = part.trimmed().section(QLatin1Char(' '), 0, 0);
        if (types.contains(word))
            allowed << types.value(word);
    }
    return allowed;
}

// The by-reference marks of an event's arguments, one per argument, from the
// index ("site:Long, result:Long[byref]", "seven Long values",
// "s1..s4:String, ...") and from a table row ("(Long, site), (Long&, result)").
QList<bool> IndexEventArgs(const QString& args)
{
    if (args.trimmed().isEmpty())
        return {};
    if (args == QLatin1String("seven Long values"))
        return QList<bool>(7, false);
    QList<bool> byRef;
    static const QRegularExpression range(QStringLiteral("^[a-z]+(\\d)\\.\\.[a-z]+(\\d)"));
    for (const QString& part : args.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = range.match(part.trimmed());
        const int count = m.hasMatch() ? m.captured(2).toInt() - m.captured(1).toInt() + 1 : 1;
        for (int i = 0; i < count; ++i)
            byRef << part.contains(QLatin1String("byref"));
    }
    return byRef;
}

QList<bool> TableEventArgs(const char* eventArgs)
{
    QList<bool> byRef;
    static const QRegularExpression arg(QStringLiteral("\\(\\s*\\w+(&?)\\s*,\\s*\\w+\\s*\\)"));
    for (auto it = arg.globalMatch(QString::fromLatin1(eventArgs)); it.hasNext();)
        byRef << !it.next().captured(1).isEmpty();
    return byRef;
}

const MemberInfo* Lookup(MemberTable table, const QString& name, bool event)
{
    for (const MemberInfo& m : table) {
        if ((m.kind == MemberKind::Event) == event && name == QLatin1String(m.name))
            return &m;
    }
    return nullptr;
}

TEST(DispatchNumbersTest, EveryTableRowAgreesWithTheReferenceIndex)
{
    const QList<Row> index = ReadIndex();
    ASSERT_GT(index.size(), 400);

    QHash<QString, MemberTable> tables;
    for (const Control& c : kControls)
        tables.insert(QLatin1String(c.indexName), c.members);

    QSet<const MemberInfo*> checked;
    for (const Row& row : index) {
        SCOPED_TRACE((QStringLiteral("line %1: %2 %3").arg(row.line).arg(row.control, row.name)).toStdString());
        ASSERT_TRUE(tables.contains(row.control));
        const MemberTable table = tables.value(row.control);
        const bool event = row.kind == QLatin1String("event");

        const Alias* alias = nullptr;
        for (const Alias& a : kAliases) {
            if (row.control == QLatin1String(a.control) && row.name == QLatin1String(a.name))
                alias = &a;
        }
        if (alias) {
            EXPECT_EQ(alias->dispid, NumberOf(row.dispid));
            const MemberInfo* target = Lookup(table, QString::fromLatin1(alias->member), false);
            ASSERT_NE(target, nullptr);
            EXPECT_EQ(target->dispid, alias->dispid);
            continue;
        }

        const MemberInfo* member = Lookup(table, row.name, event);
        ASSERT_NE(member, nullptr) << "no such row in the member table";
        checked.insert(member);

        // The number: the index's where it gives one; the settings reached
        // by name and the placement properties have numbers of the program's
        // own choice, away from the control's own.
        if (row.dispid == QLatin1String("by name (none)")) {
            EXPECT_GE(member->dispid, 5001);
        } else if (row.dispid == QLatin1String("extender")) {
            EXPECT_GE(member->dispid, 0x68030040);
        } else if (!row.dispid.isEmpty()) {
            EXPECT_EQ(member->dispid, NumberOf(row.dispid)) << row.dispid.toStdString();
        }

        if (event) {
            // Positions are checked above; the arguments by count and by
            // which ones hand a value back.
            EXPECT_EQ(TableEventArgs(member->eventArgs), IndexEventArgs(row.args))
                << member->eventArgs << " / " << row.args.toStdString();
            continue;
        }

        if (const Exception* e = FindKindException(row.control, row.name)) {
            EXPECT_NE(member->kind, KindOf(row.kind)) << "no longer an exception: " << e->why;
        } else {
            EXPECT_EQ(member->kind, KindOf(row.kind)) << row.kind.toStdString();
        }

        // Value types where the index names them and found one reading (a
        // result it leaves open, "(unused)", is the table's Variant).
        if (!row.flag.isEmpty())
            continue;
        QList<ValueKind> types = TypesOf(row.result);
        if (types.isEmpty() && row.result.isEmpty() && member->kind == MemberKind::Method)
            types << ValueKind::Void;
        if (!types.isEmpty()) {
            EXPECT_TRUE(types.contains(member->type)) << int(member->type) << " / " << row.result.toStdString();
        }
    }

    // And the other way: no row of a table that the index does not know.
    for (const Control& c : kControls) {
        for (const MemberInfo& m : c.members)
            EXPECT_TRUE(checked.contains(&m)) << c.indexName << " " << m.name << " is not in the index";
    }
}

} // namespace
