#pragma once

// One row per member of an outside control: its name, dispatch number, kind
// and value type. The program's typed accessors and the stand-in controls are
// both built from the same rows.

#include <QString>
#include <QStringList>
#include <span>

enum class MemberKind { Get, Put, GetPut, Method, Event };
enum class ValueKind { Bool, Int, Long, Double, String, Date, Variant, Object, Void };

struct MemberInfo
{
    const char* name;
    int dispid;
    MemberKind kind;
    ValueKind type;
    // Events: the arguments as the row gives them, "(Long, code), (Bool&, flag)";
    // "&" marks one handed back by reference.
    const char* eventArgs = nullptr;
};

using MemberTable = std::span<const MemberInfo>;

// Lookups over a table (linear: the tables are small and read rarely by name).
// By number, events and the other members are apart (their numbers overlap);
// the first row of a number wins. By name the match ignores letter case, as
// automation does, and a property or method wins over an event of that name.
const MemberInfo* FindMember(MemberTable table, int dispid, bool event = false);
const MemberInfo* FindMember(MemberTable table, const QString& name);

// The names of a table's events in table order (hosts bind events by name).
QStringList EventNames(MemberTable table);
